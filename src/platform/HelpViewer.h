#pragma once

#include <QWidget>

class QTextBrowser;

namespace quelm::platform {

// A plain window that shows the HTML help pages; what the help key opens.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QString helpFolder, QWidget* parent = nullptr);
    void showIndex();

private:
    QString folder_;
    QTextBrowser* browser_;
};

// The help folder: help/ beside the executable, else <prefix>/share/quelm/help of an installed program, else the
// one in the source tree.
QString DefaultHelpFolder();

} // namespace quelm::platform
