#pragma once

#include "print/ReportLayout.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>

namespace quelm::print {

// A jewel case's tray card: the back panel between two spines that fold round the tray's sides.
inline constexpr double TrayCardWidth = 151;
inline constexpr double TrayCardHeight = 118;
inline constexpr double TraySpineWidth = 7; // (151 − 137) / 2: the back list's 137 mm panel in the middle
// The booklet in the case's lid.
inline constexpr double BookletSide = 120;
// Crop marks: short lines that continue the trim edges outside the insert, from this far off its corner.
inline constexpr double CropMarkGap = 2;
inline constexpr double CropMarkLength = 5;
// The room a booklet keeps free of text along its edges.
inline constexpr double BookletInset = 8;

// The trim size of an insert kind; empty for the kinds that are not inserts.
QSizeF InsertSize(std::int16_t kind);
// Where an insert is cut from, in millimetres from the printable area's corner: centred in it.
QRectF InsertTrim(std::int16_t kind, QSizeF printable);
// Turns the paper so that the insert and its crop marks fit on it: portrait when they fit both ways or neither.
void SetFittingOrientation(std::int16_t kind, platform::PrinterSurface& printer);

// The picture cut to the square it fills: the middle of a wider or taller picture.
QImage SquareMiddle(const QImage& picture);

// The inserts, one per sheet, on a printer already set up; the document is left open.
// Tray cards: the back list's pages, each in the panel of a card whose spines carry title1 and title2.
void PrintTrayCards(const PrintSettings& settings, const ReportSource& source, platform::PrinterSurface& printer);
// Booklet fronts: the disc's picture filling the square, or else its titles set large. The main report makes
// one per listed disc, titled with its first two chosen items; the sub report one for its main record, titled
// with title1 and title2.
void PrintBookletFronts(const PrintSettings& settings, const ReportSource& source, platform::PrinterSurface& printer);
// Booklet backs (sub report): title1 and title2 over the listed tracks, each with its number in the list, its
// first chosen item and the others (the length) set against the right edge.
void PrintBookletBacks(const PrintSettings& settings, const ReportSource& source, platform::PrinterSurface& printer);

} // namespace quelm::print
