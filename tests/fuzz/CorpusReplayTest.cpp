// Every seed and every saved input of the fuzz targets, run through the same entry as the fuzzers, in the ordinary
// build (and under the sanitizers in CI).
#include "FuzzTargets.h"
#include "TestCatalogue.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace quelm::fuzz {
namespace {

QStringList InputsOf(const FuzzTarget& target) {
    QStringList folders;
    for (const QString& seeds : target.seedFolders)
        folders << test::Fixture(seeds);
    folders << QStringLiteral(QUELM_FUZZ_CORPUS_DIR "/") + target.name;
    QStringList files;
    for (const QString& folder : folders)
        for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
            files << f.filePath();
    return files;
}

TEST(FuzzCorpus, EveryTargetGetsThroughItsSeedsAndSavedInputs) {
    for (const FuzzTarget& target : FuzzTargets()) {
        const QStringList files = InputsOf(target);
        // The saved inputs are in the tree, so each target has some even without the shared fixtures.
        EXPECT_FALSE(files.isEmpty()) << target.name.toStdString();
        for (const QString& path : files) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            const QByteArray bytes = file.readAll();
            SCOPED_TRACE(path.toStdString());
            target.entry(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size()));
        }
    }
}

} // namespace
} // namespace quelm::fuzz
