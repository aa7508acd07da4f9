// The pages a report has built: the texts placed on every page, in report units (1/96 inch from the paper's top-left
// corner), and the drawing of a page on a canvas at any resolution (preview, printer).
#pragma once

#include <string>
#include <vector>

#include "classes/Alignment.h"
#include "vcl/Graphics.h"

// Report units per inch: the bands and items are laid out in screen pixels of a 96-dpi display.
constexpr Integer ReportUnitsPerInch = 96;

struct TReportText {
    // The item's box; the text sits in it by the alignment.
    Integer Left = 0, Top = 0, Width = 0, Height = 0;
    TAlignment Alignment = taLeftJustify;
    std::string Text;
    std::string FontName;
    Integer FontHeight = 0;  // as TFont::Height at 96 dpi
    bool Bold = false;

    bool operator==(const TReportText&) const = default;
};

struct TReportPage {
    Integer Width = 0, Height = 0;  // the paper
    std::vector<TReportText> Texts;

    bool operator==(const TReportPage&) const = default;
    // The texts grouped in lines: by top, each line's texts by left joined with one blank.
    std::vector<std::string> Lines() const;
    // The texts placed at this top, by left.
    std::vector<std::string> TextsAt(Integer top) const;
};

// Draws the page's texts on the canvas at dpi pixels per inch, the paper's corner at (originX, originY).
void DrawReportPage(TCanvas* canvas, const TReportPage& page, Integer dpiX, Integer dpiY, Integer originX = 0,
                    Integer originY = 0);
