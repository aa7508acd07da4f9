#include "vcl/Printers.h"

#include <algorithm>
#include <map>

// ---- capture

void TPrinterCapture::Drawn(const TCanvasDrawing& drawing)
{
    if (Pages.empty()) return;
    static const char* const textKinds[] = {"TextOut", "TextRect", "ExtTextOut", "DrawText"};
    for (const char* kind : textKinds) {
        if (drawing.Kind != kind) continue;
        Pages.back().Texts.push_back(TPrintedText{drawing.Pos.x, drawing.Pos.y, drawing.Text, drawing.FontName,
                                                  drawing.FontHeight, drawing.FontStyle.Contains(fsBold)});
        return;
    }
    Pages.back().Shapes.push_back(TPrintedShape{drawing.Kind, drawing.Rect});
}

std::vector<std::string> TPrintedPage::Lines() const
{
    std::map<Integer, std::vector<const TPrintedText*>> byY;
    for (const TPrintedText& text : Texts) byY[text.Y].push_back(&text);
    std::vector<std::string> lines;
    for (auto& [y, texts] : byY) {
        std::stable_sort(texts.begin(), texts.end(), [](auto* a, auto* b) { return a->X < b->X; });
        std::string line;
        for (const TPrintedText* text : texts) line += (line.empty() ? "" : " ") + text->Text;
        lines.push_back(line);
    }
    return lines;
}

// ---- printer canvas: draws on the printer DC and tells the capture

class TPrinter::TPrinterCanvas : public TCanvas {
public:
    explicit TPrinterCanvas(TPrinter* printer) : printer_(printer) {}

protected:
    void CreateHandle() override
    {
        SetHandle(printer_->Handle());
        Font()->SetPixelsPerInch(GetDeviceCaps(printer_->Handle(), LOGPIXELSY));
    }

private:
    TPrinter* printer_;
};

TPrinter::TPrinter() = default;

TPrinter::~TPrinter()
{
    if (printing_) Abort();
    canvas_.reset();
    CloseDeviceContext();
}

const std::vector<std::string>& TPrinter::Printers()
{
    if (!printersLoaded_) {
        printers_ = PrinterService()->PrinterNames();
        printersLoaded_ = true;
    }
    return printers_;
}

void TPrinter::Refresh()
{
    CheckPrinting(false);
    printers_.clear();
    printersLoaded_ = false;
    printerIndex_ = -1;
    deviceMode_.clear();
    CloseDeviceContext();
}

Integer TPrinter::PrinterIndex()
{
    if (printerIndex_ >= 0) return printerIndex_;
    const std::string name = PrinterService()->DefaultPrinterName();
    const auto& all = Printers();
    auto found = std::find(all.begin(), all.end(), name);
    return name.empty() || found == all.end() ? -1 : Integer(found - all.begin());
}

void TPrinter::SetPrinterIndex(Integer index)
{
    CheckPrinting(false);
    if (index < -1 || index >= Integer(Printers().size())) throw EPrinter("Printer selected is not valid");
    printerIndex_ = index;
    deviceMode_.clear();
    CloseDeviceContext();
}

std::string TPrinter::CurrentPrinterName()
{
    const Integer index = PrinterIndex();
    if (index < 0) throw EPrinter("There is no default printer currently selected");
    return Printers()[index];
}

std::string TPrinter::CurrentDeviceName() { return PrinterService()->DeviceName(CurrentPrinterName()); }

void TPrinter::LoadDeviceMode()
{
    if (!deviceMode_.empty()) return;
    std::string name = CurrentDeviceName();
    HANDLE printer = nullptr;
    if (!OpenPrinterA(name.data(), &printer, nullptr)) throw EPrinter("Printer selected is not valid");
    const LONG size = DocumentPropertiesA(nullptr, printer, name.data(), nullptr, nullptr, 0);
    if (size > 0) {
        deviceMode_.resize(size);
        auto* mode = reinterpret_cast<DEVMODEA*>(deviceMode_.data());
        if (DocumentPropertiesA(nullptr, printer, name.data(), mode, nullptr, DM_OUT_BUFFER) != IDOK)
            deviceMode_.clear();
    }
    ClosePrinter(printer);
}

DEVMODEA* TPrinter::DeviceMode()
{
    LoadDeviceMode();
    return deviceMode_.empty() ? nullptr : reinterpret_cast<DEVMODEA*>(deviceMode_.data());
}

void TPrinter::DeviceModeChanged()
{
    CheckPrinting(false);
    if (DEVMODEA* mode = DeviceMode(); mode && (mode->dmFields & DM_COPIES))
        copies_ = std::max<Integer>(mode->dmCopies, 1);
    CloseDeviceContext();
}

void TPrinter::OpenDeviceContext()
{
    if (dc_) return;
    const std::string name = CurrentDeviceName();
    dc_ = CreateDCA("WINSPOOL", name.c_str(), nullptr, DeviceMode());
    if (!dc_) throw EPrinter("Printer selected is not valid");
}

void TPrinter::CloseDeviceContext()
{
    if (canvas_) canvas_->SetHandle(nullptr);
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
}

HDC TPrinter::Handle()
{
    OpenDeviceContext();
    return dc_;
}

TCanvas* TPrinter::Canvas()
{
    if (!canvas_) canvas_ = std::make_unique<TPrinterCanvas>(this);
    return canvas_.get();
}

Integer TPrinter::PageWidth() { return GetDeviceCaps(Handle(), HORZRES); }

Integer TPrinter::PageHeight() { return GetDeviceCaps(Handle(), VERTRES); }

TPrinterOrientation TPrinter::Orientation()
{
    DEVMODEA* mode = DeviceMode();
    return mode && mode->dmOrientation == DMORIENT_LANDSCAPE ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation)
{
    CheckPrinting(false);
    if (DEVMODEA* mode = DeviceMode()) {
        mode->dmOrientation = orientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        mode->dmFields |= DM_ORIENTATION;
    }
    CloseDeviceContext();
}

void TPrinter::SetCopies(Integer copies)
{
    CheckPrinting(false);
    copies_ = copies;
    if (DEVMODEA* mode = DeviceMode()) {
        mode->dmCopies = SmallInt(copies);
        mode->dmFields |= DM_COPIES;
    }
    CloseDeviceContext();
}

void TPrinter::SetCapture(TPrinterCapture* capture)
{
    CheckPrinting(false);
    capture_ = capture;
}

void TPrinter::CheckPrinting(bool printing) const
{
    if (printing_ != printing)
        throw EPrinter(printing ? "Printing not in progress" : "Printing in progress");
}

void TPrinter::BeginDoc()
{
    CheckPrinting(false);
    OpenDeviceContext();
    Canvas()->SetHandle(nullptr);
    Canvas()->Handle();
    aborted_ = false;
    pageNumber_ = 1;
    if (capture_) {
        capture_->Title = title_;
        capture_->Pages.assign(1, TPrintedPage{});
        capture_->Ended = capture_->Aborted = false;
        Canvas()->SetListener(capture_);
    } else {
        Canvas()->SetListener(nullptr);
        DOCINFOA doc{};
        doc.cbSize = sizeof doc;
        doc.lpszDocName = title_.c_str();
        if (StartDocA(dc_, &doc) <= 0) throw EPrinter("Printing could not be started");
        StartPage(dc_);
    }
    printing_ = true;
}

void TPrinter::NewPage()
{
    CheckPrinting(true);
    ++pageNumber_;
    if (capture_) {
        capture_->Pages.emplace_back();
        return;
    }
    EndPage(dc_);
    StartPage(dc_);
    Canvas()->SetHandle(nullptr);
    Canvas()->Handle();
}

void TPrinter::EndDoc()
{
    CheckPrinting(true);
    printing_ = false;
    if (capture_) {
        capture_->Ended = true;
    } else {
        EndPage(dc_);
        if (!aborted_) ::EndDoc(dc_);
    }
    Canvas()->SetListener(nullptr);
    aborted_ = false;
    pageNumber_ = 0;
}

void TPrinter::Abort()
{
    CheckPrinting(true);
    printing_ = false;
    aborted_ = true;
    if (capture_)
        capture_->Aborted = true;
    else
        AbortDoc(dc_);
    Canvas()->SetListener(nullptr);
}

// ---- printer service: the system's printers

std::vector<std::string> TPrinterService::PrinterNames()
{
    std::vector<std::string> names;
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, buffer.data(), needed, &needed,
                      &count)) {
        auto* info = reinterpret_cast<PRINTER_INFO_4A*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) names.push_back(info[i].pPrinterName);
    }
    return names;
}

std::string TPrinterService::DefaultPrinterName()
{
    char name[256];
    DWORD size = sizeof name;
    return GetDefaultPrinterA(name, &size) ? std::string(name) : std::string();
}

namespace {
std::unique_ptr<TPrinter> thePrinter;
TPrinterService systemPrinters;
TPrinterService* currentPrinterService = &systemPrinters;
}  // namespace

TPrinter* Printer()
{
    if (!thePrinter) thePrinter = std::make_unique<TPrinter>();
    return thePrinter.get();
}

TPrinter* SetPrinter(TPrinter* printer)
{
    TPrinter* old = thePrinter.release();
    thePrinter.reset(printer);
    return old;
}

TPrinterService* PrinterService() { return currentPrinterService; }

TPrinterService* SetPrinterService(TPrinterService* service)
{
    TPrinterService* old = currentPrinterService;
    currentPrinterService = service ? service : &systemPrinters;
    if (thePrinter) thePrinter->Refresh();
    return old == &systemPrinters ? nullptr : old;
}
