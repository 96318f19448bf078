#pragma once

#include "platform/Ui.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace quelm::platform {

class HelpViewer;
class QtPrinterSurface;

// The Ui of the running program: Qt's message boxes and its own (non-native) file dialogs.
class QtUi : public QObject, public Ui {
public:
    explicit QtUi(QString helpFolder);
    ~QtUi() override;

    Answer message(const QString& text, Icon icon, Buttons buttons, const QString& title, QWidget* owner) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& initial,
                                    QWidget* owner) override;
    std::optional<QString> chooseFolder(const QString& title, QWidget* owner) override;
    std::optional<QString> chooseOpenFile(const QString& title, const QString& filter, QWidget* owner) override;
    std::optional<QString> chooseSaveFile(const QString& title, const QString& filter, const QString& defaultSuffix,
                                          QWidget* owner) override;
    std::optional<QColor> chooseColor(const QColor& initial, QWidget* owner) override;
    PrinterSurface* printer(const QString& pdfFallback) override;
    int runModal(QDialog& dialog) override;
    void showModeless(QWidget& window) override;
    void showHelp(QWidget* owner) override;
    void endProgram() override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial, QWidget* owner) override;
    PrintResult previewAndPrint(const PrintJob& job, QWidget* owner) override;
    bool openDocument(const QString& path) override;

    // The help key: F1 anywhere in the program opens the help, as every screen's help button does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString helpFolder_;
    QPointer<HelpViewer> help_;
    std::unique_ptr<QtPrinterSurface> printer_;
};

} // namespace quelm::platform
