#include "platform/HelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace quelm::platform {

HelpViewer::HelpViewer(QString helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(std::move(helpFolder)), browser_(new QTextBrowser(this)) {
    setWindowTitle(QStringLiteral("ＣＤ管理Quelm ヘルプ"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(false);
    browser_->setSearchPaths({folder_});
    resize(720, 560);
}

void HelpViewer::showIndex() {
    const QString index = QDir(folder_).filePath(QStringLiteral("index.html"));
    if (QFileInfo::exists(index))
        browser_->setSource(QUrl::fromLocalFile(index));
    else
        browser_->setHtml(QStringLiteral("<p>ヘルプ・ファイルが見つかりません: %1</p>").arg(index.toHtmlEscaped()));
    show();
    raise();
    activateWindow();
}

QString DefaultHelpFolder() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("help"));
    if (QFileInfo::exists(QDir(beside).filePath(QStringLiteral("index.html"))))
        return beside;
    // An installed program: <prefix>/bin/quelm with the pages in <prefix>/share/quelm/help.
    const QString installed = QDir::cleanPath(programFolder.filePath(QStringLiteral("../share/quelm/help")));
    if (QFileInfo::exists(QDir(installed).filePath(QStringLiteral("index.html"))))
        return installed;
#ifdef QUELM_SOURCE_HELP_DIR
    return QStringLiteral(QUELM_SOURCE_HELP_DIR);
#else
    return beside;
#endif
}

} // namespace quelm::platform
