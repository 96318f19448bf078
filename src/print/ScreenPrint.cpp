#include "print/ScreenPrint.h"

#include "platform/PrinterSurface.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace quelm::print {

using platform::Buttons;
using platform::Icon;
using platform::PageOrientation;

namespace {

// Window systems whose display can be read back, frame and title bar included.
bool DisplayCanBeGrabbed() {
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("xcb") || name == QLatin1String("windows") || name == QLatin1String("cocoa");
}

// Lets the window system show what was just painted before the display is read.
void Show(QWidget& screen) {
    screen.repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

QString NewPdfPath(const QString& folder, const QString& name) {
    const QString stem = folder + QLatin1Char('/') + name + QLatin1Char('_') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = stem + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral("_%1.pdf").arg(n);
    return path;
}

void OfferPdf(platform::Ui& ui, const QString& file, const QString& what, const QString& title, QWidget* owner) {
    const QString text =
        what + QLatin1Char('\n') + QDir::toNativeSeparators(file) + QStringLiteral("\n\nこのファイルを開きますか？");
    if (ui.message(text, Icon::Information, Buttons::YesNo, title, owner) != platform::Answer::Yes)
        return;
    if (!ui.openDocument(file))
        ui.message(QStringLiteral("ＰＤＦファイルを開けませんでした。\n") + QDir::toNativeSeparators(file),
                   Icon::Exclamation, Buttons::Ok, title, owner);
}

QString ScreenPrintStatusText(ScreenPrintArea area) {
    switch (area) {
    case ScreenPrintArea::UserData:
        return QStringLiteral("画面印刷中　UserData");
    case ScreenPrintArea::EntireScreen:
        return QStringLiteral("画面印刷中　EntireScreen");
    case ScreenPrintArea::ActiveWindow:
        break;
    }
    return QStringLiteral("画面印刷中　ActiveWindow");
}

QImage GrabFormImage(QWidget& screen) {
    QWidget* window = screen.window();
    if (window->isVisible() && DisplayCanBeGrabbed()) {
        if (QScreen* display = window->screen()) {
            const QRect frame = window->frameGeometry().translated(-display->geometry().topLeft());
            const QPixmap shot = display->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
            if (!shot.isNull())
                return shot.toImage();
        }
    }
    return window->grab().toImage();
}

QImage GrabClientImage(QWidget& screen) {
    // The menu bar is a child widget here, but it is not part of the client area.
    QRect area = screen.rect();
    for (const QMenuBar* bar : screen.findChildren<QMenuBar*>(Qt::FindDirectChildrenOnly)) {
        if (!bar->isHidden() && bar->geometry().top() <= area.top())
            area.setTop(bar->geometry().bottom() + 1);
    }
    return screen.grab(area).toImage();
}

QImage GrabScreenImage(QWidget* on) {
    QScreen* display = on ? on->screen() : QGuiApplication::primaryScreen();
    if (!display)
        return {};
    return display->grabWindow(0).toImage();
}

bool PrintImageFitted(platform::PrinterSurface& printer, const QImage& image) {
    if (image.isNull())
        return false;
    printer.setOrientation(image.height() < image.width() ? PageOrientation::Landscape : PageOrientation::Portrait);
    const double r = static_cast<double>(image.width()) / image.height();
    const QSizeF page = printer.printableSize();
    if (page.width() <= 0 || page.height() <= 0)
        return false;
    const QSizeF size = r >= page.width() / page.height() ? QSizeF(page.width(), page.width() / r)
                                                          : QSizeF(page.height() * r, page.height());
    printer.drawPicture(image, QRectF(QPointF(0, 0), size));
    return true;
}

bool PrintScreen(QWidget& screen, platform::StatusPanels* status, ScreenPrintArea area,
                 platform::PrinterSurface& printer) {
    if (status) {
        status->setPanelText(3, ScreenPrintStatusText(area));
        Show(screen);
    }
    QImage picture;
    switch (area) {
    case ScreenPrintArea::ActiveWindow:
        picture = GrabFormImage(screen);
        break;
    case ScreenPrintArea::UserData:
        picture = GrabClientImage(screen);
        break;
    case ScreenPrintArea::EntireScreen:
        picture = GrabScreenImage(&screen);
        break;
    }
    // An empty grab (a display that cannot be read back) prints nothing: that is a failure, not a blank success.
    const bool drawn = PrintImageFitted(printer, picture);
    const bool ok = printer.endDoc() && drawn;
    picture = QImage();
    if (status)
        status->setPanelText(3, QString());
    screen.repaint();
    return ok;
}

void PrintScreen(QWidget& screen, platform::StatusPanels* status, ScreenPrintArea area, platform::Ui& ui,
                 const QString& dataFolder) {
    platform::PrinterSurface* printer = ui.printer(NewPdfPath(dataFolder, QStringLiteral("画面印刷")));
    const bool ok = printer && PrintScreen(screen, status, area, *printer);
    if (!ok) {
        ui.message(QStringLiteral("画面印刷ができませんでした。"), Icon::Exclamation, Buttons::Ok,
                   QStringLiteral("ERROR"), &screen);
        return;
    }
    const QString file = printer->outputFile();
    if (!file.isEmpty())
        OfferPdf(ui, file, QStringLiteral("プリンターが見つからないため、画面印刷をＰＤＦファイルに出力しました。"),
                 QStringLiteral("画面印刷"), &screen);
}

} // namespace quelm::print
