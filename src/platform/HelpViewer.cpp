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

// Screens that share one page with a twin, or that are made from a class of another name.
const QHash<QString, QString>& SharedPages() {
    static const QHash<QString, QString> pages{
        {QStringLiteral("Form6k"), QStringLiteral("Form5k")},
        {QStringLiteral("Form10k"), QStringLiteral("Form5k")},
        {QStringLiteral("Form6s"), QStringLiteral("Form5s")},
        {QStringLiteral("Form10s"), QStringLiteral("Form5s")},
        {QStringLiteral("Form8"), QStringLiteral("Form7")},
        {QStringLiteral("Form6ps"), QStringLiteral("Form5ps")},
        {QStringLiteral("Form6pp"), QStringLiteral("Form5pp")},
        {QStringLiteral("Form6ip6b"), QStringLiteral("Form5ip5b")},
        {QStringLiteral("Form9k"), QStringLiteral("Form9")},
        {QStringLiteral("Form10ml"), QStringLiteral("Form10")},
        {QStringLiteral("Form10sl"), QStringLiteral("Form10")},
        {QStringLiteral("Form12b"), QStringLiteral("Form12a")},
        {QStringLiteral("Form13b"), QStringLiteral("Form13a")},
        {QStringLiteral("Form13c"), QStringLiteral("Form13a")},
    };
    return pages;
}

bool PageExists(const QString& folder, const QString& page) {
    return QFileInfo::exists(QDir(folder).filePath(page));
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
    for (const QString& name : {screenName, SharedPages().value(screenName)}) {
        const QString page = name + QStringLiteral(".html");
        if (!name.isEmpty() && PageExists(helpFolder, page))
            return page;
    }
    return kIndexPage;
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
    const QString path = QDir(folder_).filePath(page);
    if (QFileInfo::exists(path))
        browser_->setSource(QUrl::fromLocalFile(path));
    else
        browser_->setHtml(QStringLiteral("<p>ヘルプ・ファイルが見つかりません: %1</p>").arg(path.toHtmlEscaped()));
    show();
    raise();
    activateWindow();
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
