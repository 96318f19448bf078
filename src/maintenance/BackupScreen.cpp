// Backup screen: the catalogue and the picture folder into a folder of the user's choice.
#include "maintenance/BackupScreen.h"

#include "maintenance/BackupPlace.h"
#include "maintenance/BackupRestore.h"
#include "platform/Database.h"
#include "platform/DialogKeys.h"
#include "platform/Ui.h"
#include "platform/Units.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>

namespace quelm::maintenance {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

BackupScreen::BackupScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : FolderScreen(state, ui, parent, QStringLiteral("*")) {
    setObjectName(QStringLiteral("Form12a"));
    setWindowTitle(state_.caption(QStringLiteral("データベース,画像フォルダー・バックアップ")));
    Label1 = new QLabel(QStringLiteral("データベース・バックアップ"), this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    Label2 = new QLabel(
        QStringLiteral(
            "データベース(Quelm.mdb)及び画像フォルダー(Quelm-画像)のバックアップ先フォルダーを指定して下さい"),
        this);
    Label2->setWordWrap(true);
    Command1 = platform::PlainButton(QStringLiteral("新規フォルダー作成"), this);
    Command2 = platform::PlainButton(QStringLiteral("バックアップ実行"), this);
    Command3 = platform::PlainButton(QStringLiteral("戻る"), this);
    Command5 = platform::PlainButton(QStringLiteral("ヘルプ"), this);
    connect(Command1, &QPushButton::clicked, this, &BackupScreen::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &BackupScreen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &BackupScreen::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &BackupScreen::Command5_Click);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 3);
    layout->addWidget(Label2, 1, 0, 1, 3);
    layout->addWidget(FolderPath, 2, 0, 1, 3);
    layout->addWidget(Dir1, 3, 0, 4, 1);
    layout->addWidget(File1, 3, 1, 4, 1);
    layout->addWidget(Command1, 3, 2);
    layout->addWidget(Command2, 4, 2);
    layout->addWidget(Command5, 7, 1, Qt::AlignRight);
    layout->addWidget(Command3, 7, 2);
    layout->setRowStretch(6, 1);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 1);
    resize(platform::TwipsToPixels(12000), platform::TwipsToPixels(8000));
    // A backup belongs on another disk or in a folder the user keeps, not beside the hidden data folder: the folder of
    // the last backup, else the user's home.
    SetFolder(BackupStartFolder(LoadBackupPlace(state_.databasePath())));
}

void BackupScreen::Command1_Click() {
    const auto name = ui_.inputBox(QStringLiteral("新規作成のフォルダー名を入力して下さい。\r\n作成されるパス名は") +
                                       Folder() + QStringLiteral(" です。"),
                                   QStringLiteral("新規作成フォルダー名入力"), QString(), this);
    if (!name || name->isEmpty())
        return;
    if (CreateSubfolder(Folder(), *name)) {
        ui_.message(QStringLiteral("新規フォルダー作成でエラーが発生しました"), Icon::Critical, Buttons::Ok,
                    QStringLiteral("Error"), this);
        return;
    }
    SetFolder(Folder());
    ui_.message(QStringLiteral("新規フォルダーは作成されました"), Icon::Information, Buttons::Ok,
                QStringLiteral("終了"), this);
}

void BackupScreen::Command2_Click() {
    if (ui_.message(QStringLiteral("バックアップ先フォルダーは  パス名：") + Folder() + QStringLiteral(" です。"),
                    Icon::Question, Buttons::OkCancel, QStringLiteral("バックアップ先フォルダー確認"),
                    this) != Answer::Ok)
        return;
    bool sameDiskAccepted = false;
    if (!ConfirmDisk(sameDiskAccepted))
        return;
    const auto failure = BackupCatalogue(state_, Folder(), platform::CopyFile,
                                         StartCopyProgress(QStringLiteral("バックアップしています…")));
    const bool cancelled = EndCopyProgress();
    RefreshFiles();
    if (failure && cancelled) {
        ui_.message(*failure, Icon::Information, Buttons::Ok, QStringLiteral("中止"), this);
        return;
    }
    if (failure) {
        // What went wrong, and what is kept.
        ui_.message(QStringLiteral("バックアップコピーでエラーが発生しました") + QStringLiteral("\r\n") + *failure,
                    Icon::Critical, Buttons::Ok, QStringLiteral("Error"), this);
        return;
    }
    try {
        StoreBackupPlace(state_.databasePath(), {Folder(), sameDiskAccepted});
    } catch (const platform::EngineError&) {
        // The backup is whole; only the next start folder is not remembered.
    }
    ui_.message(QStringLiteral("バックアップは終了しました"), Icon::Information, Buttons::Ok, QStringLiteral("終了"),
                this);
}

bool BackupScreen::ConfirmDisk(bool& accepted) {
    accepted = false;
    if (!OnSameDisk(Folder(), state_.dataFolder))
        return true;
    const auto place = LoadBackupPlace(state_.databasePath());
    if (place && place->folder == Folder() && place->sameDiskAccepted) {
        accepted = true;
        return true;
    }
    accepted =
        ui_.message(QStringLiteral("バックアップ先 %1 は、データベースと同じディスクにあります。\r\n"
                                   "ディスクが壊れると、データベースとバックアップを一緒に失います。\r\n"
                                   "このフォルダーにバックアップしますか？")
                        .arg(QDir::toNativeSeparators(Folder())),
                    Icon::Question, Buttons::YesNo, QStringLiteral("バックアップ先ディスク確認"), this) == Answer::Yes;
    return accepted;
}

void BackupScreen::Command3_Click() {
    reject();
}

void BackupScreen::Command5_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::maintenance
