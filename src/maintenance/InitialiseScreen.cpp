// System initialisation screen: resets title, categories, tables, lists, counters, CDDB settings and pictures.
#include "maintenance/InitialiseScreen.h"

#include "maintenance/Initialise.h"
#include "platform/Database.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "store/PendingPictures.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelm::maintenance {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QString Explanation = QStringLiteral("システムを導入当初の状態に戻します。\n"
                                           "初期値化するのは次の通り\n"
                                           "　① システム・タイトル　→　タイトル名「CD管理」に戻す\n"
                                           "　② 種目名　→　全てクリァーし、CD1,DVD1を作成\n"
                                           "　③ 種目別ファイル(メイン・サブ)　→　全て削除し、CD1,DVD1のファイル作成\n"
                                           "　④ リスト・テーブル・ファイル　→　全て削除\n"
                                           "　⑤ 登録ＮＯ　→　０ に戻す\n"
                                           "　⑥ 外部データ取込み用のパス名、CDDB取込設定情報  →　全て削除\n"
                                           "　⑦　登録した画像は全て削除します  →　Quelm-画像フォルダの画像ファイル ");

} // namespace

InitialiseScreen::InitialiseScreen(store::AppState& state, platform::Ui& ui, std::function<void()> applyToMain,
                                   QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), applyToMain_(std::move(applyToMain)) {
    setObjectName(QStringLiteral("Form2h"));
    setWindowTitle(state_.caption(QStringLiteral("システム初期化")));
    Label1 = new QLabel(QStringLiteral("システム初期値化"), this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    Label2 = new QLabel(QStringLiteral("［取扱注意］"), this);
    Label2->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    Label3 =
        new QLabel(QStringLiteral("システム初期値化の前に、念のため、ファイルのバックアップを実施して下さい。　　　"
                                  "初期値化実施しましたら、Quelmシステムを再起動してください"),
                   this);
    Label3->setWordWrap(true);
    // Two sentences: the label is as wide as the first with the spaces after it, so that the second starts a line
    // of its own instead of breaking the first wherever the dialog's width ends.
    const QFontMetrics metrics = Label3->fontMetrics();
    const QString firstLine = Label3->text().section(QStringLiteral("　　　"), 0, 0) + QStringLiteral("　　　");
    Label3->setMaximumWidth(metrics.horizontalAdvance(firstLine) + metrics.averageCharWidth());
    Text1 = new QPlainTextEdit(Explanation, this);
    Text1->setReadOnly(true);
    Text1->setMinimumHeight(platform::TwipsToPixels(2600));
    Command1 = new QPushButton(QStringLiteral("初期値化"), this);
    Command2 = new QPushButton(QStringLiteral("ヘルプ"), this);
    for (QPushButton* b : {Command1, Command2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(Command1, &QPushButton::clicked, this, &InitialiseScreen::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &InitialiseScreen::Command2_Click);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Command1);
    bottom->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Text1);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addLayout(bottom);
    setMinimumWidth(platform::TwipsToPixels(9000));
}

void InitialiseScreen::Command1_Click() {
    if (ui_.message(QStringLiteral("システムを初期値化しても宜しいですか？"), Icon::None, Buttons::OkCancel,
                    QStringLiteral("初期値化の確認"), this) != Answer::Ok)
        return;
    QStringList picturesLeft;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        picturesLeft = InitialiseSystem(state_, platform::BusyTicker(ui_, store::CompactingText, windowTitle(), this));
    } catch (const platform::EngineError& e) {
        QApplication::restoreOverrideCursor();
        ui_.message(QStringLiteral("システムの初期値化でエラーが発生しました。何も変更していません。\r\n") +
                        e.message(),
                    Icon::Critical, Buttons::Ok, QStringLiteral("Error"), this);
        return;
    }
    QApplication::restoreOverrideCursor();
    Initialised = true;
    setWindowTitle(state_.title() + QStringLiteral(" Quelm"));
    if (applyToMain_)
        applyToMain_();
    if (!picturesLeft.isEmpty())
        ui_.message(QStringLiteral("次の画像ファイルを削除できませんでした。\r\n") +
                        picturesLeft.join(QStringLiteral("\r\n")),
                    Icon::Exclamation, Buttons::Ok, QStringLiteral("Error"), this);
    ui_.message(QStringLiteral("システムの初期値化が終了しました。"), Icon::Information, Buttons::Ok,
                QStringLiteral("初期値化終了"), this);
    accept();
}

void InitialiseScreen::Command2_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::maintenance
