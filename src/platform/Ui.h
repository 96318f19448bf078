#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace quelm::platform {

class PrinterSurface;

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// A font as the font dialog shows and returns it.
struct FontChoice {
    QString name;
    double size = 10; // points
    bool bold = false;
    bool italic = false;
};

// A document shown in the print preview before it goes to the printer. render draws the whole document on the
// surface it gets (setting paper, orientation and font first) and ends it; it returns false when the output failed.
// It runs for the preview pages and again for the printer or the PDF file.
struct PrintJob {
    std::function<bool(PrinterSurface&)> render;
    QString pdfFallback; // where the document goes when the system has no printer
};
enum class PrintOutcome { Cancelled, Printed, Failed };
struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Cancelled;
    QString error; // the printer's reason, when it failed
    QString file;  // the PDF written, when the document went to a file
};

// The window of a long operation that runs on the user-interface thread: it shows how far the work is, and each
// report lets the program's windows repaint, so nothing looks frozen. It closes when the object goes.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    // done of total steps; total 0 shows a busy bar.
    virtual void report(std::int64_t done, std::int64_t total) = 0;
    // A second line under the text, what the numbers stand for ("12.0 MB / 300.0 MB"); none unless set.
    virtual void setDetail(const QString& detail) { (void)detail; }
    // Whether the user pressed 中止 (only a window opened by showCancellableProgress has it); the work then stops at
    // its next report and undoes itself.
    virtual bool cancelled() const { return false; }
};

// Everything that asks the user something or leaves the program. Screens never call Qt's dialogs directly,
// so tests can script the answers and read back every message.
class Ui {
public:
    virtual ~Ui() = default;

    virtual Answer message(const QString& text, Icon icon, Buttons buttons, const QString& title,
                           QWidget* owner = nullptr) = 0;
    // Text typed into an input box; nullopt when cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& initial,
                                            QWidget* owner = nullptr) = 0;
    // Folder browser; nullopt when cancelled.
    virtual std::optional<QString> chooseFolder(const QString& title, QWidget* owner) = 0;
    // File dialogs; filter in Qt form ("ＣＳＶファイル(*.CSV) (*.CSV)"); nullopt when cancelled.
    virtual std::optional<QString> chooseOpenFile(const QString& title, const QString& filter, QWidget* owner) = 0;
    virtual std::optional<QString> chooseSaveFile(const QString& title, const QString& filter,
                                                  const QString& defaultSuffix, QWidget* owner) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial, QWidget* owner) = 0;

    // The program's printer: the system's default printer, kept for the whole run so that paper, orientation and
    // font stay set between printouts; when the system has no printer at all, a PDF file at pdfFallback (the
    // surface's outputFile() says so). nullptr when neither can be had.
    virtual PrinterSurface* printer(const QString& pdfFallback) = 0;

    // Runs a screen modally and returns its result code.
    virtual int runModal(QDialog& dialog) = 0;
    // Shows a screen without blocking (the record screens owned by the main window).
    virtual void showModeless(QWidget& window) = 0;

    // The help key: opens the help pages.
    virtual void showHelp(QWidget* owner = nullptr) = 0;
    // Ends the program at once. Callers return right after calling it.
    virtual void endProgram() = 0;

    // A progress window with a text and a title over owner, which it keeps from input while it is open; it has no
    // cancel button: what it shows runs to its end (platform/ProgressWindow).
    virtual std::unique_ptr<ProgressWindow> showProgress(const QString& text, const QString& title, QWidget* owner);
    // The same with a 中止 button, for work that can be undone whole (a backup's copy).
    virtual std::unique_ptr<ProgressWindow> showCancellableProgress(const QString& text, const QString& title,
                                                                    QWidget* owner);

    // ---- outside programs (the CDDB import's player)
    // Starts a program and waits for its end while this program's windows stay painted (platform/OutsideProgram).
    // False when it could not be started.
    virtual bool runProgramAndWait(const QString& program, const QStringList& arguments, const QString& workingFolder);
    // Printing of the record-list reports.
    // The font dialog, preset with initial; nullopt when cancelled.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial, QWidget* owner) = 0;
    // Shows the document in the print preview, from where the user prints it or saves it as a PDF file; with no
    // printer in the system the preview still works and printing writes the PDF file.
    virtual PrintResult previewAndPrint(const PrintJob& job, QWidget* owner) = 0;
    // Opens a document (a PDF the program wrote) in the desktop's viewer; false when none could open it.
    virtual bool openDocument(const QString& path) = 0;
};

// For one long statement whose length nobody knows beforehand (the compaction of the catalogue): a busy progress window
// that opens at the first call of the returned function only, so that quick work shows nothing, and closes when the
// last copy of the function goes.
std::function<void()> BusyTicker(Ui& ui, const QString& text, const QString& title, QWidget* owner = nullptr);

// Shows an engine error the way every screen does: its message in a box titled "Error".
void ShowEngineError(Ui& ui, const QString& engineMessage, QWidget* owner = nullptr);

} // namespace quelm::platform
