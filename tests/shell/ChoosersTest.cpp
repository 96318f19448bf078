#include "shell/Choosers.h"
#include "platform/ScriptedUi.h"

#include <gtest/gtest.h>

using namespace quelm;

namespace {

const shell::FileFilter Csv{{QStringLiteral("ＣＳＶファイル(*.CSV)"), QStringLiteral("*.CSV")}};

TEST(Choosers, CancelResultsAndTheCsvExtension) {
    platform::ScriptedUi ui;
    ui.folders = {std::nullopt, QStringLiteral("/home/user/Quelm-画像"), QStringLiteral("/")};
    EXPECT_EQ(shell::SelectFolder(ui, nullptr), QStringLiteral("Cancel"));
    EXPECT_EQ(shell::SelectFolder(ui, nullptr), QStringLiteral("/home/user/Quelm-画像"));
    EXPECT_EQ(shell::SelectFolder(ui, nullptr), QStringLiteral("/")); // the root keeps its separator

    ui.files = {std::nullopt, QStringLiteral("/tmp/a.CSV")};
    EXPECT_EQ(shell::SelectOpenFile(ui, nullptr, Csv, QStringLiteral("ＣＳＶファイルを開く")), QString());
    EXPECT_EQ(shell::SelectOpenFile(ui, nullptr, Csv, QStringLiteral("ＣＳＶファイルを開く")),
              QStringLiteral("/tmp/a.CSV"));
    EXPECT_EQ(ui.chooserTitles.last(), QStringLiteral("ＣＳＶファイルを開く"));
    EXPECT_EQ(ui.chooserFilters.last(), QStringLiteral("ＣＳＶファイル(*.CSV)"));

    ui.files = {std::nullopt, QStringLiteral("/tmp/list"), QStringLiteral("/tmp/list.txt")};
    const QString title = QStringLiteral("ＣＳＶデータの保存先ファイルを指定する");
    EXPECT_EQ(shell::SelectSaveFile(ui, nullptr, Csv, title), QString());
    EXPECT_EQ(shell::SelectSaveFile(ui, nullptr, Csv, title), QStringLiteral("/tmp/list.CSV"));
    EXPECT_EQ(shell::SelectSaveFile(ui, nullptr, Csv, title), QStringLiteral("/tmp/list.txt"));
}

TEST(Choosers, FilterText) {
    EXPECT_EQ(shell::QtFilterText({{QStringLiteral("ＪＰＧファイル"), QStringLiteral("*.jpg")},
                                   {QStringLiteral("ＣＳＶファイル(*.CSV)"), QStringLiteral("*.CSV")}}),
              QStringLiteral("ＪＰＧファイル (*.jpg);;ＣＳＶファイル(*.CSV)"));
}

} // namespace
