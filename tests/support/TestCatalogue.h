#pragma once

#include "platform/Database.h"
#include "platform/ScriptedUi.h"
#include "store/AppState.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace quelm::test {

// A fresh data folder with a new catalogue, its configuration loaded, and a scripted Ui.
class TestCatalogue {
public:
    TestCatalogue();
    QString folder() const { return dir_.path(); }
    std::unique_ptr<platform::Database> open() const;
    // Reloads the configuration from the file, as a new start would.
    store::CategoryConfig reload() const;
    // Adds a main record straight into a category's main table (test data, not through a screen).
    void addMain(int section, std::int32_t regNo, const QStringList& texts, int picture = 0);
    void addSub(int section, std::int32_t regNo, std::int32_t subNo, const QString& firstField);
    int rowCount(const QString& table) const;

    store::AppState state;
    platform::ScriptedUi ui;

private:
    QTemporaryDir dir_;
};

// The list row as a new start reads it back: the count, then the ten names as stored.
QStringList ListDirectory(const store::CategoryConfig& config);

// Every table of a database with its columns and rows, configuration table included: two equal snapshots mean
// nothing changed.
QStringList Snapshot(platform::Database& db);
QStringList Snapshot(const QString& databasePath);

// Every entry under a folder with a hash of its bytes (a folder as "folder"), sorted: equal listings mean nothing was
// added, lost or changed.
QStringList FolderListing(const QString& folder);

// Runs `write` with the disk full after 0, step, 2·step … bytes of growth (platform::ScopedWriteFault) until it
// succeeds; after every failure, which must have met the full disk, `afterFailure` checks what must still hold.
// Returns the number of failures.
int FillDiskUntilItFits(qint64 step, const std::function<bool()>& write, const std::function<void()>& afterFailure);

// Path of a shared fixture file.
QString Fixture(const QString& relative);
// Path of one of the project's own small fixtures (tests/exchange/data), there in every clone.
QString ProjectFixture(const QString& relative);
// Whether the shared fixtures lie beside the project: a clone on its own has none, and the tests that read them skip.
bool HaveFixture(const QString& relative);

// Skips the running test when a shared fixture (file or folder) is absent, saying which.
#define QUELM_NEED_FIXTURE(relative)                                                                                   \
    do {                                                                                                               \
        if (!::quelm::test::HaveFixture(relative))                                                                     \
            GTEST_SKIP() << "shared fixture " << qPrintable(::quelm::test::Fixture(relative))                          \
                         << " is absent: this clone has no ../shared/fixtures beside it";                              \
    } while (false)

// The help pages of the source tree.
QString HelpFolder();

} // namespace quelm::test
