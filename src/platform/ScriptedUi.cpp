#include "platform/ScriptedUi.h"

#include "platform/HelpViewer.h"

#include <QDialog>

namespace quelm::platform {

namespace {

template <typename T> T Take(std::deque<T>& queue, const T& fallback) {
    if (queue.empty())
        return fallback;
    // Popped after the copy is returned (a local copy trips a false uninitialised warning of g++ 12).
    struct PopFront {
        std::deque<T>& q;
        ~PopFront() { q.pop_front(); }
    } pop{queue};
    return queue.front();
}

} // namespace

namespace {

// Records into its Ui; the window must not outlive it.
class RecordedProgress : public ProgressWindow {
public:
    RecordedProgress(ScriptedUi& ui, bool cancellable) : ui_(ui), cancellable_(cancellable) { ++ui_.progressOpen; }
    ~RecordedProgress() override { --ui_.progressOpen; }
    void report(std::int64_t done, std::int64_t total) override { ui_.progressReports.append({done, total}); }
    void setDetail(const QString& detail) override { ui_.progressDetails.append(detail); }
    bool cancelled() const override {
        return cancellable_ && ui_.cancelProgressAtReport && ui_.progressReports.size() >= *ui_.cancelProgressAtReport;
    }

private:
    ScriptedUi& ui_;
    bool cancellable_;
};

} // namespace

std::unique_ptr<ProgressWindow> ScriptedUi::showProgress(const QString& text, const QString& title, QWidget*) {
    progressWindows.append({text, title});
    return std::make_unique<RecordedProgress>(*this, false);
}

std::unique_ptr<ProgressWindow> ScriptedUi::showCancellableProgress(const QString& text, const QString& title,
                                                                    QWidget*) {
    progressWindows.append({text, title});
    ++cancellableProgressWindows;
    return std::make_unique<RecordedProgress>(*this, true);
}

Answer ScriptedUi::message(const QString& text, Icon icon, Buttons buttons, const QString& title, QWidget*) {
    messages.append({text, icon, buttons, title});
    const Answer fallback = (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) ? Answer::Yes : Answer::Ok;
    return Take(answers, fallback);
}

std::optional<QString> ScriptedUi::inputBox(const QString& prompt, const QString& title, const QString&, QWidget*) {
    inputPrompts << prompt;
    inputTitles << title;
    return Take(inputs, std::optional<QString>());
}

std::optional<QString> ScriptedUi::chooseFolder(const QString& title, QWidget*) {
    chooserTitles << title;
    chooserFilters << QString();
    return Take(folders, std::optional<QString>());
}

std::optional<QString> ScriptedUi::chooseOpenFile(const QString& title, const QString& filter, QWidget*) {
    chooserTitles << title;
    chooserFilters << filter;
    return Take(files, std::optional<QString>());
}

std::optional<QString> ScriptedUi::chooseSaveFile(const QString& title, const QString& filter, const QString&,
                                                  QWidget*) {
    chooserTitles << title;
    chooserFilters << filter;
    return Take(files, std::optional<QString>());
}

std::optional<QColor> ScriptedUi::chooseColor(const QColor&, QWidget*) {
    return Take(colors, std::optional<QColor>());
}

PrinterSurface* ScriptedUi::printer(const QString& pdfFallback) {
    printerFallbacks << pdfFallback;
    return hasPrinter ? &printerSurface : nullptr;
}

int ScriptedUi::runModal(QDialog& dialog) {
    modalScreens << ScreenName(dialog);
    auto driver = Take(modalDrivers, std::function<void(QDialog&)>());
    if (driver)
        driver(dialog);
    return dialog.result();
}

void ScriptedUi::showModeless(QWidget& window) {
    modelessScreens << ScreenName(window);
    window.show();
}

void ScriptedUi::showHelp(QWidget* owner) {
    ++helpShown;
    helpScreens << (owner ? ScreenName(*owner->window()) : QString());
}

void ScriptedUi::endProgram() {
    ended = true;
}

std::optional<FontChoice> ScriptedUi::chooseFont(const FontChoice& initial, QWidget*) {
    fontPresets << initial;
    return Take(fonts, std::optional<FontChoice>());
}

bool ScriptedUi::openDocument(const QString& path) {
    openedDocuments << path;
    return true;
}

PrintResult ScriptedUi::previewAndPrint(const PrintJob& job, QWidget*) {
    ++previewsShown;
    if (Take(previewAnswers, Answer::Ok) != Answer::Ok)
        return {};
    if (!hasPrinter)
        return {PrintOutcome::Failed, QStringLiteral("プリンターがありません。"), {}};
    if (!job.render(printerSurface))
        return {PrintOutcome::Failed, printerSurface.lastError(), {}};
    return {PrintOutcome::Printed, {}, printerSurface.outputFile()};
}

} // namespace quelm::platform
