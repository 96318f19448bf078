#pragma once

#include "platform/PrinterSurface.h"
#include "platform/Ui.h"

#include <QList>
#include <deque>

namespace quelm::platform {

// The Ui of the tests: answers come from a script prepared by the test, and every message is recorded.
class ScriptedUi : public Ui {
public:
    struct Message {
        QString text;
        Icon icon;
        Buttons buttons;
        QString title;
    };

    // Answers handed out in order; when the script runs dry, messages get Ok (or Yes) and choosers cancel.
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> inputs;
    std::deque<std::optional<QString>> folders;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<QColor>> colors;
    // Drivers of modal screens, taken in order: each gets the dialog and plays the user's part in it.
    std::deque<std::function<void(QDialog&)>> modalDrivers;

    QList<Message> messages;
    // The printer handed out, recording what is drawn; with hasPrinter false there is none at all.
    RecordingSurface printerSurface;
    bool hasPrinter = true;
    QList<QString> printerFallbacks; // the PDF paths offered with each request

    QList<QString> modalScreens; // object names (class names when unnamed) of the screens run modally
    QList<QString> modelessScreens;
    int helpShown = 0;
    QStringList helpScreens; // the screen each help request came from
    bool ended = false;

    Answer message(const QString& text, Icon icon, Buttons buttons, const QString& title, QWidget* owner) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& initial,
                                    QWidget* owner) override;
    std::optional<QString> chooseFolder(const QString& title, QWidget* owner) override;
    std::optional<QString> chooseOpenFile(const QString& title, const QString& filter, QWidget* owner) override;
    std::optional<QString> chooseSaveFile(const QString& title, const QString& filter, const QString& defaultSuffix,
                                          QWidget* owner) override;
    std::optional<QColor> chooseColor(const QColor& initial, QWidget* owner) override;
    PrinterSurface* printer(const QString& pdfFallback) override;
    bool openDocument(const QString& path) override;
    int runModal(QDialog& dialog) override;
    void showModeless(QWidget& window) override;
    void showHelp(QWidget* owner) override;
    void endProgram() override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial, QWidget* owner) override;
    PrintResult previewAndPrint(const PrintJob& job, QWidget* owner) override;

    // Fonts chosen in the font dialog, in order (nullopt: cancelled), and the presets it was opened with.
    std::deque<std::optional<FontChoice>> fonts;
    QList<FontChoice> fontPresets;
    // The preview: each run takes one answer (Ok prints on printerSurface, Cancel closes it); Ok when none is left.
    std::deque<Answer> previewAnswers;
    int previewsShown = 0;
    QStringList openedDocuments; // the documents openDocument was asked to show

    // Progress windows: the text and title of each one opened, every report (done, total) of all of them in order,
    // and how many are open now.
    struct ProgressShown {
        QString text;
        QString title;
    };
    QList<ProgressShown> progressWindows;
    QList<std::pair<std::int64_t, std::int64_t>> progressReports;
    QStringList progressDetails; // every detail line set, in order
    int progressOpen = 0;
    // The user presses 中止 once this many reports have been made in all (windows opened with the button only).
    std::optional<qsizetype> cancelProgressAtReport;
    int cancellableProgressWindows = 0;
    std::unique_ptr<ProgressWindow> showProgress(const QString& text, const QString& title, QWidget* owner) override;
    std::unique_ptr<ProgressWindow> showCancellableProgress(const QString& text, const QString& title,
                                                            QWidget* owner) override;

    // Prompts and titles of the input boxes asked, newest last.
    QList<QString> inputPrompts;
    QList<QString> inputTitles;
    // Titles and texts asked of the choosers, newest last.
    QList<QString> chooserTitles;
    QList<QString> chooserFilters;
};

} // namespace quelm::platform
