#include "FuzzTargets.h"

#include "maintenance/BackupRestore.h"
#include "platform/Database.h"
#include "store/Catalogue.h"
#include "store/ConfigCheck.h"

#include <QFile>

namespace quelm::fuzz {

// A file chosen for a restore may be anything. The check reads it without changing a byte, and what it accepts the
// program's start-up accepts too: a restored catalogue never leaves the program unable to start.
void FuzzRestoreCheck(const std::uint8_t* data, std::size_t size) {
    const QString path = ScratchFile(data, size, QStringLiteral(".mdb"));
    const std::optional<QString> problem = maintenance::CheckCatalogueFile(path);
    QFile file(path);
    Require(file.open(QIODevice::ReadOnly), "the checked file is gone");
    Require(file.readAll() == QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
            "the check changed the file");
    if (problem) {
        Require(!problem->trimmed().isEmpty(), "a refusal without a reason");
        return;
    }
    try {
        auto db = store::OpenCatalogue(path);
        const store::CategoryConfig config = store::LoadConfig(*db);
        Require(!store::CheckCategoryTables(*db, config), "start-up refuses what the check accepted");
    } catch (const platform::EngineError&) {
        Require(false, "start-up cannot open what the check accepted");
    }
}

} // namespace quelm::fuzz
