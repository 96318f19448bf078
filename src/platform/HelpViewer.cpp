#include "platform/HelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace quelm::platform {

namespace {

const QString kIndexPage = QStringLiteral("index.html");

// The one map from a screen's code (its object name) to its help page; twins and the screens of one subject share a
// page, where each screen of a subject opens at its own section (page#anchor, the anchor an <a name> of the page).
const QHash<QString, QString>& HelpPages() {
    static const QHash<QString, QString> pages{
        {QStringLiteral("Form1"), QStringLiteral("main-window.html")},
        {QStringLiteral("Form2a"), QStringLiteral("settings.html")},
        {QStringLiteral("Form2b"), QStringLiteral("field-rename.html")},
        {QStringLiteral("Form2c"), QStringLiteral("category-slots.html")},
        {QStringLiteral("Form2e"), QStringLiteral("list-tables.html")},
        {QStringLiteral("Form2f"), QStringLiteral("list-entries.html")},
        {QStringLiteral("Form2h"), QStringLiteral("initialise.html")},
        {QStringLiteral("Formv"), QStringLiteral("about.html")},
        {QStringLiteral("Form5"), QStringLiteral("main-records.html")},
        {QStringLiteral("Form6"), QStringLiteral("sub-records.html")},
        {QStringLiteral("Form7"), QStringLiteral("record-editor.html")},
        {QStringLiteral("Form8"), QStringLiteral("record-editor.html")},
        {QStringLiteral("Form5kf"), QStringLiteral("field-search.html")},
        {QStringLiteral("Form5k"), QStringLiteral("list-search.html")},
        {QStringLiteral("Form6k"), QStringLiteral("list-search.html")},
        {QStringLiteral("Form10k"), QStringLiteral("list-search.html")},
        {QStringLiteral("Form5s"), QStringLiteral("sort-order.html")},
        {QStringLiteral("Form6s"), QStringLiteral("sort-order.html")},
        {QStringLiteral("Form10s"), QStringLiteral("sort-order.html")},
        {QStringLiteral("Form9"), QStringLiteral("search-all.html#results")},
        {QStringLiteral("Form9k"), QStringLiteral("search-all.html#search-text")},
        {QStringLiteral("Form10"), QStringLiteral("inquiry.html")},
        {QStringLiteral("Form10ml"), QStringLiteral("inquiry.html#single-record")},
        {QStringLiteral("Form10sl"), QStringLiteral("inquiry.html#single-record")},
        {QStringLiteral("Form5ps"), QStringLiteral("print-settings.html")},
        {QStringLiteral("Form6ps"), QStringLiteral("print-settings.html")},
        {QStringLiteral("Form5pp"), QStringLiteral("print-status.html")},
        {QStringLiteral("Form6pp"), QStringLiteral("print-status.html")},
        {QStringLiteral("Form5ip5b"), QStringLiteral("csv-import.html")},
        {QStringLiteral("Form6ip6b"), QStringLiteral("csv-import.html")},
        {QStringLiteral("Form5ip5c"), QStringLiteral("cddb-import.html")},
        {QStringLiteral("Form5ip5d"), QStringLiteral("ripped-import.html")},
        {QStringLiteral("Form5ex5a"), QStringLiteral("csv-export.html")},
        {QStringLiteral("Form5ip5a"), QStringLiteral("migration.html")},
        {QStringLiteral("Form12a"), QStringLiteral("backup-restore.html#backup")},
        {QStringLiteral("Form12b"), QStringLiteral("backup-restore.html#restore")},
        {QStringLiteral("Form13a"), QStringLiteral("statistics.html#counts")},
        {QStringLiteral("Form13b"), QStringLiteral("statistics.html#list-entries")},
        {QStringLiteral("Form13c"), QStringLiteral("statistics.html#field-names")},
        {QStringLiteral("Form13d"), QStringLiteral("charts.html")},
    };
    return pages;
}

// The file of a page that may name a section ("page.html#anchor").
QString PageFile(const QString& page) {
    return page.section(QLatin1Char('#'), 0, 0);
}

bool PageExists(const QString& folder, const QString& page) {
    return QFileInfo::exists(QDir(folder).filePath(PageFile(page)));
}

QString ReadPage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

QString ScreenName(const QWidget& screen) {
    if (!screen.objectName().isEmpty())
        return screen.objectName();
    const QString className = QString::fromLatin1(screen.metaObject()->className());
    return className.mid(className.lastIndexOf(QLatin1Char(':')) + 1);
}

QString HelpPageFor(const QString& helpFolder, const QString& screenName) {
    const QString page = HelpPages().value(screenName);
    return !page.isEmpty() && PageExists(helpFolder, page) ? page : kIndexPage;
}

QList<HelpHit> SearchHelp(const QString& helpFolder, const QString& text) {
    QList<HelpHit> hits;
    const QString sought = text.trimmed();
    if (sought.isEmpty())
        return hits;
    const QDir folder(helpFolder);
    for (const QString& page : folder.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        QTextDocument document;
        document.setHtml(ReadPage(folder.filePath(page)));
        const QString title = document.metaInformation(QTextDocument::DocumentTitle);
        if (!document.toPlainText().contains(sought, Qt::CaseInsensitive) &&
            !title.contains(sought, Qt::CaseInsensitive))
            continue;
        hits.append({page, title.isEmpty() ? page : title});
    }
    // The table of contents first, then the screens in name order.
    std::stable_partition(hits.begin(), hits.end(), [](const HelpHit& hit) { return hit.page == kIndexPage; });
    return hits;
}

HelpViewer::HelpViewer(QString helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(std::move(helpFolder)), searchBox_(new QLineEdit(this)),
      hits_(new QListWidget(this)), browser_(new QTextBrowser(this)) {
    setWindowTitle(QStringLiteral("ＣＤ管理Quelm ヘルプ"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* contents = new QPushButton(QStringLiteral("目次"), this);
    auto* find = new QPushButton(QStringLiteral("検索"), this);
    for (QPushButton* button : {contents, find})
        button->setAutoDefault(false);
    searchBox_->setPlaceholderText(QStringLiteral("ヘルプ全体から探す言葉"));
    searchBox_->setAccessibleName(QStringLiteral("ヘルプの検索"));
    hits_->setAccessibleName(QStringLiteral("検索結果"));
    browser_->setAccessibleName(QStringLiteral("ヘルプ"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(contents);
    bar->addWidget(searchBox_, 1);
    bar->addWidget(find);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(hits_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    hits_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);

    browser_->setOpenExternalLinks(false);
    browser_->setSearchPaths({folder_});
    connect(contents, &QPushButton::clicked, this, &HelpViewer::showIndex);
    connect(find, &QPushButton::clicked, this, &HelpViewer::search);
    connect(searchBox_, &QLineEdit::returnPressed, this, &HelpViewer::search);
    connect(hits_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        browser_->setSource(
            QUrl::fromLocalFile(QDir(folder_).filePath(hits_->item(row)->data(Qt::UserRole).toString())));
        browser_->find(searchBox_->text().trimmed());
    });
    resize(860, 620);
}

void HelpViewer::showIndex() {
    showPage(kIndexPage);
}

void HelpViewer::showPage(const QString& page) {
    const QString path = QDir(folder_).filePath(PageFile(page));
    const QString anchor = page.section(QLatin1Char('#'), 1);
    if (QFileInfo::exists(path)) {
        QUrl url = QUrl::fromLocalFile(path);
        if (!anchor.isEmpty())
            url.setFragment(anchor);
        browser_->setSource(url);
    } else {
        browser_->setHtml(QStringLiteral("<p>ヘルプ・ファイルが見つかりません: %1</p>").arg(path.toHtmlEscaped()));
    }
    show();
    raise();
    activateWindow();
    // Once the window is laid out; also when the same page was already shown at another place.
    if (!anchor.isEmpty())
        browser_->scrollToAnchor(anchor);
}

void HelpViewer::search() {
    hits_->clear();
    const QList<HelpHit> hits = SearchHelp(folder_, searchBox_->text());
    for (const HelpHit& hit : hits) {
        auto* item = new QListWidgetItem(hit.title, hits_);
        item->setData(Qt::UserRole, hit.page);
    }
    if (hits.isEmpty())
        new QListWidgetItem(QStringLiteral("見つかりませんでした"), hits_);
    hits_->show();
    if (!hits.isEmpty())
        hits_->setCurrentRow(0);
}

QString DefaultHelpFolder() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("help"));
    if (QFileInfo::exists(QDir(beside).filePath(kIndexPage)))
        return beside;
    // An installed program: <prefix>/bin/quelm with the pages in <prefix>/share/quelm/help.
    const QString installed = QDir::cleanPath(programFolder.filePath(QStringLiteral("../share/quelm/help")));
    if (QFileInfo::exists(QDir(installed).filePath(kIndexPage)))
        return installed;
#ifdef QUELM_SOURCE_HELP_DIR
    return QStringLiteral(QUELM_SOURCE_HELP_DIR);
#else
    return beside;
#endif
}

} // namespace quelm::platform
