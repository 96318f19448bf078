#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <memory>

class QPaintDevice;
class QPainter;
class QPrinter;

namespace quelm::platform {

// Paper codes as the print settings store them.
inline constexpr int PaperA4 = 9;
inline constexpr int PaperA5 = 11;
inline constexpr int PaperB5 = 13; // JIS B5, 182 × 257 mm
// The page size of a paper code; any other code is A4.
QPageSize PageSizeOfPaper(int code);

enum class PageOrientation { Portrait = 1, Landscape = 2 };
enum class PenStyle { Solid, Dot };

// Puts the right characters into the text layer of a PDF file that Qt wrote. Qt's PDF engine names each glyph by
// the lowest code point the font maps to it, and Japanese fonts draw the Kangxi radicals (U+2F00 …) with the glyphs
// of the ideographs they stand for, so 音 would be copied out as ⾳ and a search for it would fail. Each such name
// is replaced by the ideograph in place (the same number of bytes, so the file's offsets stay right). False when
// the file could not be read or written back.
bool MendPdfTextLayer(const QString& path);

// What a printout is drawn on. Positions are millimetres from the top-left corner of the printable area, as the
// reports lay out their pages; pen widths are device pixels. The print position, font and pen are kept here; the
// implementations only draw and measure.
class PrinterSurface {
public:
    virtual ~PrinterSurface() = default;

    // Page set-up. A change after something was drawn applies from the next page. False when the printer refuses
    // the setting; it then keeps its previous one.
    virtual bool setPaper(int code) = 0;
    virtual int paper() const = 0;
    virtual bool setOrientation(PageOrientation orientation) = 0;
    virtual PageOrientation orientation() const = 0;
    // The printable area in the current paper and orientation, in millimetres.
    virtual QSizeF printableSize() const = 0;
    double printableWidth() const { return printableSize().width(); }
    double printableHeight() const { return printableSize().height(); }

    // The print position.
    double currentX() const { return x_; }
    double currentY() const { return y_; }
    void setCurrentX(double mm) { x_ = mm; }
    void setCurrentY(double mm) { y_ = mm; }

    // The font of the following texts.
    QString fontName() const { return fontName_; }
    double fontSize() const { return fontSize_; } // points
    bool fontBold() const { return bold_; }
    bool fontItalic() const { return italic_; }
    void setFontName(const QString& name) { fontName_ = name; }
    void setFontSize(double points) { fontSize_ = points; }
    void setFontBold(bool on) { bold_ = on; }
    void setFontItalic(bool on) { italic_ = on; }

    // Prints a text with its top-left corner at the print position. The position then moves to the end of the text,
    // or, when the line is ended, to the left edge of the next line (one text height lower).
    void print(const QString& text, bool endLine);
    // Prints a text turned a quarter clockwise, reading from top to bottom (a CD case's spine). (x, y) is the
    // top-left corner of the text in its own frame, which on the page is its top-right corner: the ink runs down
    // from y over the text's width and to the left of x over its ink height. The print position is left alone.
    void printTurned(double x, double y, const QString& text) {
        if (!text.isEmpty())
            drawTurnedText(x, y, text);
    }
    virtual double textWidth(const QString& text) const = 0;
    // Height of a text line in the current font.
    virtual double textHeight() const = 0;
    // Height of the ink of a line of text in the current font, from the top of its tallest glyphs (the ideographic
    // em box, Latin ascenders) to the bottom of its lowest (descenders). A printed text puts this top at the print
    // position, so a layout knows exactly where its glyphs end.
    virtual double inkHeight() const { return textHeight(); }

    int penWidth() const { return penWidth_; }
    PenStyle penStyle() const { return penStyle_; }
    void setPenWidth(int pixels) { penWidth_ = std::max(1, pixels); }
    void setPenStyle(PenStyle style) { penStyle_ = style; }
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    // An unfilled rectangle between two corners.
    virtual void rectangle(double x1, double y1, double x2, double y2) = 0;
    // The picture stretched into the rectangle.
    virtual void drawPicture(const QImage& picture, const QRectF& mm) = 0;

    virtual void newPage() = 0;
    // Ends the document, which sends it to the printer; false when the output failed.
    virtual bool endDoc() = 0;
    // Drops the document begun so far, so that nothing half printed reaches the printer.
    virtual void abortDoc() = 0;
    // Why the last document failed, in the user's words; empty when nothing failed.
    virtual QString lastError() const { return {}; }
    // The file the output goes to when it is not a printer (a PDF); empty for a printer.
    virtual QString outputFile() const { return {}; }

protected:
    virtual void drawText(double x, double y, const QString& text) = 0;
    virtual void drawTurnedText(double x, double y, const QString& text) = 0;

private:
    double x_ = 0;
    double y_ = 0;
    QString fontName_;
    double fontSize_ = 10;
    bool bold_ = false;
    bool italic_ = false;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
};

// A surface painted with a QPainter on a device, measuring its texts in the fonts the device really uses.
class PaintedSurface : public PrinterSurface {
public:
    double textWidth(const QString& text) const override;
    double textHeight() const override;
    double inkHeight() const override;
    void line(double x1, double y1, double x2, double y2) override;
    void rectangle(double x1, double y1, double x2, double y2) override;
    void drawPicture(const QImage& picture, const QRectF& mm) override;

protected:
    void drawText(double x, double y, const QString& text) override;
    void drawTurnedText(double x, double y, const QString& text) override;
    // The device the texts are measured on, and its dots per inch.
    virtual QPaintDevice* device() const = 0;
    virtual double dpi() const = 0;
    // The painter of the current page, its origin at the printable area's corner; nullptr when the device cannot
    // be painted on.
    virtual QPainter* painter() = 0;

private:
    struct Ink {
        double ascent = 0; // device units above the baseline
        double descent = 0;
    };

    double toDevice(double mm) const;
    QFont currentFont() const;
    Ink inkOf(const QFont& font) const;
    void applyPen(QPainter& painter) const;

    mutable QHash<QString, Ink> inks_; // by font key and resolution
};

// The printer of the running program: a QPainter on a QPrinter, begun at the first drawing.
class QtPrinterSurface : public PaintedSurface {
public:
    explicit QtPrinterSurface(std::unique_ptr<QPrinter> printer);
    // Draws on a printer that someone else owns (the print preview's).
    explicit QtPrinterSurface(QPrinter& borrowed);
    ~QtPrinterSurface() override;

    QPrinter& qprinter() const { return *printer_; }

    // The system's default printer; nullptr when the system has no printer.
    static std::unique_ptr<QtPrinterSurface> defaultPrinter();
    // A PDF file instead of a printer.
    static std::unique_ptr<QtPrinterSurface> pdf(const QString& path);

    bool setPaper(int code) override;
    int paper() const override { return paper_; }
    bool setOrientation(PageOrientation orientation) override;
    PageOrientation orientation() const override;
    QSizeF printableSize() const override;
    void newPage() override;
    bool endDoc() override;
    void abortDoc() override;
    QString lastError() const override { return error_; }
    QString outputFile() const override;

protected:
    QPaintDevice* device() const override;
    double dpi() const override;
    QPainter* painter() override;

private:
    std::unique_ptr<QPrinter> owned_;
    QPrinter* printer_ = nullptr;
    QString error_;
    std::unique_ptr<QPainter> painter_;
    int paper_ = PaperA4;
    bool failed_ = false;
};

// Pages painted into pictures (white paper, black ink), to look at a printout by its pixels. A page is the whole
// sheet; the printable area starts margins inside it.
class RasterSurface : public PaintedSurface {
public:
    explicit RasterSurface(double dotsPerInch = 300, const QMarginsF& margins = {});
    ~RasterSurface() override;

    bool setPaper(int code) override;
    int paper() const override { return paper_; }
    bool setOrientation(PageOrientation orientation) override;
    PageOrientation orientation() const override { return orientation_; }
    QSizeF printableSize() const override;
    void newPage() override;
    bool endDoc() override;
    void abortDoc() override;

    // Every page begun, the last one included.
    const QList<QImage>& pages() const { return pages_; }
    // The pixel of a position in millimetres from the printable area's corner.
    QPoint pixelOf(double xMm, double yMm) const;

protected:
    QPaintDevice* device() const override;
    double dpi() const override { return dpi_; }
    QPainter* painter() override;

private:
    QSizeF paperSize() const; // mm, in the current orientation
    void endPage();

    double dpi_;
    QMarginsF margins_;
    int paper_ = PaperA4;
    PageOrientation orientation_ = PageOrientation::Portrait;
    QList<QImage> pages_;
    std::unique_ptr<QPainter> painter_;
    mutable QImage measure_; // measured on before the first page
};

// A surface for tests: draws nothing and records every call with its position in millimetres. Text is measured
// as the Japanese code page counts it: half an em per byte, so a full-width character is one em wide.
class RecordingSurface : public PrinterSurface {
public:
    struct Call {
        QString op; // "text", "line", "rectangle", "picture", "newPage", "endDoc", "abortDoc"
        QRectF mm;  // text: position and measured size; line and rectangle: the two points; picture: its rectangle
        QString text;
        double fontSize = 0;
        bool bold = false;
        bool italic = false;
        int penWidth = 0;
        PenStyle penStyle = PenStyle::Solid;
        QSize pictureSize;
        PageOrientation orientation = PageOrientation::Portrait;
        bool turned = false; // a text turned a quarter clockwise; mm holds its corner and its unturned size
    };

    // margins: the part of the paper a printer cannot reach, in millimetres.
    explicit RecordingSurface(const QMarginsF& margins = {});

    bool setPaper(int code) override;
    int paper() const override { return paper_; }
    bool setOrientation(PageOrientation orientation) override;
    PageOrientation orientation() const override { return orientation_; }
    QSizeF printableSize() const override;
    double textWidth(const QString& text) const override;
    double textHeight() const override;
    void line(double x1, double y1, double x2, double y2) override;
    void rectangle(double x1, double y1, double x2, double y2) override;
    void drawPicture(const QImage& picture, const QRectF& mm) override;
    void newPage() override;
    bool endDoc() override;
    void abortDoc() override;
    QString lastError() const override { return failEndDoc ? QStringLiteral("プリンターが応答しません。") : QString(); }

    QString outputFile() const override { return pdfFile; }

    QList<Call> calls;
    bool failEndDoc = false;      // a printer that refuses the document
    bool refusePageSetup = false; // a driver that refuses paper and orientation changes
    QString pdfFile;              // set to stand for the PDF used when the system has no printer

protected:
    void drawText(double x, double y, const QString& text) override;
    void drawTurnedText(double x, double y, const QString& text) override;

private:
    Call make(const QString& op) const;

    QMarginsF margins_;
    int paper_ = PaperA4;
    PageOrientation orientation_ = PageOrientation::Portrait;
};

} // namespace quelm::platform
