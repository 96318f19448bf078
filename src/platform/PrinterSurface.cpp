#include "platform/PrinterSurface.h"

#include "platform/CodePage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <utility>

namespace quelm::platform {

namespace {

constexpr double MmPerInch = 25.4;
constexpr double MmPerPoint = MmPerInch / 72.0;

} // namespace

QPageSize PageSizeOfPaper(int code) {
    switch (code) {
    case PaperA5:
        return QPageSize(QPageSize::A5);
    case PaperB5:
        return QPageSize(QPageSize::JisB5);
    default:
        return QPageSize(QPageSize::A4);
    }
}

void PrinterSurface::print(const QString& text, bool endLine) {
    if (!text.isEmpty())
        drawText(x_, y_, text);
    if (endLine) {
        x_ = 0;
        y_ += textHeight();
    } else {
        x_ += textWidth(text);
    }
}

// ---------------------------------------------------------------- QtPrinterSurface

QtPrinterSurface::QtPrinterSurface(std::unique_ptr<QPrinter> printer) : QtPrinterSurface(*printer) {
    owned_ = std::move(printer);
}

QtPrinterSurface::QtPrinterSurface(QPrinter& borrowed) : printer_(&borrowed) {
    const QPageSize::PageSizeId id = printer_->pageLayout().pageSize().id();
    paper_ = id == QPageSize::A5 ? PaperA5 : id == QPageSize::JisB5 ? PaperB5 : PaperA4;
}

QtPrinterSurface::~QtPrinterSurface() {
    // A document nobody ended is still sent rather than lost.
    if (painter_ && painter_->isActive())
        painter_->end();
}

std::unique_ptr<QtPrinterSurface> QtPrinterSurface::defaultPrinter() {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
        if (all.isEmpty())
            return nullptr;
        info = all.first();
    }
    return std::make_unique<QtPrinterSurface>(std::make_unique<QPrinter>(info, QPrinter::HighResolution));
}

std::unique_ptr<QtPrinterSurface> QtPrinterSurface::pdf(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(QPageSize(QPageSize::A4));
    return std::make_unique<QtPrinterSurface>(std::move(printer));
}

bool QtPrinterSurface::setPaper(int code) {
    if (!printer_->setPageSize(PageSizeOfPaper(code)))
        return false;
    paper_ = code;
    return true;
}

bool QtPrinterSurface::setOrientation(PageOrientation orientation) {
    return printer_->setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                                  : QPageLayout::Portrait);
}

PageOrientation QtPrinterSurface::orientation() const {
    return printer_->pageLayout().orientation() == QPageLayout::Landscape ? PageOrientation::Landscape
                                                                          : PageOrientation::Portrait;
}

QSizeF QtPrinterSurface::printableSize() const {
    return printer_->pageLayout().paintRect(QPageLayout::Millimeter).size();
}

double QtPrinterSurface::toDevice(double mm) const {
    return mm * printer_->resolution() / MmPerInch;
}

QFont QtPrinterSurface::currentFont() const {
    QFont font;
    if (!fontName().isEmpty())
        font.setFamily(fontName());
    font.setPointSizeF(fontSize());
    font.setBold(fontBold());
    font.setItalic(fontItalic());
    return font;
}

double QtPrinterSurface::textWidth(const QString& text) const {
    return QFontMetricsF(currentFont(), printer_).horizontalAdvance(text) * MmPerInch / printer_->resolution();
}

double QtPrinterSurface::textHeight() const {
    return QFontMetricsF(currentFont(), printer_).height() * MmPerInch / printer_->resolution();
}

QPainter* QtPrinterSurface::painter() {
    if (failed_)
        return nullptr;
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer_)) {
            failed_ = true;
            error_ = QStringLiteral("プリンターを開始できませんでした。");
            painter_.reset();
            return nullptr;
        }
        painter_->setRenderHint(QPainter::SmoothPixmapTransform);
    }
    return painter_.get();
}

void QtPrinterSurface::applyPen() {
    // Pen widths count the pixels of a 600 dpi printer, so a ruled line is as thick on every device and in the
    // preview.
    QPen pen(Qt::black);
    pen.setWidthF(penWidth() * printer_->resolution() / 600.0);
    pen.setStyle(penStyle() == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
    painter_->setPen(pen);
    painter_->setBrush(Qt::NoBrush);
}

void QtPrinterSurface::drawText(double x, double y, const QString& text) {
    QPainter* p = painter();
    if (!p)
        return;
    const QFont font = currentFont();
    p->setFont(font);
    p->setPen(Qt::black);
    p->drawText(QPointF(toDevice(x), toDevice(y) + QFontMetricsF(font, printer_).ascent()), text);
}

void QtPrinterSurface::line(double x1, double y1, double x2, double y2) {
    if (!painter())
        return;
    applyPen();
    painter_->drawLine(QLineF(toDevice(x1), toDevice(y1), toDevice(x2), toDevice(y2)));
}

void QtPrinterSurface::rectangle(double x1, double y1, double x2, double y2) {
    if (!painter())
        return;
    applyPen();
    painter_->drawRect(QRectF(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2))).normalized());
}

void QtPrinterSurface::drawPicture(const QImage& picture, const QRectF& mm) {
    if (!painter())
        return;
    painter_->drawImage(QRectF(toDevice(mm.x()), toDevice(mm.y()), toDevice(mm.width()), toDevice(mm.height())),
                        picture);
}

void QtPrinterSurface::newPage() {
    if (painter())
        printer_->newPage();
    setCurrentX(0);
    setCurrentY(0);
}

bool QtPrinterSurface::endDoc() {
    // The document ends here whatever happened, so the next one starts afresh: a printer that was offline once is
    // tried again next time.
    const bool failed = std::exchange(failed_, false);
    setCurrentX(0);
    setCurrentY(0);
    if (failed)
        return false;
    error_.clear();
    if (!painter_)
        return true; // nothing was printed, so nothing is sent
    const bool ok = painter_->end();
    painter_.reset();
    if (!ok)
        error_ = QStringLiteral("プリンターへの出力に失敗しました。");
    return ok;
}

void QtPrinterSurface::abortDoc() {
    if (painter_ && painter_->isActive()) {
        printer_->abort();
        painter_->end();
    }
    painter_.reset();
    failed_ = false;
    setCurrentX(0);
    setCurrentY(0);
}

QString QtPrinterSurface::outputFile() const {
    return printer_->outputFormat() == QPrinter::PdfFormat ? printer_->outputFileName() : QString();
}

// ---------------------------------------------------------------- RecordingSurface

RecordingSurface::RecordingSurface(const QMarginsF& margins) : margins_(margins) {}

bool RecordingSurface::setPaper(int code) {
    if (refusePageSetup)
        return false;
    paper_ = code;
    return true;
}

bool RecordingSurface::setOrientation(PageOrientation orientation) {
    if (refusePageSetup)
        return false;
    orientation_ = orientation;
    return true;
}

QSizeF RecordingSurface::printableSize() const {
    QSizeF paper = PageSizeOfPaper(paper_).size(QPageSize::Millimeter);
    if (orientation_ == PageOrientation::Landscape)
        paper.transpose();
    return {paper.width() - margins_.left() - margins_.right(), paper.height() - margins_.top() - margins_.bottom()};
}

double RecordingSurface::textWidth(const QString& text) const {
    return LenMbcs(text) * fontSize() * MmPerPoint / 2;
}

double RecordingSurface::textHeight() const {
    return fontSize() * MmPerPoint;
}

RecordingSurface::Call RecordingSurface::make(const QString& op) const {
    Call c;
    c.op = op;
    c.fontSize = fontSize();
    c.bold = fontBold();
    c.italic = fontItalic();
    c.penWidth = penWidth();
    c.penStyle = penStyle();
    c.orientation = orientation_;
    return c;
}

void RecordingSurface::drawText(double x, double y, const QString& text) {
    Call c = make(QStringLiteral("text"));
    c.mm = QRectF(x, y, textWidth(text), textHeight());
    c.text = text;
    calls << c;
}

void RecordingSurface::line(double x1, double y1, double x2, double y2) {
    Call c = make(QStringLiteral("line"));
    c.mm = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    calls << c;
}

void RecordingSurface::rectangle(double x1, double y1, double x2, double y2) {
    Call c = make(QStringLiteral("rectangle"));
    c.mm = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    calls << c;
}

void RecordingSurface::drawPicture(const QImage& picture, const QRectF& mm) {
    Call c = make(QStringLiteral("picture"));
    c.mm = mm;
    c.pictureSize = picture.size();
    calls << c;
}

void RecordingSurface::newPage() {
    calls << make(QStringLiteral("newPage"));
    setCurrentX(0);
    setCurrentY(0);
}

void RecordingSurface::abortDoc() {
    calls << make(QStringLiteral("abortDoc"));
    setCurrentX(0);
    setCurrentY(0);
}

bool RecordingSurface::endDoc() {
    calls << make(QStringLiteral("endDoc"));
    setCurrentX(0);
    setCurrentY(0);
    return !failEndDoc;
}

} // namespace quelm::platform
