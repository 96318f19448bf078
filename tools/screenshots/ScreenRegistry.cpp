#include "ScreenRegistry.h"

#include "DemoCatalogue.h"
#include "exchange/CddbImportScreen.h"
#include "exchange/CsvExportScreen.h"
#include "exchange/CsvImportScreen.h"
#include "exchange/MigrationScreen.h"
#include "maintenance/AboutBox.h"
#include "maintenance/BackupScreen.h"
#include "maintenance/FieldNamesListing.h"
#include "maintenance/InitialiseScreen.h"
#include "maintenance/ListTablesListing.h"
#include "maintenance/RestoreScreen.h"
#include "maintenance/SettingsScreen.h"
#include "maintenance/StatisticsScreen.h"
#include "platform/RecordList.h"
#include "print/PrintSettingsDialog.h"
#include "print/PrintStatusDialog.h"
#include "records/FieldSearchDialog.h"
#include "records/ListSearchDialog.h"
#include "records/MainRecordEditor.h"
#include "records/MainRecordScreen.h"
#include "records/SortOrderDialog.h"
#include "records/SubRecordEditor.h"
#include "records/SubRecordScreen.h"
#include "search/InquiryMainView.h"
#include "search/InquiryScreen.h"
#include "search/SearchAllScreen.h"
#include "search/SearchTextDialog.h"

#include "shell/MainWindow.h"
#include "store/CategorySlotsScreen.h"
#include "store/FieldRenameScreen.h"
#include "store/ListEntriesScreen.h"
#include "store/ListTablesScreen.h"
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTreeView>

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
std::unique_ptr<QWidget> MakeInquiryMainViewShot(DemoCatalogue& demo) {
    auto* inquiry = new search::InquiryScreen(demo.state, demo.ui);
    inquiry->mf10_Click(demo.state.CurrentSection - store::FirstSlotSection);
    if (inquiry->source().section == 0 || inquiry->ListView1->rowCount() == 0) {
        delete inquiry;
        return nullptr;
    }
    inquiry->ListView1_ItemClick(1);
    // Label5 holds the 登録ＮＯ of the selected row.
    DrawDemoCover(demo.state.RecordPicturePath(inquiry->source().section, inquiry->Label5->text().toLongLong()));
    auto view =
        std::make_unique<search::InquiryMainView>(demo.state, demo.ui, *inquiry->ListView1, inquiry->source().section);
    inquiry->setParent(view.get(), Qt::Window);
    inquiry->hide();
    return view;
}

// The backup and restore screens with the demo home at the top of their folder tree and its backup folder chosen,
// so that nothing of the machine they run on shows.
template <typename Screen> std::unique_ptr<QWidget> MakeFolderShot(DemoCatalogue& demo) {
    auto screen = std::make_unique<Screen>(demo.state, demo.ui);
    auto* model = static_cast<QFileSystemModel*>(screen->Dir1->model());
    screen->Dir1->setRootIndex(model->index(demo.home));
    screen->SetFolder(demo.backupFolder);
    return screen;
}

} // namespace

const std::vector<ScreenShot>& Screens() {
    static const std::vector<ScreenShot> screens{
        {QStringLiteral("Form1"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             auto window = std::make_unique<shell::MainWindow>(demo.state, demo.ui);
             if (!window->Form_Load())
                 return nullptr;
             return window;
         },
         {}},
        {QStringLiteral("Form2b"), Make<store::FieldRenameScreen>, {}},
        {QStringLiteral("Form2c"), Make<store::CategorySlotsScreen>, {}},
        {QStringLiteral("Form2e"), Make<store::ListTablesScreen>, {}},
        {QStringLiteral("Form2f"), Make<store::ListEntriesScreen>, {}},
        {QStringLiteral("Form5"), Make<records::MainRecordScreen>, {}},
        {QStringLiteral("Form5kf"), Make<records::FieldSearchDialog>, {}},
        {QStringLiteral("Form5k"),
         [](DemoCatalogue& demo) {
             return MakeWithList(demo, [](DemoCatalogue& d, platform::RecordList& list) -> std::unique_ptr<QWidget> {
                 return records::MakeMainListSearch(d.state, d.ui, list, nullptr, nullptr);
             });
         },
         {}},
        {QStringLiteral("Form5s"),
         [](DemoCatalogue& demo) {
             return MakeWithList(demo, [](DemoCatalogue& d, platform::RecordList& list) -> std::unique_ptr<QWidget> {
                 return records::MakeMainSortOrder(d.state, d.ui, list, nullptr);
             });
         },
         {}},
        {QStringLiteral("Form5ip5c"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             auto screen = std::make_unique<exchange::CddbImportScreen>(demo.state, demo.ui);
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
        {QStringLiteral("Form5ip5a"), Make<exchange::MigrationScreen>, {}},
        {QStringLiteral("Form5ip5b"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             return exchange::MakeMainCsvImport(demo.state, demo.ui, nullptr);
         },
         {}},
        {QStringLiteral("Form5ex5a"),
         [](DemoCatalogue& demo) {
             return MakeWithList(demo, [](DemoCatalogue& d, platform::RecordList& list) -> std::unique_ptr<QWidget> {
                 return std::make_unique<exchange::CsvExportScreen>(d.state, d.ui, list);
             });
         },
         {}},
        {QStringLiteral("Form5ps"),
         [](DemoCatalogue& demo) {
             return MakeWithList(demo, [](DemoCatalogue& d, platform::RecordList& list) -> std::unique_ptr<QWidget> {
                 print::ReportScreen owner;
                 owner.rows = &list;
                 owner.heading = d.state.config[d.state.CurrentSection].ShumokuName;
                 return print::MakeMainPrintSettings(d.state, d.ui, owner);
             });
         },
         {}},
        {QStringLiteral("Form5pp"), MakePrintStatusShot, {}},
        {QStringLiteral("Form6"), Make<records::SubRecordScreen>, {}},
        {QStringLiteral("Form7"), MakeEditorShot<records::MainRecordScreen, records::MainRecordEditor>, {}},
        {QStringLiteral("Form8"), MakeEditorShot<records::SubRecordScreen, records::SubRecordEditor>, {}},
        {QStringLiteral("Form2a"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             return std::make_unique<maintenance::SettingsScreen>(demo.state, demo.ui, nullptr);
         },
         {}},
        {QStringLiteral("Form2h"),
         [](DemoCatalogue& demo) -> std::unique_ptr<QWidget> {
             return std::make_unique<maintenance::InitialiseScreen>(demo.state, demo.ui, nullptr);
         },
         {}},
        {QStringLiteral("Formv"),
         [](DemoCatalogue&) -> std::unique_ptr<QWidget> { return std::make_unique<maintenance::AboutBox>(); },
         {}},
        {QStringLiteral("Form12a"), MakeFolderShot<maintenance::BackupScreen>, {}},
        {QStringLiteral("Form12b"), MakeFolderShot<maintenance::RestoreScreen>, {}},
        {QStringLiteral("Form13a"), Make<maintenance::StatisticsScreen>,
         [](QWidget& w) { static_cast<maintenance::StatisticsScreen&>(w).Timer1_Timer(); }},
        {QStringLiteral("Form13b"), Make<maintenance::ListTablesListing>, {}},
        {QStringLiteral("Form13c"), Make<maintenance::FieldNamesListing>, {}},
        {QStringLiteral("Form9k"), Make<search::SearchTextDialog>, {}},
        {QStringLiteral("Form9"), Make<search::SearchAllScreen>, {}},
        {QStringLiteral("Form10"), Make<search::InquiryScreen>, {}},
        {QStringLiteral("Form10ml"), MakeInquiryMainViewShot, {}},
    };
    return screens;
}

} // namespace quelm::shots
