// CSV export screen: main records of the current category, and optionally their sub records, to a CSV file.
#include "exchange/CsvExportScreen.h"

#include "platform/Database.h"
#include "platform/FileChoosers.h"
#include "platform/RecordList.h"
#include "platform/Ui.h"
#include "store/Catalogue.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quelm::exchange {

using platform::Buttons;
using platform::Icon;

namespace {

const QString ErrorTitle = QStringLiteral("ERROR");

QLabel* Note(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setFixedWidth(300);
    return l;
}

} // namespace

CsvExportScreen::CsvExportScreen(store::AppState& state, platform::Ui& ui, platform::RecordList& list, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), list_(list) {
    setObjectName(QStringLiteral("Form5ex5a"));
    setWindowTitle(state_.title() + QStringLiteral(" ＣＳＶデータの出力"));
    setModal(true);
    build();
    setFieldsShown(false, false);
}

void CsvExportScreen::build() {
    auto* top = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("ＣＳＶデータの出力"), this);
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    Label1->setFont(heading);
    top->addWidget(Label1);
    Label2 = new QLabel(QStringLiteral("種目のメイン明細、サブ明細をＣＳＶ形式で出力します。"), this);
    top->addWidget(Label2);

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    Frame1 = new QGroupBox(QStringLiteral("出力するデータを指定する。"), this);
    auto* modes = new QVBoxLayout(Frame1);
    const QString captions[4] = {QStringLiteral("メイン明細の全て"), QStringLiteral("メイン明細及びサブ明細の全て"),
                                 QStringLiteral("選択されたメイン明細及びそのサフ明細"),
                                 QStringLiteral("選択されたメイン明細")};
    for (int i = 0; i < 4; ++i) {
        Option1[i] = new QRadioButton(captions[i], Frame1);
        modes->addWidget(Option1[i]);
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    left->addWidget(Frame1);
    Label5 = Note(QStringLiteral("1.出力するデータは、種目別メイン明細のリスト　一覧に表示された明細を対象にします。"),
                  this);
    Label7 =
        Note(QStringLiteral(
                 "2.メイン・サブ両方の出力データの項目数が異　 "
                 "なる場合は、多い方の項目数で１レコード　　(行)を作成する。少ない方はブランクの項目　が追加される。"),
             this);
    Label8 = Note(QStringLiteral("3.メインとサブ明細の識別のため、各明細の         \"登録ＮＯ．・ "
                                 "サブＮＯ．\"を識別項目として　　　　レコード(行)"
                                 "に追加する。　メイン明細の　　　　　サブＮＯ．は\"０\"とする。"),
                  this);
    for (QLabel* l : {Label5, Label7, Label8})
        left->addWidget(l);
    left->addStretch(1);
    body->addLayout(left);

    auto* right = new QVBoxLayout;
    Label10 = new QLabel(this);
    Label3 = new QLabel(QStringLiteral("出力する項目を指定して、実行キー。"), this);
    right->addWidget(Label10);
    right->addWidget(Label3);
    auto* fields = new QGridLayout;
    Label4 = new QLabel(QStringLiteral("［メイン明細］"), this);
    Label6 = new QLabel(QStringLiteral("［サブ明細］"), this);
    fields->addWidget(Label4, 0, 0);
    fields->addWidget(Label6, 0, 1);
    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        Check1[i] = new QCheckBox(section.FieldName[i + 1], this);
        fields->addWidget(Check1[i], i + 1, 0);
    }
    for (int j = 0; j < store::SubFieldSlots; ++j) {
        Check2[j] = new QCheckBox(section.SubFieldName[j + 1], this);
        fields->addWidget(Check2[j], j + 1, 1);
    }
    right->addLayout(fields);
    right->addStretch(1);
    body->addLayout(right, 1);
    top->addLayout(body, 1);

    auto* bottom = new QHBoxLayout;
    Text1 = new QLineEdit(this);
    Text1->setReadOnly(true);
    Text1->setAccessibleName(QStringLiteral("出力ファイル")); // the file written, once the export ran
    Command2 = new QPushButton(QStringLiteral("実行"), this);
    Command3 = new QPushButton(QStringLiteral("ヘルプ"), this);
    bottom->addWidget(Text1, 1);
    for (QPushButton* b : {Command2, Command3}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        bottom->addWidget(b);
    }
    top->addLayout(bottom);
    connect(Command2, &QPushButton::clicked, this, &CsvExportScreen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &CsvExportScreen::Command3_Click);
    resize(760, 600);
}

void CsvExportScreen::setFieldsShown(bool main, bool sub) {
    for (QWidget* w : std::initializer_list<QWidget*>{Label3, Label4, Label10, Command2})
        w->setVisible(main);
    for (QCheckBox* c : Check1)
        c->setVisible(main);
    Label6->setVisible(sub);
    for (QCheckBox* c : Check2)
        c->setVisible(sub);
}

void CsvExportScreen::Option1_Click(int index) {
    if (mode_ || index < 0 || index > 3)
        return;
    // The mode stays fixed until the screen is opened again.
    mode_ = static_cast<ExportMode>(index);
    Option1[index]->setChecked(true);
    Frame1->setEnabled(false);
    const store::ConfigSection& section = state_.config[state_.CurrentSection];
    Label10->setText(section.ShumokuName.trimmed() + QStringLiteral("(CD/DVD管理)"));
    for (int i = 0; i < store::MainFieldSlots; ++i) {
        Check1[i]->setText(section.FieldName[i + 1]);
        Check1[i]->setChecked(false);
    }
    for (int j = 0; j < store::SubFieldSlots; ++j) {
        Check2[j]->setText(section.SubFieldName[j + 1]);
        Check2[j]->setChecked(false);
    }
    setFieldsShown(true, ExportsSubRecords(*mode_));
}

std::vector<ExportMainRow> CsvExportScreen::rowsToExport() const {
    const int n = std::clamp<int>(state_.config[state_.CurrentSection].FieldCount, 0, store::MainFieldSlots);
    const auto rowAt = [&](int index) {
        ExportMainRow row;
        const QStringList cells = list_.row(index);
        row.fields = cells.mid(0, n);
        row.regNo = cells.value(n).toLongLong();
        return row;
    };
    std::vector<ExportMainRow> rows;
    if (*mode_ == ExportMode::AllMain || *mode_ == ExportMode::AllMainAndSub) {
        rows.reserve(list_.rowCount());
        for (int index = 1; index <= list_.rowCount(); ++index)
            rows.push_back(rowAt(index));
    } else if (list_.selectedIndex() > 0) {
        rows.push_back(rowAt(list_.selectedIndex()));
    }
    return rows;
}

bool CsvExportScreen::utf8Wanted(const QString& misfit) {
    const QString question =
        QStringLiteral("出力するデータに、Shift_JIS (CP932) では書けない文字「%1」などがあります。\r\n"
                       "UTF-8 (BOM付き) で出力しますか？\r\n"
                       "［いいえ］を選ぶと出力を中止します。")
            .arg(misfit);
    return ui_.message(question, Icon::Question, Buttons::YesNo, QStringLiteral("文字コードの確認"), this) ==
           platform::Answer::Yes;
}

void CsvExportScreen::Command2_Click() {
    if (!mode_)
        return;
    ExportChoice choice;
    choice.mode = *mode_;
    for (const QCheckBox* c : Check1)
        choice.mainFields.push_back(c->isChecked());
    for (const QCheckBox* c : Check2)
        choice.subFields.push_back(c->isChecked());
    if (choice.mainCount() == 0) {
        ui_.message(QStringLiteral("メイン明細の項目が選択されていません。"), Icon::Critical, Buttons::Ok, ErrorTitle,
                    this);
        return;
    }
    const QString path =
        platform::SelectSaveFile(ui_, this, {{QStringLiteral("ＣＳＶファイル(*.CSV)"), QStringLiteral("*.CSV")}},
                                 QStringLiteral("ＣＳＶデータの保存先ファイルを指定する"));
    if (path.isEmpty())
        return;
    Text1->setText(path);
    // Checked before the file is touched, so an earlier file of that name stays as it was.
    if (list_.rowCount() == 0) {
        ui_.message(QStringLiteral("メイン明細がありません。"), Icon::Critical, Buttons::Ok, ErrorTitle, this);
        return;
    }
    const std::vector<ExportMainRow> rows = rowsToExport();
    if (rows.empty()) {
        ui_.message(QStringLiteral("出力するメイン明細が選択されていません。"), Icon::Critical, Buttons::Ok, ErrorTitle,
                    this);
        return;
    }
    // Written in CP932 while every character fits; at the first that does not the user is asked, and the file is
    // written again from its start in UTF-8, or not at all.
    ExportCounts counts;
    platform::TextEncoding encoding = platform::TextEncoding::Cp932;
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        for (;;) {
            ExportFile file(path, encoding);
            {
                const std::unique_ptr<platform::ProgressWindow> progress =
                    ui_.showProgress(QStringLiteral("ＣＳＶデータを出力しています…"), windowTitle(), this);
                counts = StreamExport(*db, state_.config[state_.CurrentSection], rows, choice, file,
                                      [&](std::int64_t done, std::int64_t total) { progress->report(done, total); });
            }
            if (!file.misfit().isEmpty()) {
                if (!utf8Wanted(file.misfit()))
                    return;
                encoding = platform::TextEncoding::Utf8Bom;
                continue;
            }
            if (const auto failure = file.commit()) {
                ui_.message(FileErrorMessage(*failure), Icon::None, Buttons::Ok, state_.title(), this);
                return;
            }
            break;
        }
    } catch (const platform::EngineError& e) {
        platform::ShowEngineError(ui_, e.message(), this);
        return;
    }
    if (*mode_ == ExportMode::AllMain || *mode_ == ExportMode::AllMainAndSub)
        list_.select(list_.rowCount());
    ui_.message(ExportDoneMessage(counts.mainLines, counts.subLines), Icon::Information, Buttons::Ok, ExportDoneTitle,
                this);
}

void CsvExportScreen::Command3_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::exchange
