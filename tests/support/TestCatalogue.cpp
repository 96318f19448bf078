#include "TestCatalogue.h"

#include "platform/WriteFaults.h"
#include "store/Catalogue.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace quelm::test {

using platform::Value;

TestCatalogue::TestCatalogue() {
    store::EnsureCatalogue(dir_.path());
    state.dataFolder = dir_.path();
    state.config = reload();
    state.ListTableNames = store::MakeListTableNames();
}

std::unique_ptr<platform::Database> TestCatalogue::open() const {
    return store::OpenCatalogue(state.databasePath());
}

store::CategoryConfig TestCatalogue::reload() const {
    auto db = open();
    return store::LoadConfig(*db);
}

void TestCatalogue::addMain(int section, std::int32_t regNo, const QStringList& texts, int picture) {
    auto db = open();
    auto rs = db->openTable(state.config[section].TableName.trimmed());
    rs->addNew();
    for (int i = 0; i < texts.size(); ++i)
        rs->setValue(i, texts[i].isNull() ? Value() : Value(texts[i]));
    rs->setValue(store::MainKeyColumn, Value(regNo));
    rs->setValue(store::PictureFlagColumn, Value(picture));
    rs->update();
}

void TestCatalogue::addSub(int section, std::int32_t regNo, std::int32_t subNo, const QString& firstField) {
    auto db = open();
    auto rs = db->openTable(state.config[section].SubTableName.trimmed());
    rs->addNew();
    rs->setValue(0, firstField);
    rs->setValue(store::MainKeyColumn, Value(regNo));
    rs->setValue(store::SubKeyColumn, Value(subNo));
    rs->update();
}

int TestCatalogue::rowCount(const QString& table) const {
    auto db = open();
    return db->openTable(table)->recordCount();
}

QStringList ListDirectory(const store::CategoryConfig& config) {
    QStringList d{QString::number(config[store::ListSection].FieldCount)};
    for (int k = 1; k <= store::ListSlotCount; ++k)
        d << config[store::ListSection].FieldName[k];
    return d;
}

QStringList Snapshot(platform::Database& db) {
    QStringList out;
    for (const QString& t : db.tableNames()) {
        QStringList cols;
        for (const platform::Column& c : db.columns(t))
            cols << c.name + QLatin1Char(':') + QString::number(static_cast<int>(c.type));
        out << t + QLatin1Char('(') + cols.join(QLatin1Char(',')) + QLatin1Char(')');
        for (auto rs = db.openTable(t); !rs->eof(); rs->moveNext()) {
            QStringList cells;
            for (int i = 0; i < rs->fieldCount(); ++i) {
                const Value v = rs->value(i);
                cells << (v.isNull() ? QStringLiteral("<null>")
                                     : QString::number(static_cast<int>(v.kind())) + QLatin1Char(':') + v.toText());
            }
            out << QStringLiteral("  ") + cells.join(QLatin1Char('|'));
        }
    }
    return out;
}

QStringList Snapshot(const QString& databasePath) {
    auto db = platform::Database::open(databasePath);
    return Snapshot(*db);
}

QString Fixture(const QString& relative) {
    // QUELM_FIXTURES points elsewhere when the tree is not checked out beside the shared fixtures.
    return qEnvironmentVariable("QUELM_FIXTURES", QStringLiteral(QUELM_FIXTURES_DIR)) + QLatin1Char('/') + relative;
}

QString ProjectFixture(const QString& relative) {
    return QStringLiteral(QUELM_PROJECT_FIXTURES_DIR "/") + relative;
}

bool HaveFixture(const QString& relative) {
    return QFileInfo::exists(Fixture(relative));
}

QStringList FolderListing(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        const QByteArray hash = it.fileInfo().isFile() && f.open(QIODevice::ReadOnly)
                                    ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex()
                                    : QByteArray("folder");
        out << QDir(folder).relativeFilePath(path) + QLatin1Char('=') + QString::fromLatin1(hash);
    }
    out.sort();
    return out;
}

QString HelpFolder() {
    return QStringLiteral(QUELM_HELP_DIR);
}

int FillDiskUntilItFits(qint64 step, const std::function<bool()>& write, const std::function<void()>& afterFailure) {
    for (int attempt = 0; attempt <= 400; ++attempt) {
        {
            platform::ScopedWriteFault full(attempt * step);
            if (write())
                return attempt;
            EXPECT_GT(full.refusals(), 0) << "a write failed without meeting the full disk";
        }
        afterFailure();
    }
    ADD_FAILURE() << "the write never fitted";
    return 0;
}

} // namespace quelm::test
