// Restore screen: a saved catalogue, then a saved picture folder, back into the program's folder.
#include "maintenance/RestoreScreen.h"

#include "maintenance/BackupRestore.h"
#include "platform/DialogKeys.h"
#include "platform/Ui.h"
#include "platform/Units.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>

namespace quelm::maintenance {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QString ErrorTitle = QStringLiteral("Error");

} // namespace

RestoreScreen::RestoreScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : FolderScreen(state, ui, parent, QStringLiteral("*.mdb")) {
    setObjectName(QStringLiteral("Form12b"));
    setWindowTitle(state_.caption(QStringLiteral("データベース,画像フォルダー復元")));
    Label1 = new QLabel(QStringLiteral("データベース復元"), this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    Label2 = new QLabel(QStringLiteral("復元するデータベースのファイルを指定して下さい。"), this);
    Label3 = new QLabel(QStringLiteral("ファイル名は \"Quelm.mdb\" です。"), this);
    Label4 = new QLabel(QStringLiteral("*.mdb ファイルのみ表示"), this);
    Label5 = new QLabel(
        QStringLiteral("復元作業終了後、システムを一旦終了します。　　　　　　　システムを再度起動して下さい。"), this);
    Label5->setWordWrap(true);
    Label6 = new QLabel(QStringLiteral("復元する画像フォルダーを指定して下さい。"), this);
    Label7 = new QLabel(QStringLiteral("フォルダー名は \"Quelm-画像\"です。"), this);
    Command1 = platform::PlainButton(QStringLiteral("データベース復元実行"), this);
    Command4 = platform::PlainButton(QStringLiteral("画像フォルダー復元実行"), this);
    Command2 = platform::PlainButton(QStringLiteral("戻る"), this);
    Command3 = platform::PlainButton(QStringLiteral("ヘルプ"), this);
    Label6->hide();
    Label7->hide();
    Command4->hide();
    connect(Command1, &QPushButton::clicked, this, &RestoreScreen::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &RestoreScreen::Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &RestoreScreen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &RestoreScreen::Command3_Click);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 3);
    layout->addWidget(Label2, 1, 0, 1, 3);
    layout->addWidget(Label6, 1, 0, 1, 3);
    layout->addWidget(Label3, 2, 0, 1, 3);
    layout->addWidget(Label7, 2, 0, 1, 3);
    layout->addWidget(FolderPath, 3, 0, 1, 3);
    layout->addWidget(Dir1, 4, 0, 3, 1);
    layout->addWidget(Label4, 4, 1);
    layout->addWidget(File1, 5, 1, 2, 1);
    layout->addWidget(Command1, 5, 2);
    layout->addWidget(Command4, 5, 2);
    layout->addWidget(Label5, 7, 0, 1, 3);
    layout->addWidget(Command3, 8, 1, Qt::AlignRight);
    layout->addWidget(Command2, 8, 2);
    layout->setRowStretch(6, 1);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 1);
    resize(platform::TwipsToPixels(12000), platform::TwipsToPixels(8000));
}

void RestoreScreen::Command1_Click() {
    const QListWidgetItem* chosen = File1->currentItem();
    const QString name = chosen ? chosen->text().trimmed() : QString();
    if (name != QLatin1String("Quelm.mdb")) {
        ui_.message(QStringLiteral("データベース名(Quelm.mdb)が相違しています。") + name, Icon::Critical, Buttons::Ok,
                    ErrorTitle, this);
        return;
    }
    const QString source = Folder() + (Folder().endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
    if (ui_.message(QStringLiteral("復元元データベース名は：") + source + QStringLiteral(" です。"), Icon::Question,
                    Buttons::OkCancel, QStringLiteral("復元元データベース確認"), this) != Answer::Ok)
        return;
    const auto failure =
        RestoreCatalogue(state_, source, StartCopyProgress(QStringLiteral("データベースを復元しています…")));
    if (EndCopyProgress() && failure) {
        ui_.message(*failure, Icon::Information, Buttons::Ok, QStringLiteral("中止"), this);
        return;
    }
    if (failure) {
        ui_.message(QStringLiteral("データベース復元作業でエラーが発生しました") + QStringLiteral("\r\n") + *failure,
                    Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    DatabaseRestored = true;
    ui_.message(QStringLiteral("データベースの復元作業は終了しました。引続き画像フォルダーの復元を行います。"),
                Icon::Information, Buttons::Ok, QStringLiteral("作業継続"), this);
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label4),
                       static_cast<QWidget*>(Command1), static_cast<QWidget*>(File1)})
        w->hide();
    for (QWidget* w : {static_cast<QWidget*>(Label6), static_cast<QWidget*>(Label7), static_cast<QWidget*>(Command4)})
        w->show();
}

void RestoreScreen::Command4_Click() {
    const QString path = Folder();
    const auto part = PictureFolderPart(path);
    if (!part) {
        ui_.message(QStringLiteral("画像フォルダーが指定されていません。"), Icon::Critical, Buttons::Ok, ErrorTitle,
                    this);
        return;
    }
    if (*part != store::PictureFolderName) {
        ui_.message(QStringLiteral("画像フォルダー(Quelm-画像)が相違しています。") + *part, Icon::Critical, Buttons::Ok,
                    ErrorTitle, this);
        return;
    }
    QString source = path;
    if (source.endsWith(QLatin1Char('/')))
        source.chop(1);
    if (ui_.message(QStringLiteral("復元元画像フォルダー名は：") + source + QStringLiteral(" です。"), Icon::Question,
                    Buttons::OkCancel, QStringLiteral("復元元画像フォルダー確認"), this) != Answer::Ok)
        return;
    const auto failure = RestorePictures(state_, source, platform::CopyFile,
                                         StartCopyProgress(QStringLiteral("画像フォルダーを復元しています…")));
    if (EndCopyProgress() && failure) {
        ui_.message(*failure, Icon::Information, Buttons::Ok, QStringLiteral("中止"), this);
        return;
    }
    if (failure) {
        ui_.message(QStringLiteral("画像フォルダー復元作業でエラーが発生しました") + QStringLiteral("\r\n") + *failure,
                    Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    ui_.message(QStringLiteral("画像フォルダーの復元作業は終了しました。システムを終了します。"), Icon::Information,
                Buttons::Ok, QStringLiteral("終了"), this);
    ended_ = true;
    ui_.endProgram();
    accept();
}

void RestoreScreen::Command2_Click() {
    reject();
}

void RestoreScreen::Command3_Click() {
    ui_.showHelp(this);
}

void RestoreScreen::done(int result) {
    // The screens still hold what they read from the replaced catalogue: the program starts again on the restored one.
    if (DatabaseRestored && !ended_) {
        ended_ = true;
        ui_.message(QStringLiteral("データベースを復元したため、システムを終了します。システムを再度起動して下さい。"),
                    Icon::Information, Buttons::Ok, QStringLiteral("終了"), this);
        ui_.endProgram();
    }
    QDialog::done(result);
}

} // namespace quelm::maintenance
