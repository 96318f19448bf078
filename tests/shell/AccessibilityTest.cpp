#include "platform/Accessibility.h"

#include "TestCatalogue.h"
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
#include "platform/HelpViewer.h"
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
#include "search/InquirySubView.h"
#include "search/SearchAllScreen.h"
#include "search/SearchTextDialog.h"
#include "shell/MainWindow.h"
#include "store/CategorySlotsScreen.h"
#include "store/FieldRenameScreen.h"
#include "store/ListEntriesScreen.h"
#include "store/ListTablesScreen.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <functional>
#include <gtest/gtest.h>

using namespace quelm;

namespace {

// What a screen reader hears as the name of a widget.
QString SpokenName(QWidget* w) {
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(w);
    return access ? access->text(QAccessible::Name).trimmed() : QString();
}

bool IsControl(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w);
}

// Shown, or on a page of a tab or stack that the user can turn to.
bool Reachable(const QWidget* w, const QWidget* window) {
    for (; w && w != window; w = w->parentWidget())
        if (w->isHidden() && !qobject_cast<const QStackedWidget*>(w->parentWidget()))
            return false;
    return w == window;
}

// Controls of a window that a screen reader could not name.
QStringList Unnamed(QWidget& window) {
    QStringList unnamed;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        // The line edit of a combo or spin box, the header of a list and a tab bar's scroll arrows are parts of
        // their owner.
        const QWidget* owner = w->parentWidget();
        if (!IsControl(w) || !Reachable(w, &window) || IsControl(owner) || qobject_cast<const QTabBar*>(owner))
            continue;
        if (SpokenName(w).isEmpty())
            unnamed << QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
    }
    return unnamed;
}

// A catalogue with records to show: two discs of the first category, the first with two tracks.
struct EveryScreen : ::testing::Test {
    test::TestCatalogue cat;
    platform::RecordList list; // the list the list dialogs act on, as a record screen's would be

    EveryScreen() {
        cat.addMain(4, 1, {QStringLiteral("春の小品集"), QStringLiteral("見本の楽団")});
        cat.addMain(4, 2, {QStringLiteral("冬の歌"), QStringLiteral("見本の歌手")});
        cat.addSub(4, 1, 1, QStringLiteral("序曲"));
        cat.addSub(4, 1, 2, QStringLiteral("終曲"));
        cat.state.config[4].RegNo = 2;
        cat.state.CurrentSection = 4;
        cat.state.CurrentCategoryName = cat.state.config[4].ShumokuName.trimmed();
        cat.state.CurrentRegNo = 1;
    }

    // The window shown as the program shows it: named when first shown, then loaded.
    void expectNamed(const char* name, QWidget& window, const std::function<void()>& load = {}) {
        window.show();
        platform::NameControlsForAccessibility(&window);
        if (load)
            load();
        EXPECT_EQ(Unnamed(window).join(QStringLiteral(", ")).toStdString(), "") << name;
        window.close();
    }
    template <class Screen> void expectNamed(const char* name) {
        Screen screen(cat.state, cat.ui);
        expectNamed(name, screen);
    }
    print::ReportScreen owner() {
        print::ReportScreen owner;
        owner.rows = &list;
        owner.mainRows = &list;
        owner.heading = cat.state.CurrentCategoryName;
        return owner;
    }
};

TEST(Accessibility, BoxesTakeTheirLabelOrFrameAndKeepGivenNames) {
    QWidget window;
    auto* caption = new QLabel(QStringLiteral("タイトル ："), &window);
    caption->setGeometry(10, 10, 80, 20);
    auto* title = new QLineEdit(&window);
    title->setGeometry(100, 10, 200, 20);
    auto* heading = new QLabel(QStringLiteral("検索文字"), &window);
    heading->setGeometry(10, 40, 100, 20);
    auto* below = new QLineEdit(&window);
    below->setGeometry(10, 62, 200, 20);
    auto* named = new QLineEdit(&window);
    named->setGeometry(10, 100, 200, 20);
    named->setAccessibleName(QStringLiteral("自分の名前"));
    platform::NameControlsForAccessibility(&window);
    EXPECT_EQ(SpokenName(title), QStringLiteral("タイトル ："));
    EXPECT_EQ(SpokenName(below), QStringLiteral("検索文字"));
    EXPECT_EQ(SpokenName(named), QStringLiteral("自分の名前"));
    // A label filled in later, as the record screens fill their item names once the category is read, still names
    // its box.
    caption->setText(QStringLiteral("アーティスト ："));
    EXPECT_EQ(SpokenName(title), QStringLiteral("アーティスト ："));
    // Screen readers on Linux read a box's label through its relation.
    const auto relations = QAccessible::queryAccessibleInterface(title)->relations(QAccessible::Label);
    ASSERT_EQ(relations.size(), 1);
    EXPECT_EQ(relations[0].first->object(), caption);
    // A label with "&" keeps showing it: the box takes the text as its name instead.
    auto* ampersand = new QLabel(QStringLiteral("R&B ："), &window);
    ampersand->setGeometry(10, 130, 80, 20);
    auto* genre = new QLineEdit(&window);
    genre->setGeometry(100, 130, 200, 20);
    platform::NameControlsForAccessibility(&window);
    EXPECT_EQ(ampersand->buddy(), nullptr);
    EXPECT_EQ(SpokenName(genre), QStringLiteral("R&B ："));
}

TEST_F(EveryScreen, MainWindowAndSettings) {
    {
        shell::MainWindow screen(cat.state, cat.ui);
        ASSERT_TRUE(screen.Form_Load());
        expectNamed("Form1", screen);
    }
    {
        maintenance::SettingsScreen screen(cat.state, cat.ui, nullptr);
        expectNamed("Form2a", screen);
    }
    expectNamed<store::FieldRenameScreen>("Form2b");
    expectNamed<store::CategorySlotsScreen>("Form2c");
    expectNamed<store::ListTablesScreen>("Form2e");
    expectNamed<store::ListEntriesScreen>("Form2f");
    {
        maintenance::InitialiseScreen screen(cat.state, cat.ui, nullptr);
        expectNamed("Form2h", screen);
    }
    {
        maintenance::AboutBox screen;
        expectNamed("Formv", screen);
    }
    {
        platform::HelpViewer viewer(test::HelpFolder());
        expectNamed("HelpViewer", viewer);
    }
}

TEST_F(EveryScreen, RecordScreensEditorsAndTheirDialogs) {
    // The editors as the record screens open them: filled for a mode before they are shown.
    {
        records::MainRecordScreen screen(cat.state, cat.ui);
        expectNamed("Form5", screen, [&] { screen.Timer1_Timer(); });
        records::MainRecordEditor editor(cat.state, cat.ui);
        screen.SetUpEditor(editor, records::RecordScreen::EditorMode::Change);
        expectNamed("Form7", editor);
    }
    {
        records::SubRecordScreen screen(cat.state, cat.ui);
        expectNamed("Form6", screen, [&] { screen.Timer1_Timer(); });
        records::SubRecordEditor editor(cat.state, cat.ui);
        screen.SetUpEditor(editor, records::RecordScreen::EditorMode::New);
        expectNamed("Form8", editor);
    }
    expectNamed<records::FieldSearchDialog>("Form5kf");
    expectNamed("Form5k", *records::MakeMainListSearch(cat.state, cat.ui, list, nullptr, nullptr));
    expectNamed("Form6k", *records::MakeSubListSearch(cat.state, cat.ui, list, nullptr, nullptr));
    expectNamed("Form5s", *records::MakeMainSortOrder(cat.state, cat.ui, list, nullptr));
    expectNamed("Form6s", *records::MakeSubSortOrder(cat.state, cat.ui, list, nullptr));
    expectNamed("Form5ps", *print::MakeMainPrintSettings(cat.state, cat.ui, owner()));
    expectNamed("Form6ps", *print::MakeSubPrintSettings(cat.state, cat.ui, owner()));
    store::PrintSettings settings;
    const print::PrintStatus status =
        print::MakePrintStatus(settings, {QStringLiteral("タイトル")}, {30}, {QStringLiteral("タイトル")}, 10);
    {
        print::PrintStatusDialog screen(cat.state, cat.ui, print::ReportSide::Main, status);
        expectNamed("Form5pp", screen);
    }
    {
        print::PrintStatusDialog screen(cat.state, cat.ui, print::ReportSide::Sub, status);
        expectNamed("Form6pp", screen);
    }
}

TEST_F(EveryScreen, ImportExportAndMaintenance) {
    expectNamed<exchange::MigrationScreen>("Form5ip5a");
    expectNamed("Form5ip5b", *exchange::MakeMainCsvImport(cat.state, cat.ui, nullptr));
    expectNamed("Form6ip6b", *exchange::MakeSubCsvImport(cat.state, cat.ui, nullptr));
    expectNamed<exchange::CddbImportScreen>("Form5ip5c");
    {
        exchange::CsvExportScreen screen(cat.state, cat.ui, list);
        expectNamed("Form5ex5a", screen);
    }
    expectNamed<maintenance::BackupScreen>("Form12a");
    expectNamed<maintenance::RestoreScreen>("Form12b");
    {
        maintenance::StatisticsScreen screen(cat.state, cat.ui);
        expectNamed("Form13a", screen, [&] { screen.Timer1_Timer(); });
    }
    expectNamed<maintenance::ListTablesListing>("Form13b");
    expectNamed<maintenance::FieldNamesListing>("Form13c");
}

TEST_F(EveryScreen, SearchAndInquiry) {
    expectNamed<search::SearchTextDialog>("Form9k");
    {
        cat.ui.modalDrivers.push_back([](QDialog& d) {
            auto& dialog = static_cast<search::SearchTextDialog&>(d);
            dialog.Text1->setText(QStringLiteral("曲"));
            dialog.Command1->click();
        });
        search::SearchAllScreen screen(cat.state, cat.ui);
        expectNamed("Form9", screen, [&] { screen.Timer1_Timer(); });
    }
    search::InquiryScreen inquiry(cat.state, cat.ui);
    expectNamed("Form10", inquiry, [&] { inquiry.mf10_Click(0); });
    ASSERT_EQ(inquiry.source().section, 4);
    inquiry.ListView1_ItemClick(1);
    inquiry.ListView2_ItemClick(1);
    {
        search::InquiryMainView view(cat.state, cat.ui, *inquiry.ListView1, 4);
        expectNamed("Form10ml", view);
    }
    {
        search::InquirySubView view(cat.state, cat.ui, *inquiry.ListView2, 4);
        expectNamed("Form10sl", view);
    }
    expectNamed("Form10k", *records::MakeInquiryListSearch(cat.state, cat.ui, *inquiry.ListView1, nullptr));
    expectNamed("Form10s", *records::MakeInquirySortOrder(cat.state, cat.ui, *inquiry.ListView1, nullptr));
}

} // namespace
