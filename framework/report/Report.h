// A banded report: bands of text items stacked down Letter pages. Prepare builds every page on the calling (user
// interface) thread; the preview shows the built pages and prints them through the program's printer.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/Component.h"
#include "report/ReportPages.h"
#include "vcl/Printers.h"

class TDataSet;
class TBandReport;
class TReportBand;

// An item of a band at its place on the band (report units).
class TReportItem : public TComponent {
    DUN_CLASS(TReportItem, TComponent)
public:
    explicit TReportItem(TComponent* owner);
    ~TReportItem() override;

    TReportBand* Band() const { return band_; }
    void SetBand(TReportBand* band);
    Integer Left = 0, Top = 0, Width = 65, Height = 17;
    TAlignment Alignment = taLeftJustify;
    TFont* Font() const { return font_.get(); }

    // The text the item prints now.
    virtual std::string PrintText() const = 0;

private:
    friend class TReportBand;
    TReportBand* band_ = nullptr;
    std::unique_ptr<TFont> font_;
};

// A static or value label: prints its caption.
class TReportLabel : public TReportItem {
    DUN_CLASS(TReportLabel, TReportItem)
public:
    explicit TReportLabel(TComponent* owner) : TReportItem(owner) {}
    std::string Caption;
    std::string PrintText() const override { return Caption; }
};

// Prints a field of a dataset's current record.
class TReportDBText : public TReportItem {
    DUN_CLASS(TReportDBText, TReportItem)
public:
    explicit TReportDBText(TComponent* owner) : TReportItem(owner) {}
    TDataSet* DataSet = nullptr;
    std::string DataField;
    std::string PrintText() const override;
};

enum TReportBandType { rbPageHeader, rbDetail, rbChild, rbPageFooter };

using TBandBeforePrintEvent = std::function<void(TReportBand* sender, bool& printBand)>;

class TReportBand : public TComponent {
    DUN_CLASS(TReportBand, TComponent)
public:
    explicit TReportBand(TComponent* owner);
    ~TReportBand() override;

    TBandReport* Report() const { return report_; }
    void SetReport(TBandReport* report);
    TReportBandType BandType = rbDetail;
    Integer Height = 40;
    // A child band prints after this band for every record, also when this band's print flag was cleared.
    TReportBand* ParentBand() const { return parentBand_; }
    void SetParentBand(TReportBand* parent);
    const std::vector<TReportItem*>& Items() const { return items_; }

    // Runs before the band is placed; the handler may clear the print flag.
    TBandBeforePrintEvent OnBeforePrint;

private:
    friend class TReportItem;
    friend class TBandReport;
    TBandReport* report_ = nullptr;
    TReportBand* parentBand_ = nullptr;
    std::vector<TReportItem*> items_;
};

enum TReportPaperSize { rpLetter };
enum TReportOption { roFirstPageHeader, roLastPageFooter };
using TReportOptions = Set<TReportOption>;

struct TReportPageSetup {
    TReportPaperSize PaperSize = rpLetter;
    TPrinterOrientation Orientation = poPortrait;
    Integer Columns = 1;
    // Margins in report units.
    Integer LeftMargin = ReportUnitsPerInch, TopMargin = ReportUnitsPerInch / 2;
    Integer RightMargin = ReportUnitsPerInch, BottomMargin = ReportUnitsPerInch / 2;

    Integer PaperWidth() const;
    Integer PaperHeight() const;
};

// What the set-up dialog chose for the next print.
struct TReportPrinterSettings {
    Integer Copies = 1;
    Integer FirstPage = 1;
    Integer LastPage = 0;  // 0: to the last page
};

using TReportBeforePrintEvent = std::function<void(TBandReport* sender, bool& printReport)>;
using TReportNeedDataEvent = std::function<void(TObject* sender, bool& moreData)>;

class TBandReport : public TComponent {
    DUN_CLASS(TBandReport, TComponent)
public:
    explicit TBandReport(TComponent* owner);
    ~TBandReport() override;

    // The records of the detail bands; without one the report asks OnNeedData for each record.
    TDataSet* DataSet = nullptr;
    TReportPageSetup Page;
    TReportOptions Options{roFirstPageHeader, roLastPageFooter};
    bool PrintIfEmpty = true;
    Integer Zoom = 100;  // the preview's, in percent
    std::string ReportTitle;
    TReportPrinterSettings PrinterSettings;
    // The highest page number the set-up dialog offers (the pages are built after it).
    static constexpr Integer MaxPrintPage = 9999;
    const std::vector<TReportBand*>& Bands() const { return bands_; }

    TReportBeforePrintEvent OnBeforePrint;
    TReportNeedDataEvent OnNeedData;

    // The number of the page being built (1 on the first).
    Integer PageNumber() const { return Integer(pages_.size()); }
    // Builds every page anew: runs the report's and the bands' events and places the items.
    void Prepare();
    const std::vector<TReportPage>& Pages() const { return pages_; }

    // The printer set-up dialog (printer, copies, page range; the orientation is the printer's). False: cancelled.
    bool PrinterSetup();
    // Builds the pages and shows them in the modal preview window.
    void Preview();
    // Prints the built pages in the chosen range on the program's printer.
    void PrintPages();
    // Builds the pages and prints them.
    void Print();

private:
    friend class TReportBand;
    bool NextRecord(Integer& recordCount);
    void PrintDetail(TReportBand* detail);
    void PrintBand(TReportBand* band, bool checkFit);
    void PlaceBand(TReportBand* band);
    void StartPage();
    void EndPage(bool last);
    TReportBand* BandOf(TReportBandType type) const;
    Integer ContentBottom() const;

    std::vector<TReportBand*> bands_;
    std::vector<TReportPage> pages_;
    Integer bandTop_ = 0;
    bool pageHasBody_ = false;  // a band besides the header is on the page
};
