#include "platform/QtUi.h"

#include "platform/Accessibility.h"
#include "platform/HelpViewer.h"
#include "platform/PrinterSurface.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolBar>
#include <QUrl>

namespace quelm::platform {

namespace {

QMessageBox::Icon ToQt(Icon icon) {
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(Buttons buttons) {
    switch (buttons) {
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

void ShowEngineError(Ui& ui, const QString& engineMessage, QWidget* owner) {
    ui.message(engineMessage, Icon::Critical, Buttons::Ok, QStringLiteral("Error"), owner);
}

QtUi::QtUi(QString helpFolder) : helpFolder_(std::move(helpFolder)) {
    qApp->installEventFilter(this);
}

bool QtUi::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
        NameControlsForAccessibility(static_cast<QWidget*>(watched));
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        watched->isWidgetType()) {
        showHelp(static_cast<QWidget*>(watched)->window());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QtUi::~QtUi() {
    delete help_;
}

Answer QtUi::message(const QString& text, Icon icon, Buttons buttons, const QString& title, QWidget* owner) {
    QMessageBox box(ToQt(icon), title, text, ToQt(buttons), owner);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        break;
    }
    // Closing the box counts as its "no" answer.
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<QString> QtUi::inputBox(const QString& prompt, const QString& title, const QString& initial,
                                      QWidget* owner) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtUi::chooseFolder(const QString& title, QWidget* owner) {
    QFileDialog dialog(owner, title, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtUi::chooseOpenFile(const QString& title, const QString& filter, QWidget* owner) {
    QFileDialog dialog(owner, title, QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtUi::chooseSaveFile(const QString& title, const QString& filter, const QString& defaultSuffix,
                                            QWidget* owner) {
    QFileDialog dialog(owner, title, QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog adds the extension itself, so its overwrite question is asked for the final name.
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QColor> QtUi::chooseColor(const QColor& initial, QWidget* owner) {
    const QColor c = QColorDialog::getColor(initial, owner, QString(), QColorDialog::DontUseNativeDialog);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

PrinterSurface* QtUi::printer(const QString& pdfFallback) {
    // A printer once found is kept; a PDF stands in only until one is installed, each time under the new name but
    // keeping the paper, orientation and font set on it, as a printer would.
    if (printer_ && printer_->outputFile().isEmpty())
        return printer_.get();
    if (auto installed = QtPrinterSurface::defaultPrinter()) {
        printer_ = std::move(installed);
        return printer_.get();
    }
    if (printer_)
        printer_->qprinter().setOutputFileName(pdfFallback);
    else
        printer_ = QtPrinterSurface::pdf(pdfFallback);
    return printer_.get();
}

int QtUi::runModal(QDialog& dialog) {
    return dialog.exec();
}

void QtUi::showModeless(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

void QtUi::showHelp(QWidget* owner) {
    // A window of its own is blocked while a modal screen runs; a child window of that screen is not.
    QWidget* modal = QApplication::activeModalWidget();
    if (help_ && help_->parentWidget() != modal)
        delete help_;
    if (!help_)
        help_ = new HelpViewer(helpFolder_, modal);
    help_->showPage(owner ? HelpPageFor(helpFolder_, ScreenName(*owner->window())) : QStringLiteral("index.html"));
}

void QtUi::endProgram() {
    // Every write is committed before a handler returns, so leaving the event loops at once loses nothing.
    // Before the loop runs (start-up), the caller's return ends the program.
    QCoreApplication::exit(0);
}

} // namespace quelm::platform

namespace quelm::platform {

std::optional<FontChoice> QtUi::chooseFont(const FontChoice& initial, QWidget* owner) {
    QFont preset(initial.name);
    preset.setPointSizeF(initial.size > 0 ? initial.size : 10);
    preset.setBold(initial.bold);
    preset.setItalic(initial.italic);
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, preset, owner, QString(),
                                            QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
    if (!ok)
        return std::nullopt;
    return FontChoice{font.family(), font.pointSizeF(), font.bold(), font.italic()};
}

namespace {

// Renders the document into a PDF file under a temporary name and puts it in place only when it is complete, so a
// failure never leaves a half-written file where the user expects the document.
bool RenderPdf(const PrintJob& job, const QPrinter& like, const QString& path, QString& error) {
    const QString part = path + QStringLiteral(".part");
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(part);
        pdf.setPageLayout(like.pageLayout());
        QtPrinterSurface surface(pdf);
        if (!job.render(surface)) {
            error = surface.lastError();
            QFile::remove(part);
            return false;
        }
    }
    QFile::remove(path);
    if (!QFile::rename(part, path)) {
        error = QStringLiteral("ＰＤＦファイルを書き込めませんでした。");
        QFile::remove(part);
        return false;
    }
    return true;
}

} // namespace

bool QtUi::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

PrintResult QtUi::previewAndPrint(const PrintJob& job, QWidget* owner) {
    auto* surface = dynamic_cast<QtPrinterSurface*>(printer(job.pdfFallback));
    if (!surface)
        return {PrintOutcome::Failed, QStringLiteral("プリンターが見つかりません。"), {}};
    QPrinter& device = surface->qprinter();
    bool ok = true;
    QString error;
    QString savedPdf;
    QPrintPreviewDialog dialog(&device, owner);
    dialog.setWindowTitle(QStringLiteral("印刷プレビュー"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        QtPrinterSurface on(*target);
        ok = job.render(on);
        error = on.lastError();
    });
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        QAction* save = bar->addAction(QStringLiteral("PDFに保存"));
        QObject::connect(save, &QAction::triggered, &dialog, [&] {
            const auto path = chooseSaveFile(QStringLiteral("PDFに保存"), QStringLiteral("PDFファイル (*.pdf)"),
                                             QStringLiteral("pdf"), &dialog);
            if (!path)
                return;
            ok = RenderPdf(job, device, *path, error);
            savedPdf = *path;
            dialog.accept();
        });
    }
    dialog.resize(900, 800);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    if (!ok)
        return {
            PrintOutcome::Failed, error.isEmpty() ? QStringLiteral("プリンターへの出力に失敗しました。") : error, {}};
    return {PrintOutcome::Printed, {}, savedPdf.isEmpty() ? surface->outputFile() : savedPdf};
}

} // namespace quelm::platform
