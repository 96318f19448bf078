#include "ScreenRegistry.h"

#include "DemoCatalogue.h"
#include "exchange/Form5ex5a.h"
#include "exchange/Form5ip5a.h"
#include "exchange/Form5ip5b.h"
#include "exchange/Form5ip5c.h"
#include "maintenance/Form12a.h"
#include "maintenance/Form12b.h"
#include "maintenance/Form13a.h"
#include "maintenance/Form13b.h"
#include "maintenance/Form13c.h"
#include "maintenance/Form2a.h"
#include "maintenance/Form2h.h"
#include "maintenance/Formv.h"
#include "platform/RecordList.h"
#include "print/PrintSettingsDialog.h"
#include "print/PrintStatusDialog.h"
#include "records/Form5.h"
#include "records/Form5kf.h"
#include "records/Form6.h"
#include "records/Form7.h"
#include "records/Form8.h"
#include "records/ListSearchDialog.h"
#include "records/SortOrderDialog.h"
#include "search/Form10.h"
#include "search/Form10ml.h"
#include "search/Form9.h"
#include "search/Form9k.h"

#include "shell/Form1.h"
#include "store/Form2b.h"
#include "store/Form2c.h"
#include "store/Form2e.h"
#include "store/Form2f.h"
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>

namespace quelm::shots {

namespace {

template <typename Screen> std::unique_ptr<QWidget> Make(DemoCatalogue& demo) {
    return std::make_unique<Screen>(demo.state, demo.ui);
}

// A folder with one CDDB file of a made-up disc, so that the CDDB screen shows a CD, its items and the field slots.
QString DemoCddbFolder(const DemoCatalogue& demo) {
    const QString folder = QDir(demo.state.dataFolder).filePath(QStringLiteral("cddb"));
    if (!QDir().mkpath(folder))
        return {};
    QFile file(QDir(folder).filePath(QStringLiteral("a80b4c0c")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(QStringLiteral("# xmcd\n#\n# Track frame offsets:\n#\t150\n#\t18352\n#\t36811\n#\n"
                              "# Disc length: 2700 seconds\n#\nDISCID=a80b4c0c\n"
                              "DTITLE=見本の楽団 / 春の小品集\nDYEAR=1998\nDGENRE=Classical\n"
                              "TTITLE0=序曲\nTTITLE1=春の歌\nTTITLE2=終曲\nEXTD=\nEXTT0=\nEXTT1=\nEXTT2=\nPLAYORDER=\n")
                   .toUtf8());
    return folder;
}

// The print status screen on made-up measures: four of the category's items chosen on A4 paper.
std::unique_ptr<QWidget> MakePrintStatusShot(DemoCatalogue& demo) {
    const store::ConfigSection& section = demo.state.config[demo.state.CurrentSection];
    QStringList names;
    std::vector<int> widths;
    for (int k = 1; k <= section.FieldCount; ++k) {
        names << section.FieldName[k];
        widths.push_back(30);
    }
    store::PrintSettings settings;
    settings.reportKind = store::PrintSettings::KindItemList;
    settings.usableWidth = 190;
    settings.title1 = section.ShumokuName;
    const print::PrintStatus status = print::MakePrintStatus(settings, names, widths, names.mid(0, 4), 10);
    return std::make_unique<print::PrintStatusDialog>(demo.state, demo.ui, print::ReportSide::Main, status);
}

// The list dialogs act on a record list; a hidden one owned by the dialog stands in for the record screen's.
template <typename Make> std::unique_ptr<QWidget> MakeWithList(DemoCatalogue& demo, Make make) {
    auto* list = new platform::RecordList;
    std::unique_ptr<QWidget> dialog = make(demo, *list);
    list->setParent(dialog.get());
    list->hide();
    return dialog;
}

// The editors as the record screens open them: filled to change the record the screen shows. The hidden record
// screen is owned by the editor.
template <typename Screen, typename Editor> std::unique_ptr<QWidget> MakeEditorShot(DemoCatalogue& demo) {
    auto* screen = new Screen(demo.state, demo.ui);
    screen->Timer1_Timer();
    auto editor = std::make_unique<Editor>(demo.state, demo.ui);
    screen->SetUpEditor(*editor, records::RecordScreen::EditorMode::Change);
    screen->setParent(editor.get(), Qt::Window);
    screen->hide();
    return editor;
}

// A made-up cover for a disc, drawn here so that the pictures of the help pages hold nothing taken from elsewhere.
void DrawDemoCover(const QString& path) {
    QImage cover(400, 400, QImage::Format_RGB32);
    cover.fill(QColor(28, 40, 78));
    QPainter painter(&cover);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(214, 218, 226));
    painter.drawEllipse(QPointF(200, 200), 150, 150);
    painter.setBrush(QColor(28, 40, 78));
    painter.drawEllipse(QPointF(200, 200), 22, 22);
    painter.end();
    QDir().mkpath(QFileInfo(path).path());
    cover.save(path, "JPG");
}

// The single record view of the inquiry screen, on the first disc of the demo category: a hidden inquiry screen owned
// by the view holds the list it pages through.
std::unique_ptr<QWidget> MakeForm10mlShot(DemoCatalogue& demo) {
    auto* inquiry = new search::Form10(demo.state, demo.ui);
    inquiry->mf10_Click(demo.state.CurrentSection - store::FirstSlotSection);
    if (inquiry->source().section == 0 || inquiry->ListView1->rowCount() == 0) {
        delete inquiry;
        return nullptr;
    }
    inquiry->ListView1_ItemClick(1);
    // Label5 holds the 登録ＮＯ of the selected row.
    DrawDemoCover(demo.state.RecordPicturePath(inquiry->source().section, inquiry->Label5->text().toLongLong()));
    auto view = std::make_unique<search::Form10ml>(demo.state, demo.ui, *inquiry->ListView1, inquiry->source().section);
    inquiry->setParent(view.get(), Qt::Window);
    inquiry->hide();
    return view;
}

} // namespace

const std::vector<ScreenShot>& Screens() {
    static const std::vector<ScreenShot> screens{
        {QStringLiteral("Form1"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             auto window = std::make_unique<shell::Form1>(demo.state, demo.ui);
             if (!window->Form_Load())
                 return nullptr;
             return window;
         },
         {}},
        {QStringLiteral("Form2b"), Make<store::Form2b>, {}},
        {QStringLiteral("Form2c"), Make<store::Form2c>, {}},
        {QStringLiteral("Form2e"), Make<store::Form2e>, {}},
        {QStringLiteral("Form2f"), Make<store::Form2f>, {}},
        {QStringLiteral("Form5"), Make<records::Form5>, {}},
        {QStringLiteral("Form5kf"), Make<records::Form5kf>, {}},
        {QStringLiteral("Form5k"),
         [](DemoCatalogue& demo) {
             return MakeWithList(demo, [](DemoCatalogue& d, platform::RecordList& list) -> std::unique_ptr<QWidget> {
                 return records::MakeForm5k(d.state, d.ui, list, nullptr, nullptr);
             });
         },
         {}},
        {QStringLiteral("Form5s"),
         [](DemoCatalogue& demo) {
             return MakeWithList(demo, [](DemoCatalogue& d, platform::RecordList& list) -> std::unique_ptr<QWidget> {
                 return records::MakeForm5s(d.state, d.ui, list, nullptr);
             });
         },
         {}},
        {QStringLiteral("Form5ip5c"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             auto screen = std::make_unique<exchange::Form5ip5c>(demo.state, demo.ui);
             const QString folder = DemoCddbFolder(demo);
             if (!folder.isEmpty()) {
                 screen->List3->clear();
                 screen->List3->addItem(folder);
                 screen->Command5_Click();
                 if (screen->Combo1->count() > 1) {
                     screen->Combo1->setCurrentIndex(1);
                     screen->Combo1_Click();
                 }
             }
             return screen;
         },
         {}},
        {QStringLiteral("Form5ip5a"), Make<exchange::Form5ip5a>, {}},
        {QStringLiteral("Form5ip5b"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             return exchange::MakeForm5ip5b(demo.state, demo.ui, nullptr);
         },
         {}},
        {QStringLiteral("Form5ex5a"),
         [](DemoCatalogue& demo) {
             return MakeWithList(demo, [](DemoCatalogue& d, platform::RecordList& list) -> std::unique_ptr<QWidget> {
                 return std::make_unique<exchange::Form5ex5a>(d.state, d.ui, list);
             });
         },
         {}},
        {QStringLiteral("Form5ps"),
         [](DemoCatalogue& demo) {
             return MakeWithList(demo, [](DemoCatalogue& d, platform::RecordList& list) -> std::unique_ptr<QWidget> {
                 print::ReportScreen owner;
                 owner.rows = &list;
                 owner.heading = d.state.config[d.state.CurrentSection].ShumokuName;
                 return print::MakeForm5ps(d.state, d.ui, owner);
             });
         },
         {}},
        {QStringLiteral("Form5pp"), MakePrintStatusShot, {}},
        {QStringLiteral("Form6"), Make<records::Form6>, {}},
        {QStringLiteral("Form7"), MakeEditorShot<records::Form5, records::Form7>, {}},
        {QStringLiteral("Form8"), MakeEditorShot<records::Form6, records::Form8>, {}},
        {QStringLiteral("Form2a"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             return std::make_unique<maintenance::Form2a>(demo.state, demo.ui, nullptr);
         },
         {}},
        {QStringLiteral("Form2h"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             return std::make_unique<maintenance::Form2h>(demo.state, demo.ui, nullptr);
         },
         {}},
        {QStringLiteral("Formv"),
         [](DemoCatalogue&) -> std::unique_ptr<QWidget> { return std::make_unique<maintenance::Formv>(); },
         {}},
        {QStringLiteral("Form12a"), Make<maintenance::Form12a>, {}},
        {QStringLiteral("Form12b"), Make<maintenance::Form12b>, {}},
        {QStringLiteral("Form13a"), Make<maintenance::Form13a>,
         [](QWidget& w) { static_cast<maintenance::Form13a&>(w).Timer1_Timer(); }},
        {QStringLiteral("Form13b"), Make<maintenance::Form13b>, {}},
        {QStringLiteral("Form13c"), Make<maintenance::Form13c>, {}},
        {QStringLiteral("Form9k"), Make<search::Form9k>, {}},
        {QStringLiteral("Form9"), Make<search::Form9>, {}},
        {QStringLiteral("Form10"), Make<search::Form10>, {}},
        {QStringLiteral("Form10ml"), MakeForm10mlShot, {}},
    };
    return screens;
}

} // namespace quelm::shots
