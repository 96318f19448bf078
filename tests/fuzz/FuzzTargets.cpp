#include "FuzzTargets.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace quelm::fuzz {

const std::vector<FuzzTarget>& FuzzTargets() {
    static const std::vector<FuzzTarget> all{
        {QStringLiteral("picture"), FuzzPictureLoader, {QStringLiteral("jpeg"), QStringLiteral("jpeg/orientation")}},
        {QStringLiteral("csv"), FuzzCsvReader, {QStringLiteral("csv/sjis"), QStringLiteral("csv/utf8")}},
        {QStringLiteral("cddb"),
         FuzzCddbReader,
         {QStringLiteral("cddb"), QStringLiteral("cddb/bad"), QStringLiteral("cddb/format")}},
        {QStringLiteral("restore"), FuzzRestoreCheck, {QStringLiteral("mdb")}},
        {QStringLiteral("cdtext"), FuzzCdTextPacks, {}},
        {QStringLiteral("tags"), FuzzTagReader, {}},
        {QStringLiteral("mdb"), FuzzJetReader, {QStringLiteral("mdb")}},
    };
    return all;
}

const FuzzTarget* FindFuzzTarget(const QString& name) {
    for (const FuzzTarget& t : FuzzTargets())
        if (t.name == name)
            return &t;
    return nullptr;
}

QString ScratchFile(const std::uint8_t* data, std::size_t size, const QString& suffix) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input") + suffix);
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "scratch file cannot be written");
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return path;
}

void Require(bool condition, const char* what) {
    if (condition)
        return;
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

} // namespace quelm::fuzz
