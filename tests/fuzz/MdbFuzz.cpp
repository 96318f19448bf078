#include "FuzzTargets.h"

#include "exchange/JetDatabase.h"

#include <QBuffer>

namespace quelm::fuzz {

// An Access file chosen for a migration may hold anything. The reader program's work runs here in-process, where
// libFuzzer's time-out per input catches a loop and its memory limit a swelling; what it writes must read back as
// a database when it says it succeeded, and be refused cleanly otherwise.
void FuzzJetReader(const std::uint8_t* data, std::size_t size) {
    const QString path = ScratchFile(data, size, QStringLiteral(".mdb"));
    QBuffer dump;
    dump.open(QIODevice::WriteOnly);
    const int code = exchange::WriteJetDump(path, dump);
    try {
        auto db = exchange::ReadJetDump(dump.data());
        Require(code == 0, "a failed reading gave a database");
        for (const QString& name : db->tableNames()) {
            auto table = db->openTable(name);
            while (table->next())
                table->value(0);
        }
    } catch (const exchange::InventoryError&) {
        Require(code != 0, "a successful reading could not be read back");
    }
}

} // namespace quelm::fuzz
