// Result screen of the all-category search: the hits, the record of the selected hit, and its record screen.
#include "search/SearchAllScreen.h"

#include "platform/Database.h"
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "platform/Units.h"
#include "print/ScreenPrint.h"
#include "records/MainRecordScreen.h"
#include "records/RecordScreenParts.h"
#include "records/SubRecordScreen.h"
#include "search/AllCategorySearch.h"
#include "search/SearchTextDialog.h"
#include "store/Catalogue.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace quelm::search {

using platform::Buttons;
using platform::Icon;
using platform::TwipsToPixels;

namespace {

constexpr int FormHeight = 9600;

} // namespace

// The search reports to the screen: the bar in panel 3, the hits as each table ends.
class SearchAllScreen::Progress : public SearchObserver {
public:
    explicit Progress(SearchAllScreen& screen) : screen_(screen) {}
    void tableStarted(int done, int total) override {
        screen_.StatusBar1->setPanelText(3, ProgressText(done, total));
        screen_.StatusBar1->repaint();
    }
    void tableFinished(std::vector<platform::ListRow>&& hits) override {
        screen_.ListView1->addRows(std::move(hits));
        screen_.StatusBar1->setPanelText(3, QString());
        screen_.repaint();
    }
    bool keepGoing() override { return screen_.keepResponsive(); }

private:
    SearchAllScreen& screen_;
};

SearchAllScreen::SearchAllScreen(store::AppState& state, platform::Ui& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), fromInquiry_(state.SearchFromInquiry) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(state_.caption(QStringLiteral("全ファイル検索")));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(TwipsToPixels(120), 0, TwipsToPixels(120), 0);
    buildMenus();

    Label1 = records::HeadingLabel(QStringLiteral("全ファイルより検索"), 3, this);
    layout->addWidget(Label1);
    Label2 = new QLabel(QStringLiteral("検索結果"), this);
    layout->addWidget(Label2);
    const int listWidth = records::ListWidthPixels(state_);
    ListView1 = new platform::RecordList(this);
    ListView1->setFixedWidth(listWidth);
    layout->addWidget(ListView1, 1);
    connect(ListView1, &platform::RecordList::itemClick, this, &SearchAllScreen::ListView1_ItemClick);
    connect(ListView1, &platform::RecordList::columnClick, this, &SearchAllScreen::ListView1_ColumnClick);
    connect(ListView1->view(), &QTreeView::doubleClicked, this,
            [this](const QModelIndex& index) { ListView1_DblClick(index.row() + 1); });

    auto* category = new QHBoxLayout;
    Label4 = new QLabel(QStringLiteral("種目区分："), this);
    Label5 = new QLabel(this);
    category->addWidget(Label4);
    category->addWidget(Label5, 1);
    layout->addLayout(category);
    ListView2 = new platform::RecordList(this);
    ListView2->setFixedWidth(listWidth);
    ListView2->setFixedHeight(TwipsToPixels(1000));
    layout->addWidget(ListView2);

    auto* keys = new QHBoxLayout;
    Label8 = new QLabel(QStringLiteral("ファイル名"), this);
    Text2 = new QLineEdit(this);
    Label6 = new QLabel(QStringLiteral("登録ＮＯ"), this);
    Text3 = new QLineEdit(this);
    Label7 = new QLabel(QStringLiteral("サブＮＯ"), this);
    Text4 = new QLineEdit(this);
    for (QWidget* w : std::initializer_list<QWidget*>{Label8, Text2, Label6, Text3, Label7, Text4}) {
        keys->addWidget(w);
        w->hide();
    }
    for (QLineEdit* box : {Text2, Text3, Text4}) {
        box->setReadOnly(true);
        box->setFixedWidth(TwipsToPixels(1800));
    }
    keys->addStretch(1);
    layout->addLayout(keys);
    connect(Text2, &QLineEdit::textChanged, this, &SearchAllScreen::ListView2List);

    StatusBar1 = new platform::StatusPanels(this);
    layout->addWidget(StatusBar1);

    records::PlaceListWindow(*this, state_, FormHeight);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &SearchAllScreen::Timer1_Timer);
    Timer1->start();
}

SearchAllScreen::~SearchAllScreen() = default;

void SearchAllScreen::buildMenus() {
    menuBar_ = new QMenuBar(this);
    layout()->setMenuBar(menuBar_);
    QMenu* mf1 = menuBar_->addMenu(QStringLiteral(" ファイル  "));
    mf10 = mf1->addAction(QStringLiteral("(明細レコード)"));
    mf11 = mf1->addAction(QStringLiteral("   編 集"));
    mf1->addSeparator();
    mf12 = mf1->addAction(QStringLiteral("画面印刷(ActiveWindow)"));
    mf1->addSeparator();
    mf13 = mf1->addAction(QStringLiteral("閉じる"));
    mk1 = menuBar_->addAction(QStringLiteral("検索条件  "));
    QMenu* mv1 = menuBar_->addMenu(QStringLiteral("表 示  "));
    mv11 = mv1->addAction(QStringLiteral("ファイル名＆登録ＮＯ表示"));
    mv11->setCheckable(true);
    mh1 = menuBar_->addAction(QStringLiteral("　ヘルプ"));
    mf11->setEnabled(false); // until a search has run
    connect(mf11, &QAction::triggered, this, &SearchAllScreen::mf11_Click);
    connect(mf12, &QAction::triggered, this, &SearchAllScreen::mf12_Click);
    connect(mf13, &QAction::triggered, this, &SearchAllScreen::mf13_Click);
    connect(mk1, &QAction::triggered, this, &SearchAllScreen::mk1_Click);
    connect(mv11, &QAction::triggered, this, &SearchAllScreen::mv11_Click);
    connect(mh1, &QAction::triggered, this, &SearchAllScreen::mh1_Click);
}

void SearchAllScreen::Timer1_Timer() {
    Timer1->stop();
    if (loaded_)
        return;
    loaded_ = true;
    bool cancelled = true;
    {
        SearchTextDialog dialog(state_, ui_, this);
        ui_.runModal(dialog);
        cancelled = dialog.cancelled();
    }
    if (cancelled) {
        StatusBar1->setPanelText(3, QStringLiteral("検索条件の入力がキャンセルされました。"));
        mf11->setEnabled(false);
        return;
    }
    mf11->setEnabled(!fromInquiry_);
    if (TablesToSearch(state_.config) == 0) {
        ui_.message(QStringLiteral("ファイル設定が未済です。"), Icon::Critical, Buttons::Ok, QStringLiteral("ERROR"),
                    this);
        return;
    }
    StatusBar1->setPanelText(1, QStringLiteral("[検索文字]    ") + state_.FieldSearchCriteria.searchText);
    SubListViewHD();
    const bool complete = SubListViewKensaku();
    if (closeRequested_) {
        close();
        return;
    }
    if (ListView1->rowCount() == 0) {
        if (complete)
            ui_.message(QStringLiteral("検索の結果、該当のレコードが見つかりませんでした。"), Icon::Information,
                        Buttons::Ok, QStringLiteral("検索結果"), this);
        return;
    }
    ListView1_ItemClick(1);
}

void SearchAllScreen::SubListViewHD() {
    ListView1->clearColumns();
    const int first = state_.ListFormWidth >= 17000 ? 6000 : 4000;
    ListView1->addColumn(QStringLiteral("検索した文字列"), first);
    ListView1->addColumn(QStringLiteral("種目名"), 2800);
    ListView1->addColumn(QStringLiteral("項目名"), 2800);
    ListView1->addColumn(QStringLiteral("ファイル名"), 1500);
    ListView1->addColumn(QStringLiteral("登録ＮＯ"), 0, Qt::AlignRight);
    ListView1->addColumn(QStringLiteral("サブＮＯ"), 0, Qt::AlignRight);
}

bool SearchAllScreen::SubListViewKensaku() {
    searching_ = true;
    stopRequested_ = false;
    menuBar_->setEnabled(false); // nothing but Esc and closing while the tables are read
    ListView1->setEnabled(false);
    sincePaint_.start();
    StatusBar1->setPanelText(3, ProgressStartText());
    StatusBar1->repaint();
    bool complete = false;
    try {
        auto db = store::OpenCatalogue(state_.databasePath());
        Progress progress(*this);
        const store::FieldSearch& f = state_.FieldSearchCriteria;
        complete = SearchAllCategories(*db, state_.config, {f.searchText, f.exactMatch == 1}, progress);
    } catch (const platform::EngineError& e) {
        StatusBar1->setPanelText(3, QString());
        platform::ShowEngineError(ui_, e.message(), this);
    }
    searching_ = false;
    menuBar_->setEnabled(true);
    ListView1->setEnabled(true);
    if (stopRequested_)
        StatusBar1->setPanelText(3, QStringLiteral("検索を中止しました。"));
    return complete;
}

bool SearchAllScreen::keepResponsive() {
    if (sincePaint_.elapsed() >= responseIntervalMs_) {
        QApplication::processEvents();
        sincePaint_.restart();
    }
    return !stopRequested_;
}

void SearchAllScreen::reject() {
    if (searching_) {
        stopRequested_ = true;
        return;
    }
    QDialog::reject();
}

void SearchAllScreen::closeEvent(QCloseEvent* event) {
    if (searching_) {
        // The search ends first; the window closes as soon as it has.
        stopRequested_ = true;
        closeRequested_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void SearchAllScreen::ListView1_ItemClick(int index) {
    ListView1->select(index);
    Text2->clear();
    Txt1234Set();
    showPosition();
    ListView1->setFocus();
}

void SearchAllScreen::Txt1234Set() {
    const int index = ListView1->selectedIndex();
    Text4->clear();
    Text3->setText(ListView1->cell(index, HitRegNoColumn));
    Text4->setText(ListView1->cell(index, HitSubNoColumn));
    Text2->setText(ListView1->cell(index, HitTableColumn));
}

void SearchAllScreen::showPosition() {
    StatusBar1->setPanelText(2, QStringLiteral("検索レコード順／総数　　 ") +
                                    QString::number(ListView1->selectedIndex()) + QStringLiteral(" / ") +
                                    QString::number(ListView1->rowCount()));
}

void SearchAllScreen::ListView2List() {
    ListView2->clearColumns();
    if (Text2->text().isEmpty())
        return;
    const std::optional<HitTable> table = FindHitTable(state_.config, Text2->text());
    if (!table)
        return;
    const store::ConfigSection& section = state_.config[table->section];
    state_.CurrentSection = static_cast<std::int16_t>(table->section);
    Label5->setText(CategoryLabel(section, table->sub));
    for (const records::ListColumn& c : DetailColumns(section, table->sub))
        ListView2->addColumn(c.heading, c.widthTwips, c.align);
    const auto regNo = ParseRecordNumber(Text3->text());
    const auto subNo = ParseRecordNumber(Text4->text());
    if (regNo && (subNo || !table->sub)) {
        try {
            auto db = store::OpenCatalogue(state_.databasePath());
            if (auto row = ReadDetailRow(*db, section, table->sub, *regNo, subNo.value_or(0))) {
                ListView2->addRows(std::vector<platform::ListRow>{std::move(*row)});
                markMatchedField();
            }
        } catch (const platform::EngineError& e) {
            platform::ShowEngineError(ui_, e.message(), this);
        }
    }
    showPosition();
}

void SearchAllScreen::markMatchedField() {
    const int hit = ListView1->selectedIndex();
    const QString field = ListView1->cell(hit, HitFieldColumn), text = ListView1->cell(hit, HitTextColumn);
    // Two fields may carry one name: the one that holds the hit's text is meant.
    int marked = -1;
    for (int column = 0; column < ListView2->columnCount(); ++column) {
        if (ListView2->columnHeading(column) != field)
            continue;
        if (marked < 0 || ListView2->cell(1, column) == text)
            marked = column;
        if (ListView2->cell(1, column) == text)
            break;
    }
    ListView2->markColumn(marked);
}

void SearchAllScreen::ListView1_DblClick(int index) {
    if (index < 1 || index > ListView1->rowCount())
        return;
    ListView1_ItemClick(index);
    mf11_Click();
}

void SearchAllScreen::ListView1_ColumnClick(int column) {
    if (ListView1->rowCount() == 0)
        return;
    ListView1->sortByColumn(column, Qt::AscendingOrder);
    showPosition();
}

void SearchAllScreen::mf11_Click() {
    if (!mf11->isEnabled())
        return;
    const std::optional<HitTable> table = FindHitTable(state_.config, Text2->text());
    const auto regNo = ParseRecordNumber(Text3->text());
    if (!table || !regNo)
        return; // no hit is selected
    state_.CurrentSection = static_cast<std::int16_t>(table->section);
    state_.CurrentCategoryName = state_.config[table->section].ShumokuName;
    state_.ListMode = 2;
    state_.CurrentRegNo = static_cast<std::int32_t>(*regNo);
    if (table->sub) {
        state_.CurrentSubNo = static_cast<std::int32_t>(ParseRecordNumber(Text4->text()).value_or(0));
        records::SubRecordScreen screen(state_, ui_, this);
        ui_.runModal(screen);
    } else {
        records::MainRecordScreen screen(state_, ui_, this);
        ui_.runModal(screen);
    }
    ListView2List(); // the record may have been changed or deleted meanwhile
}

void SearchAllScreen::mf12_Click() {
    print::PrintScreen(*this, StatusBar1, print::ScreenPrintArea::ActiveWindow, ui_, state_.dataFolder);
}

void SearchAllScreen::mf13_Click() {
    close();
}

void SearchAllScreen::mk1_Click() {
    hide();
    state_.SearchFromInquiry = fromInquiry_;
    {
        SearchAllScreen again(state_, ui_, parentWidget());
        ui_.runModal(again);
    }
    close();
}

void SearchAllScreen::mv11_Click() {
    const bool shown = mv11->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Label8, Label6, Label7, Text2, Text3, Text4})
        w->setVisible(shown);
}

void SearchAllScreen::mh1_Click() {
    ui_.showHelp(this);
}

} // namespace quelm::search
