#pragma once

#include <QString>
#include <optional>

namespace quelm::maintenance {

// Where the last backup went, kept in the catalogue so that the backup screen opens there next time, with the user's
// answer to whether a backup on the catalogue's own disk is meant (asked once for that folder).
struct BackupPlace {
    QString folder;
    bool sameDiskAccepted = false;
    bool operator==(const BackupPlace&) const = default;
};

// The place stored in the catalogue; nullopt when none was stored, or what is stored is no usable path (it is read
// as any outside text: a catalogue may come from anywhere).
std::optional<BackupPlace> LoadBackupPlace(const QString& databasePath);

// Stores the place in the catalogue (one transaction), replacing the one before. Raises platform::EngineError.
void StoreBackupPlace(const QString& databasePath, const BackupPlace& place);

// The folder the backup screen opens on: the stored one while it is still a folder, else the user's home.
QString BackupStartFolder(const std::optional<BackupPlace>& place);

// Whether both paths are on one disk (the same device); false when either cannot be asked.
bool OnSameDisk(const QString& a, const QString& b);

} // namespace quelm::maintenance
