#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace quelm::platform {
class PrinterSurface;
class StatusPanels;
class Ui;
} // namespace quelm::platform

namespace quelm::print {

enum class ScreenPrintArea { ActiveWindow, UserData, EntireScreen };

// A PDF file name in folder not used yet: name, the date and time, and a number when needed.
QString NewPdfPath(const QString& folder, const QString& name);

// Tells the user that a printout went to a PDF file (what happened, then where) and opens the file when asked to.
void OfferPdf(platform::Ui& ui, const QString& file, const QString& what, const QString& title, QWidget* owner);

// The status text shown in panel 3 while an area is printed ("画面印刷中　ActiveWindow" …).
QString ScreenPrintStatusText(ScreenPrintArea area);

// The window of a screen with its frame and title bar, taken from the display where the window system allows it,
// else the window as it draws itself.
QImage GrabFormImage(QWidget& screen);
// The client area of a screen: no title bar, frame or menu bar.
QImage GrabClientImage(QWidget& screen);
// The whole display that `on` is shown on; the primary display when none is given.
QImage GrabScreenImage(QWidget* on = nullptr);

// Prints an image on the current page: landscape when it is less high than wide, else portrait; as large as the
// printable width or height allows with its proportions kept, its top-left corner at the printable origin.
// Returns false when there was nothing to draw (an empty image or a page without printable area).
bool PrintImageFitted(platform::PrinterSurface& printer, const QImage& image);

// The screen print command on a given printer: the status text in panel 3 (when the screen has a status bar), a
// repaint so that the text is part of the picture, the grab, the page, the end of the document, the panel cleared.
// Returns false when the printer did not take the document.
bool PrintScreen(QWidget& screen, platform::StatusPanels* status, ScreenPrintArea area,
                 platform::PrinterSurface& printer);
// The same on the program's printer, asking nothing. With no printer installed the page goes to a PDF file in
// dataFolder and the user is told where it is; a failed printout is reported.
void PrintScreen(QWidget& screen, platform::StatusPanels* status, ScreenPrintArea area, platform::Ui& ui,
                 const QString& dataFolder);

} // namespace quelm::print
