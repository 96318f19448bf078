#include "exchange/InventoryFile.h"

#include "exchange/JetDatabase.h"
#include "exchange/SqliteInventory.h"

#include <QFile>
#include <QFileInfo>

namespace quelm::exchange {

namespace {

enum class Kind { Sqlite, Jet, Unknown };

Kind KindOf(const QByteArray& head) {
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return Kind::Sqlite;
    // Jet and its successor name themselves at offset 4.
    const QByteArray tag = head.mid(4, 15);
    if (tag == QByteArrayLiteral("Standard Jet DB") || tag == QByteArrayLiteral("Standard ACE DB"))
        return Kind::Jet;
    return Kind::Unknown;
}

} // namespace

std::unique_ptr<InventoryDatabase> OpenInventoryFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw InventoryError(QStringLiteral("データベース '%1' が見つかりません。").arg(path));
    const QByteArray head = file.read(32);
    file.close();
    switch (KindOf(head)) {
    case Kind::Sqlite:
        return OpenSqliteInventory(path);
    case Kind::Jet:
        return OpenJetDatabase(path);
    case Kind::Unknown:
        break;
    }
    throw InventoryError(QStringLiteral("'%1' はデータベースではありません。").arg(path));
}

} // namespace quelm::exchange
