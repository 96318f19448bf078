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
// taken over. A missing folder is made first. A read-only folder (which cannot hold a lock file, or holds one left
// by a copy that died on this host) is not refused here: the catalogue opens read-only. Any other failure to lock
// is said and refused (nullptr).
std::unique_ptr<QLockFile> LockDataFolder(platform::Ui& ui, const QString& dataFolder);

// Whether the lock file was written by a copy of the program that may still run: one on another host, or a process
// on this host that still exists.
bool HeldByLiveCopy(const QString& lockPath);

// A catalogue that lacks a table of a category in use is not opened: every screen of that category, the search over
// all categories and the statistics would fail on it, and the rebuilds would work on half a catalogue. The message
// says what is missing, that the file was left as it is, and how to put a backup back.
QString DamagedCatalogueMessage(const QString& databasePath, const QString& problem);

// Tells the user once when the catalogue (or its folder, where the engine keeps its journal) cannot be written.
void WarnIfReadOnly(platform::Ui& ui, const QString& databasePath);

} // namespace quelm::shell
