// Writes on records another screen or another copy of the program deleted meanwhile.
#include "TestCatalogue.h"
#include "records/MainRecordEditor.h"
#include "records/MainRecords.h"
#include "records/SubRecords.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace quelm;
using records::EditResult;
using records::FieldInput;

namespace {

constexpr int Cd = 4;

struct GoneRecord : ::testing::Test {
    test::TestCatalogue cat;
    GoneRecord() {
        cat.state.CurrentSection = Cd;
        cat.addMain(Cd, 1, {QStringLiteral("残る")});
        cat.addSub(Cd, 1, 1, QStringLiteral("曲"));
        cat.state.config[Cd].RegNo = 2; // record 2 was added and deleted since
        store::SaveConfig(cat.state.databasePath(), cat.state.config);
    }
    static std::vector<FieldInput> Inputs(const QString& first) { return {{first, first}}; }
};

TEST_F(GoneRecord, ChangesAndDeletesOfAGoneRecordSayItAndWriteNothing) {
    const QString missing = QStringLiteral("登録ＮＯ 2 の明細レコードが見つかりません。");
    EditResult r = records::UpdateMainRecord(cat.state, 2, Inputs(QStringLiteral("新")));
    EXPECT_EQ(r.status, EditResult::Status::NotFound);
    EXPECT_EQ(r.message, missing);
    r = records::DeleteMainRecord(cat.state, 2, true);
    EXPECT_EQ(r.status, EditResult::Status::NotFound);
    EXPECT_EQ(r.message, missing);

    r = records::UpdateSubRecord(cat.state, 1, 7, Inputs(QStringLiteral("新")));
    EXPECT_EQ(r.status, EditResult::Status::NotFound);
    EXPECT_EQ(r.message, QStringLiteral("登録ＮＯ 1 サブＮＯ 7 のサブ明細レコードが見つかりません。"));
    EXPECT_EQ(records::DeleteSubRecord(cat.state, 1, 7).status, EditResult::Status::NotFound);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1")), 1);
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 1);
}

TEST_F(GoneRecord, NoSubRecordIsAddedToAGoneMainRecord) {
    cat.state.MaxSubNo = 3;
    const EditResult r = records::AddSubRecord(cat.state, 2, Inputs(QStringLiteral("孤児")));
    EXPECT_EQ(r.status, EditResult::Status::NotFound);
    EXPECT_EQ(r.message, QStringLiteral("登録ＮＯ 2 の明細レコードが見つかりません。"));
    EXPECT_EQ(cat.rowCount(QStringLiteral("CD1SUB")), 1);
    EXPECT_EQ(cat.state.MaxSubNo, 3);
    // The record that is still there takes its sub records as before.
    EXPECT_TRUE(records::AddSubRecord(cat.state, 1, Inputs(QStringLiteral("次"))).ok());
}

TEST_F(GoneRecord, TheEditorStaysOpenWithWhatWasTyped) {
    records::MainRecordEditor editor(cat.state, cat.ui);
    editor.setUpChange(cat.state.config[Cd], std::vector<QString>(15), {QStringLiteral("旧")}, QStringLiteral("2"));
    editor.show();
    editor.Text1[0]->setText(QStringLiteral("打った値"));
    editor.Command1_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("登録ＮＯ 2 の明細レコードが見つかりません。"));
    EXPECT_EQ(cat.ui.messages[0].icon, platform::Icon::Critical);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.Text1[0]->text(), QStringLiteral("打った値"));
}

} // namespace

namespace {

// A counter set back (another copy of the program, a data deletion) never issues a number stored records carry.
TEST_F(GoneRecord, ANewMainRecordFollowsTheLargestStoredNumber) {
    cat.addSub(Cd, 3, 1, QStringLiteral("残された曲"));
    cat.state.config[Cd].RegNo = 0;
    const EditResult r = records::AddMainRecord(cat.state, Inputs(QStringLiteral("新しい盤")));
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.regNo, 4);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 4);
}

} // namespace
