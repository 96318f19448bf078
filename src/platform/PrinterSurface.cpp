#include "platform/PrinterSurface.h"

#include "platform/CodePage.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRawFont>
#include <utility>

namespace quelm::platform {

namespace {

constexpr double MmPerInch = 25.4;
constexpr double MmPerPoint = MmPerInch / 72.0;

// Glyphs that reach as high and as low as the texts of a report do: ideographs, kana and full-width forms (from
// whichever font draws them), Latin ascenders and descenders, digits and brackets.
const QString InkSample = QStringLiteral("国頁曲鬱あアＡＱ９AbdfhklgjpqyQ0123456789()[]|/");
// The ideographic em box of a Japanese font stands 0.88 em above the baseline and 0.12 em below it.
constexpr double EmBoxAscent = 0.88;
constexpr double EmBoxDescent = 0.12;
constexpr double ReferencePoints = 100;

// Supplementary radicals without a decomposition that Japanese fonts (Noto Sans CJK JP, IPAex Gothic) draw with
// the glyph of an ideograph: ⻑ is 長, ⻄ 西, ⻭ 歯 …
constexpr std::pair<uint, uint> SupplementLookAlikes[] = {
    {0x2E82, 0x4E5B}, {0x2E83, 0x4E5A}, {0x2E85, 0x4EBB}, {0x2E89, 0x5202}, {0x2E8E, 0x5140}, {0x2E8F, 0x5C23},
    {0x2E90, 0x5C22}, {0x2E92, 0x5DF3}, {0x2E93, 0x5E7A}, {0x2E94, 0x5F51}, {0x2E96, 0x5FC4}, {0x2E98, 0x624C},
    {0x2E99, 0x6535}, {0x2E9B, 0x65E1}, {0x2E9E, 0x6B7A}, {0x2EA0, 0x6C11}, {0x2EA1, 0x6C35}, {0x2EA3, 0x706C},
    {0x2EA6, 0x4E2C}, {0x2EA8, 0x72AD}, {0x2EAB, 0x7F52}, {0x2EAD, 0x793B}, {0x2EAF, 0x7CF9}, {0x2EB0, 0x7E9F},
    {0x2EB1, 0x7F53}, {0x2EB2, 0x7F52}, {0x2EB9, 0x8002}, {0x2EBA, 0x8080}, {0x2EBE, 0x8279}, {0x2EC1, 0x864E},
    {0x2EC2, 0x8864}, {0x2EC3, 0x8980}, {0x2EC4, 0x897F}, {0x2EC5, 0x89C1}, {0x2EC8, 0x8BA0}, {0x2EC9, 0x8D1D},
    {0x2ECB, 0x8F66}, {0x2ECD, 0x8FB6}, {0x2ECF, 0x961D}, {0x2ED0, 0x9485}, {0x2ED1, 0x9577}, {0x2ED2, 0x9578},
    {0x2ED3, 0x957F}, {0x2ED6, 0x961D}, {0x2ED8, 0x9752}, {0x2ED9, 0x97E6}, {0x2EDA, 0x9875}, {0x2EDB, 0x98CE},
    {0x2EDC, 0x98DE}, {0x2EDF, 0x98E0}, {0x2EE0, 0x9963}, {0x2EE2, 0x9A6C}, {0x2EE4, 0x9B3C}, {0x2EE5, 0x9C7C},
    {0x2EE6, 0x9E1F}, {0x2EE7, 0x5364}, {0x2EE8, 0x9EA6}, {0x2EE9, 0x9EC4}, {0x2EEA, 0x9EFE}, {0x2EEB, 0x6589},
    {0x2EEC, 0x9F50}, {0x2EED, 0x6B6F}, {0x2EEE, 0x9F7F}, {0x2EEF, 0x7ADC}, {0x2EF0, 0x9F99}, {0x2EF2, 0x4E80},
};

// The ideograph a radical stands for, or 0 when the code point is not a radical with one.
uint IdeographOfRadical(uint code) {
    if (code >= 0x2E80 && code <= 0x2EFF) {
        for (const auto& [radical, ideograph] : SupplementLookAlikes)
            if (radical == code)
                return ideograph;
    }
    const bool radical = (code >= 0x2E80 && code <= 0x2EFF) || (code >= 0x2F00 && code <= 0x2FDF);
    if (!radical || QChar::decompositionTag(code) != QChar::Compat)
        return 0;
    const QString to = QChar::decomposition(code);
    return to.size() == 1 ? to[0].unicode() : 0;
}

// Replaces a radical's "<XXXX>" at pos by its ideograph's; true when it did.
bool MendHexToken(QByteArray& data, qsizetype pos) {
    if (pos + 6 > data.size() || data[pos] != '<' || data[pos + 5] != '>')
        return false;
    bool ok = false;
    const uint code = data.mid(pos + 1, 4).toUInt(&ok, 16);
    const uint ideograph = ok ? IdeographOfRadical(code) : 0;
    if (!ideograph)
        return false;
    const QByteArray hex = QByteArray::number(ideograph, 16).toUpper().rightJustified(4, '0');
    data.replace(pos + 1, 4, hex);
    return true;
}

// Mends the targets of one "bfrange" line of a ToUnicode map: "<from> <to> <target>" for a single glyph or
// "<from> <to> [<target> …]". A run "<from> <to> <first target>" of several glyphs is left: its targets count up.
int MendRangeLine(QByteArray& data, qsizetype begin, qsizetype end) {
    QList<qsizetype> tokens;
    qsizetype bracket = -1;
    for (qsizetype i = begin; i < end; ++i) {
        if (data[i] == '<')
            tokens << i;
        else if (data[i] == '[' && bracket < 0)
            bracket = i;
    }
    int mended = 0;
    if (bracket >= 0) {
        for (qsizetype t : tokens)
            if (t > bracket)
                mended += MendHexToken(data, t);
    } else if (tokens.size() == 3 && data.mid(tokens[0], 6) == data.mid(tokens[1], 6)) {
        mended += MendHexToken(data, tokens[2]);
    }
    return mended;
}

} // namespace

bool MendPdfTextLayer(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray data = file.readAll();
    file.close();
    int mended = 0;
    for (qsizetype from = data.indexOf("beginbfrange"); from >= 0; from = data.indexOf("beginbfrange", from)) {
        const qsizetype stop = data.indexOf("endbfrange", from);
        if (stop < 0)
            break;
        qsizetype line = data.indexOf('\n', from) + 1;
        while (line > 0 && line < stop) {
            const qsizetype next = std::min(stop, data.indexOf('\n', line) < 0 ? stop : data.indexOf('\n', line));
            mended += MendRangeLine(data, line, next);
            line = next + 1;
        }
        from = stop;
    }
    if (mended == 0)
        return true;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(data) == data.size() && file.flush();
}

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

namespace {

// The paper's width and height in mm as it stands in the orientation.
QSizeF TurnedPaperSize(int code, PageOrientation orientation) {
    QSizeF paper = PageSizeOfPaper(code).size(QPageSize::Millimeter);
    if (orientation == PageOrientation::Landscape)
        paper.transpose();
    return paper;
}

} // namespace

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

// ---------------------------------------------------------------- PaintedSurface

double PaintedSurface::toDevice(double mm) const {
    return mm * dpi() / MmPerInch;
}

QFont PaintedSurface::currentFont() const {
    QFont font;
    if (!fontName().isEmpty())
        font.setFamily(fontName());
    font.setPointSizeF(fontSize());
    font.setBold(fontBold());
    font.setItalic(fontItalic());
    return font;
}

double PaintedSurface::textWidth(const QString& text) const {
    return QFontMetricsF(currentFont(), device()).horizontalAdvance(text) * MmPerInch / dpi();
}

double PaintedSurface::textHeight() const {
    return QFontMetricsF(currentFont(), device()).height() * MmPerInch / dpi();
}

PaintedSurface::Ink PaintedSurface::inkOf(const QFont& font) const {
    const QString key = font.key() + QLatin1Char('@') + QString::number(dpi());
    const auto found = inks_.constFind(key);
    if (found != inks_.cend())
        return *found;
    // A font's ascent and descent include the room its designers left for accents and line spacing (a Japanese
    // font's are far taller than its glyphs), so the ink is measured instead; any Japanese text fills the em box.
    // The outlines are measured at a large size, where hinting moves nothing, and scaled to the device.
    QFont reference(font);
    reference.setPointSizeF(ReferencePoints);
    QPainterPath outlines;
    outlines.addText(0, 0, reference, InkSample);
    const double referenceEm = QRawFont::fromFont(reference).pixelSize();
    const QRectF ink = outlines.boundingRect();
    const double em = font.pointSizeF() * dpi() / 72.0;
    const Ink result{std::max(-ink.top() / referenceEm, EmBoxAscent) * em,
                     std::max(ink.bottom() / referenceEm, EmBoxDescent) * em};
    inks_.insert(key, result);
    return result;
}

double PaintedSurface::inkHeight() const {
    const Ink ink = inkOf(currentFont());
    return (ink.ascent + ink.descent) * MmPerInch / dpi();
}

void PaintedSurface::applyPen(QPainter& painter) const {
    // Pen widths count the pixels of a 600 dpi printer, so a ruled line is as thick on every device and in the
    // preview.
    QPen pen(Qt::black);
    pen.setWidthF(penWidth() * dpi() / 600.0);
    pen.setStyle(penStyle() == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
}

void PaintedSurface::drawText(double x, double y, const QString& text) {
    QPainter* p = painter();
    if (!p)
        return;
    const QFont font = currentFont();
    p->setFont(font);
    p->setPen(Qt::black);
    // The top of the ink, not of the font's line, stands at y.
    p->drawText(QPointF(toDevice(x), toDevice(y) + inkOf(font).ascent), text);
}

void PaintedSurface::drawTurnedText(double x, double y, const QString& text) {
    QPainter* p = painter();
    if (!p)
        return;
    const QFont font = currentFont();
    p->save();
    p->setFont(font);
    p->setPen(Qt::black);
    p->translate(toDevice(x), toDevice(y));
    p->rotate(90); // clockwise on the page: the text runs down, the tops of its glyphs face right
    p->drawText(QPointF(0, inkOf(font).ascent), text);
    p->restore();
}

void PaintedSurface::line(double x1, double y1, double x2, double y2) {
    QPainter* p = painter();
    if (!p)
        return;
    applyPen(*p);
    p->drawLine(QLineF(toDevice(x1), toDevice(y1), toDevice(x2), toDevice(y2)));
}

void PaintedSurface::rectangle(double x1, double y1, double x2, double y2) {
    QPainter* p = painter();
    if (!p)
        return;
    applyPen(*p);
    p->drawRect(QRectF(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2))).normalized());
}

void PaintedSurface::drawPicture(const QImage& picture, const QRectF& mm) {
    QPainter* p = painter();
    if (!p)
        return;
    p->drawImage(QRectF(toDevice(mm.x()), toDevice(mm.y()), toDevice(mm.width()), toDevice(mm.height())), picture);
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

QPaintDevice* QtPrinterSurface::device() const {
    return printer_;
}

double QtPrinterSurface::dpi() const {
    return printer_->resolution();
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
    if (!ok) {
        error_ = QStringLiteral("プリンターへの出力に失敗しました。");
        return false;
    }
    if (!outputFile().isEmpty() && !MendPdfTextLayer(outputFile())) {
        error_ = QStringLiteral("ＰＤＦファイルを書き込めませんでした。");
        return false;
    }
    return true;
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

// ---------------------------------------------------------------- RasterSurface

RasterSurface::RasterSurface(double dotsPerInch, const QMarginsF& margins) : dpi_(dotsPerInch), margins_(margins) {}

RasterSurface::~RasterSurface() {
    endPage();
}

bool RasterSurface::setPaper(int code) {
    paper_ = code;
    return true;
}

bool RasterSurface::setOrientation(PageOrientation orientation) {
    orientation_ = orientation;
    return true;
}

QSizeF RasterSurface::paperSize() const {
    return TurnedPaperSize(paper_, orientation_);
}

QSizeF RasterSurface::printableSize() const {
    const QSizeF paper = paperSize();
    return {paper.width() - margins_.left() - margins_.right(), paper.height() - margins_.top() - margins_.bottom()};
}

QPoint RasterSurface::pixelOf(double xMm, double yMm) const {
    return {static_cast<int>(std::lround((xMm + margins_.left()) * dpi_ / MmPerInch)),
            static_cast<int>(std::lround((yMm + margins_.top()) * dpi_ / MmPerInch))};
}

QPaintDevice* RasterSurface::device() const {
    if (painter_)
        return painter_->device();
    if (measure_.isNull()) {
        measure_ = QImage(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = static_cast<int>(std::lround(dpi_ / 0.0254));
        measure_.setDotsPerMeterX(dotsPerMetre);
        measure_.setDotsPerMeterY(dotsPerMetre);
    }
    return &measure_;
}

QPainter* RasterSurface::painter() {
    if (painter_)
        return painter_.get();
    const QSizeF paper = paperSize();
    QImage page(static_cast<int>(std::lround(paper.width() * dpi_ / MmPerInch)),
                static_cast<int>(std::lround(paper.height() * dpi_ / MmPerInch)), QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(dpi_ / 0.0254));
    page.setDotsPerMeterX(dotsPerMetre);
    page.setDotsPerMeterY(dotsPerMetre);
    page.fill(Qt::white);
    pages_ << page;
    painter_ = std::make_unique<QPainter>(&pages_.last());
    painter_->setRenderHint(QPainter::Antialiasing);
    painter_->translate(margins_.left() * dpi_ / MmPerInch, margins_.top() * dpi_ / MmPerInch);
    return painter_.get();
}

void RasterSurface::endPage() {
    if (painter_)
        painter_->end();
    painter_.reset();
}

void RasterSurface::newPage() {
    painter(); // an empty page is a page all the same
    endPage();
    painter();
    setCurrentX(0);
    setCurrentY(0);
}

bool RasterSurface::endDoc() {
    endPage();
    setCurrentX(0);
    setCurrentY(0);
    return true;
}

void RasterSurface::abortDoc() {
    endPage();
    pages_.clear();
    setCurrentX(0);
    setCurrentY(0);
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
    const QSizeF paper = TurnedPaperSize(paper_, orientation_);
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

void RecordingSurface::drawTurnedText(double x, double y, const QString& text) {
    Call c = make(QStringLiteral("text"));
    c.mm = QRectF(x, y, textWidth(text), textHeight());
    c.text = text;
    c.turned = true;
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
