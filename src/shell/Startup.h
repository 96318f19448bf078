#pragma once

#include <QString>
#include <memory>

class QApplication;
class QLockFile;

namespace quelm::platform {
class Ui;
}

namespace quelm::shell {

// Makes the catalogue on a first start, shows the main window and runs the program until it ends.
int RunProgram(QApplication& app, platform::Ui& ui, const QString& dataFolder);

// The lock file that keeps a second copy of the program off the data folder.
inline const QString LockFileName = QStringLiteral("Quelm.lock");

// Takes the data folder for this copy of the program: the lock is held while the result lives. When another running
// copy holds it, says so (with that copy's host and process) and returns nullptr. A lock left by a copy that died is
// taken over. A folder that cannot hold the lock file at all (read-only) is not refused here.
std::unique_ptr<QLockFile> LockDataFolder(platform::Ui& ui, const QString& dataFolder);

// A catalogue that lacks a table of a category in use is not opened: every screen of that category, the search over
// all categories and the statistics would fail on it, and the rebuilds would work on half a catalogue. The message
// says what is missing, that the file was left as it is, and how to put a backup back.
QString DamagedCatalogueMessage(const QString& databasePath, const QString& problem);

// Tells the user once when the catalogue (or its folder, where the engine keeps its journal) cannot be written.
void WarnIfReadOnly(platform::Ui& ui, const QString& databasePath);

} // namespace quelm::shell
