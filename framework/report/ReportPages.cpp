#include "report/ReportPages.h"

#include <algorithm>
#include <map>

std::vector<std::string> TReportPage::Lines() const
{
    std::map<Integer, std::vector<const TReportText*>> byTop;
    for (const TReportText& text : Texts) byTop[text.Top].push_back(&text);
    std::vector<std::string> lines;
    for (auto& [top, texts] : byTop) {
        std::stable_sort(texts.begin(), texts.end(),
                         [](const TReportText* a, const TReportText* b) { return a->Left < b->Left; });
        std::string line;
        for (const TReportText* text : texts) {
            if (text->Text.empty()) continue;
            if (!line.empty()) line += ' ';
            line += text->Text;
        }
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> TReportPage::TextsAt(Integer top) const
{
    std::vector<const TReportText*> found;
    for (const TReportText& text : Texts)
        if (text.Top == top) found.push_back(&text);
    std::stable_sort(found.begin(), found.end(),
                     [](const TReportText* a, const TReportText* b) { return a->Left < b->Left; });
    std::vector<std::string> texts;
    for (const TReportText* text : found) texts.push_back(text->Text);
    return texts;
}

namespace {

Integer Scale(Integer units, Integer dpi) { return MulDiv(units, dpi, ReportUnitsPerInch); }

}  // namespace

void DrawReportPage(TCanvas* canvas, const TReportPage& page, Integer dpiX, Integer dpiY, Integer originX,
                    Integer originY)
{
    canvas->Brush()->SetStyle(bsClear);
    for (const TReportText& text : page.Texts) {
        if (text.Text.empty()) continue;
        canvas->Font()->SetName(text.FontName);
        canvas->Font()->SetHeight(Scale(text.FontHeight, dpiY));
        canvas->Font()->SetStyle(text.Bold ? TFontStyles{fsBold} : TFontStyles{});
        canvas->Font()->SetColor(clBlack);
        const Integer left = originX + Scale(text.Left, dpiX);
        const Integer width = Scale(text.Width, dpiX);
        Integer x = left;
        if (text.Alignment == taRightJustify)
            x = left + width - canvas->TextWidth(text.Text);
        else if (text.Alignment == taCenter)
            x = left + (width - canvas->TextWidth(text.Text)) / 2;
        canvas->TextOut(x, originY + Scale(text.Top, dpiY), text.Text);
    }
}
