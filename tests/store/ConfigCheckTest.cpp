// Damaged or hostile configuration rows are refused at loading, with the row named.
#include "TestCatalogue.h"
#include "store/CategoryConfig.h"

#include <QCryptographicHash>
#include <QFile>
#include <gtest/gtest.h>

using namespace quelm;

namespace {

QByteArray FileHash(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

TEST(ConfigCheck, RefusesRowsTheScreensWouldTrustAndChangesNothing) {
    struct Case {
        const char* update; // one statement on the configuration table
        QString expected;   // the message
    };
    const std::vector<Case> cases{
        {"UPDATE 管理テーブル SET 種目テーブル名 = '管理テーブル' WHERE KeyNo = 5",
         QStringLiteral("管理テーブル の KeyNo 5 の行: テーブル名「管理テーブル」は種目のテーブルに使えません。")},
        {"UPDATE 管理テーブル SET 種目SUBテーブル名 = 'listtable3' WHERE KeyNo = 8",
         QStringLiteral("管理テーブル の KeyNo 8 の行: テーブル名「listtable3」は種目のテーブルに使えません。")},
        {"UPDATE 管理テーブル SET 種目テーブル名 = 'sqlite_master' WHERE KeyNo = 5",
         QStringLiteral("管理テーブル の KeyNo 5 の行: テーブル名「sqlite_master」は種目のテーブルに使えません。")},
        {"UPDATE 管理テーブル SET 種目テーブル名 = 'cd1' WHERE KeyNo = 8",
         QStringLiteral("管理テーブル の KeyNo 8 の行: テーブル名「cd1」は他の種目と重なっています。")},
        {"UPDATE 管理テーブル SET 種目テーブル使用有無 = 2 WHERE KeyNo = 6",
         QStringLiteral("管理テーブル の KeyNo 6 の行: 種目テーブル使用有無が 2 です（0 か 1 のはずです）。")},
        {"UPDATE 管理テーブル SET フィールド個数 = 16 WHERE KeyNo = 5",
         QStringLiteral("管理テーブル の KeyNo 5 の行: フィールド個数 16 が 1 から 15 の範囲にありません。")},
        {"UPDATE 管理テーブル SET SUBフィールド個数 = -1 WHERE KeyNo = 8",
         QStringLiteral("管理テーブル の KeyNo 8 の行: SUBフィールド個数 -1 が 1 から 10 の範囲にありません。")},
        {"UPDATE 管理テーブル SET フィールド個数 = 3 WHERE KeyNo = 4",
         QStringLiteral("管理テーブル の KeyNo 4 の行: リストの数 3 が名前のあるリスト 0 個と合いません。")},
        {"UPDATE 管理テーブル SET KeyNo = 20 WHERE KeyNo = 3",
         QStringLiteral("管理テーブル の 3 行目の KeyNo が 4 です（3 のはずです）。")},
        {"ALTER TABLE 管理テーブル RENAME COLUMN 登録NO TO 番号",
         QStringLiteral("管理テーブル の 59 番目の列は「登録NO」ではなく「番号」です。")},
    };
    for (const Case& c : cases) {
        test::TestCatalogue cat;
        cat.open()->execute(QString::fromUtf8(c.update));
        const QByteArray before = FileHash(cat.state.databasePath());
        try {
            cat.reload();
            ADD_FAILURE() << "accepted: " << c.update;
        } catch (const platform::EngineError& e) {
            EXPECT_EQ(e.message(), c.expected) << c.update;
        }
        EXPECT_EQ(FileHash(cat.state.databasePath()), before) << c.update;
    }
}

} // namespace
