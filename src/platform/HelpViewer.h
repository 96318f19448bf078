#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace quelm::platform {

// The name of a screen: its object name when it has one (the twin screens made from one class carry theirs),
// else its class name without the namespace.
QString ScreenName(const QWidget& screen);

// The help page of a screen (by its code, e.g. "Form5ip5c"), relative to the help folder: the page the help map names
// for it when that page exists, with the screen's own section where the page serves several ("page.html#anchor"),
// else the table of contents "index.html".
QString HelpPageFor(const QString& helpFolder, const QString& screenName);

// A page that holds a text: its file name and title. The text is looked for in the title and in what the page shows,
// not in its markup, ignoring letter case.
struct HelpHit {
    QString page;
    QString title;
};
QList<HelpHit> SearchHelp(const QString& helpFolder, const QString& text);

// A plain window that shows the HTML help pages, with a search over all of them; what the help key opens.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QString helpFolder, QWidget* parent = nullptr);
    void showIndex();
    // Shows one page (a file name in the help folder, with "#anchor" at that section) and brings the window up.
    void showPage(const QString& page);

private:
    void search();

    QString folder_;
    QLineEdit* searchBox_;
    QListWidget* hits_;
    QTextBrowser* browser_;
};

// The help folder: help/ beside the executable, else <prefix>/share/quelm/help of an installed program, else the
// one in the source tree.
QString DefaultHelpFolder();

} // namespace quelm::platform
