#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace quelm::store {

// What a record-list report prints with: the kind, the chosen columns and their measured widths, the page metrics
// and the titles, plus the printer settings (paper, orientation, font) that were in force when they were measured.
// The main and the sub report each keep their own, so one report never prints with the other's columns or paper.
// Never saved; it lasts until the program ends.
struct PrintSettings {
    static constexpr int MaxColumns = 15;

    std::int16_t reportKind = 0; // 0 none chosen yet, 1 item list, 2 CD-case insert
    std::int16_t itemCount = 0;  // chosen items; 0: the report is not set up
    std::array<std::int16_t, MaxColumns> columnField{};
    std::array<std::int16_t, MaxColumns> columnWidth{}; // millimetres, the 4 mm gap included once measured
    std::array<std::int16_t, MaxColumns> columnBytes{}; // widest code-page length of heading and cells
    std::int16_t leftMargin = 10;
    std::int32_t lineHeight = 0;
    float ruleOffset = 0;
    std::int32_t linesPerPage = 0;
    std::int32_t usableWidth = 0;
    QString title1;
    QString title2;
    std::int16_t configuredSection = 0;

    // The printer side, applied again before each printout.
    int paper = 9;
    int orientation = 1; // 1 portrait, 2 landscape
    QString fontName;
    double fontSize = 10;
    bool fontBold = false;
    bool fontItalic = false;

    static constexpr std::int16_t KindNone = 0;
    static constexpr std::int16_t KindItemList = 1;
    static constexpr std::int16_t KindCdCase = 2;
};

} // namespace quelm::store
