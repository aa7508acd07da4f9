#include "vxcontrols/vxriched.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <richedit.h>

#include "classes/ClassRegistry.h"
#include "classes/Filer.h"
#include "db/BinaryFields.h"
#include "db/DataSet.h"
#include "rtl/FloatConv.h"
#include "rtl/Format.h"
#include "vcl/Printers.h"

namespace {

const bool registered = (RegisterClasses<TvxCustomRichEdit>(), true);

// Decimal input such as 0.7 inch lands a hair below the twips it means.
constexpr double TwipsEpsilon = 1e-6;

bool IsUnitSuffix(char c) { return c == ' ' || c == '\'' || c == 'c' || c == 'm' || c == 'C' || c == 'M'; }

// LF and a lone CR become CR LF; CR LF stays.
std::string NormalizeLineEnds(const std::string& text)
{
    std::string result;
    result.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            result += "\r\n";
        } else if (c == '\r') {
            result += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            result += c;
        }
    }
    return result;
}

// Rich text up to its first paragraph definition's first group, closed there.
std::string CutAfterFirstParagraph(const std::string& text)
{
    const size_t pard = text.find("\\pard");
    if (pard == std::string::npos) return text;
    const size_t group = text.find('{', pard + 5);
    if (group == std::string::npos) return text;
    return text.substr(0, group) + "}";
}

DWORD CALLBACK RichStreamIn(DWORD_PTR data, LPBYTE buffer, LONG size, LONG* done)
{
    try {
        *done = reinterpret_cast<TvxRichStreamReader*>(data)->Next(reinterpret_cast<char*>(buffer), size);
        return 0;
    } catch (...) {
        *done = 0;
        return 1;
    }
}

// Restores a flag however the scope is left.
class TFlagScope {
public:
    TFlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
    ~TFlagScope() { flag_ = saved_; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

class THourGlass {
public:
    THourGlass() : saved_(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(saved_); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    TCursor saved_;
};

bool PrinterAvailable()
{
    TPrinter* printer = Printer();
    return !printer->Printers().empty() && printer->PrinterIndex() >= 0;
}

}  // namespace

// ---- units

double vxTwipsToUnits(Integer twips, TvxMeasurementUnits units)
{
    double value = twips / 1440.0;
    if (units == muCentimeters) value *= vxCentimetresPerInch;
    return std::round(value * 100) / 100;
}

Integer vxUnitsToTwips(const std::string& text, TvxMeasurementUnits units)
{
    std::string number = text;
    while (!number.empty() && IsUnitSuffix(number.back())) number.pop_back();
    double twips = StrToFloat(number) * 1440;
    if (units == muCentimeters) twips /= vxCentimetresPerInch;
    return Integer(std::trunc(twips + (twips < 0 ? -TwipsEpsilon : TwipsEpsilon)));
}

std::string vxFormatUnitsPlain(double value, TvxMeasurementUnits units)
{
    return FloatToStr(value) + (units == muCentimeters ? " cm" : "''");
}

std::string vxFormatUnits(Integer steps, double value, TvxMeasurementUnits units)
{
    if (steps == 0) steps = units == muCentimeters ? 20 : 8;
    const double away = 1 / (1.5 * steps);
    const Int64 thousandths = Int64(std::trunc((value < 0 ? value - away : value + away) * 1000));
    const Int64 step = 1000 / steps;
    return vxFormatUnitsPlain((thousandths - thousandths % step) / 1000.0, units);
}

void TvxPrintMargins::Assign(TPersistent* source)
{
    auto* margins = dynamic_cast<TvxPrintMargins*>(source);
    if (!margins) return;
    top_ = margins->top_;
    bottom_ = margins->bottom_;
    left_ = margins->left_;
    right_ = margins->right_;
}

void TvxPrintMargins::Publish(TPublisher<TvxPrintMargins>& p)
{
    p.Property("Top", &TvxPrintMargins::Top, &TvxPrintMargins::SetTop);
    p.Property("Bottom", &TvxPrintMargins::Bottom, &TvxPrintMargins::SetBottom);
    p.Property("Left", &TvxPrintMargins::Left, &TvxPrintMargins::SetLeft);
    p.Property("Right", &TvxPrintMargins::Right, &TvxPrintMargins::SetRight);
}

TRect vxMarginRect(const TvxPrinterPage& page, Integer leftTwips, Integer topTwips, Integer rightTwips,
                   Integer bottomTwips)
{
    auto twX = [&](Integer pixels) { return Integer(Int64(pixels) * 1440 / page.PixelsPerInchX); };
    auto twY = [&](Integer pixels) { return Integer(Int64(pixels) * 1440 / page.PixelsPerInchY); };
    auto clip = [](Integer value, Integer low, Integer high) { return std::min(std::max(value, low), high); };
    const Integer maxX = twX(page.Size.x - 2 * page.Offset.x);
    const Integer maxY = twY(page.Size.y - 2 * page.Offset.y);
    TRect rect;
    rect.left = clip(leftTwips - twX(page.Offset.x), 0, maxX);
    rect.right = clip(twX(page.Size.x) - rightTwips - twX(page.Offset.x), rect.left, maxX);
    rect.top = clip(topTwips - twY(page.Offset.y), 0, maxY);
    rect.bottom = clip(twY(page.Size.y) - bottomTwips - twY(page.Offset.y), rect.top, maxY);
    return rect;
}

TRect vxPrinterFormatRect(const TvxPrinterPage& page, Integer pageHeight, Integer marginsTwips,
                          Integer screenPixelsPerInchX, Integer screenPixelsPerInchY, Integer leftTextMargin)
{
    const double inches = double(page.Size.x) / page.PixelsPerInchX - marginsTwips / 1440.0;
    TRect rect;
    rect.left = leftTextMargin;
    rect.top = 0;
    rect.right = Integer(std::trunc(inches * screenPixelsPerInchX)) + leftTextMargin + 4;
    rect.bottom = pageHeight * screenPixelsPerInchY / page.PixelsPerInchY;
    return rect;
}

Integer vxMeasurePages(const TvxFormatPage& formatPage, Integer textLength)
{
    Integer from = 0;
    for (;;) {
        const Integer next = formatPage(from, false);
        if (next == -1 || next <= from || next >= textLength) return next;
        from = next;
    }
}

void vxPrintPages(const TvxFormatPage& formatPage, Integer end, const std::function<void()>& newPage)
{
    Integer from = 0;
    for (;;) {
        const Integer next = formatPage(from, true);
        if (next == -1 || next <= from || next >= end) return;
        newPage();
        from = next;
    }
}

// ---- TvxRichMemoryStream

TvxRichMemoryStream::~TvxRichMemoryStream() { SetCapacity(0); }

void TvxRichMemoryStream::SetCapacity(Int64 capacity)
{
    HANDLE heap = GetProcessHeap();
    if (capacity <= 0) {
        if (block_) HeapFree(heap, 0, block_);
        block_ = nullptr;
        capacity_ = 0;
        SetPointer(nullptr, size_ = 0);
        return;
    }
    const Int64 rounded = (capacity + CapacityStep - 1) / CapacityStep * CapacityStep;
    if (rounded == capacity_) return;
    void* block = nullptr;
    if (uint64_t(rounded) <= SIZE_MAX)
        block = block_ ? HeapReAlloc(heap, 0, block_, SIZE_T(rounded)) : HeapAlloc(heap, 0, SIZE_T(rounded));
    if (!block) throw EStreamError("Out of memory while expanding memory stream");
    block_ = block;
    capacity_ = rounded;
    size_ = std::min(size_, capacity_);
    SetPointer(block_, size_);
}

void TvxRichMemoryStream::SetSize(Int64 newSize)
{
    SetCapacity(newSize);
    size_ = std::max<Int64>(newSize, 0);
    SetPointer(block_, size_);
    if (position_ > size_) position_ = size_;
}

Integer TvxRichMemoryStream::Write(const void* buffer, Integer count)
{
    if (position_ < 0 || count <= 0) return 0;
    const Int64 end = position_ + count;
    if (end > size_) {
        if (end > capacity_) SetCapacity(end);
        size_ = end;
        SetPointer(block_, size_);
    }
    std::memcpy(static_cast<char*>(block_) + position_, buffer, size_t(count));
    position_ = end;
    return count;
}

// ---- TvxRichStreamReader

// A held CR goes in front of the part; the part is small enough that doubling every byte still fits the buffer.
std::string TvxRichStreamReader::ReadPart(Integer size)
{
    for (;;) {
        std::string part = pendingCR_ ? "\r" : "";
        const Integer room = std::max<Integer>((size - Integer(part.size()) * 2) / 2, 0);
        pendingCR_ = false;
        std::vector<char> read(size_t(room) + 1);
        const Integer got = room > 0 ? converter_->ConvertReadStream(stream_, read.data(), room) : 0;
        part.append(read.data(), size_t(std::max<Integer>(got, 0)));
        if (firstPartOnly_) {
            active_ = false;
            return part;
        }
        if (got > 0 && part.back() == '\r') {
            part.pop_back();
            pendingCR_ = true;
            if (part.empty()) continue;
        }
        return part;
    }
}

Integer TvxRichStreamReader::Next(char* buffer, Integer size)
{
    if (!active_) return 0;
    std::string text = NormalizeLineEnds(ReadPart(size));
    if (firstPartOnly_) text = CutAfterFirstParagraph(text);
    const Integer count = std::min<Integer>(Integer(text.size()), size);
    std::memcpy(buffer, text.data(), size_t(count));
    return count;
}

// ---- TvxRichEditStrings

TStrings* TvxRichEditStrings::PlatformLines() const { return richEdit_->TCustomRichEdit::Lines(); }

Integer TvxRichEditStrings::GetCount() const { return PlatformLines()->Count(); }

std::string TvxRichEditStrings::Get(Integer index) const { return PlatformLines()->Strings(index); }

void TvxRichEditStrings::Put(Integer index, const std::string& s) { PlatformLines()->SetStrings(index, s); }

// Past the last line the text goes after the end of the line before, unless that line is missing or empty.
void TvxRichEditStrings::Insert(Integer index, const std::string& s)
{
    if (index < 0) return;
    HWND window = richEdit_->Handle();
    LRESULT start = SendMessageA(window, EM_LINEINDEX, index, 0);
    std::string text = s + "\r\n";
    if (start < 0) {
        const LRESULT previous = index > 0 ? SendMessageA(window, EM_LINEINDEX, index - 1, 0) : -1;
        if (previous < 0) return;
        const LRESULT length = SendMessageA(window, EM_LINELENGTH, previous, 0);
        if (length == 0) return;
        start = previous + length;
        text = "\r\n" + s;
    }
    CHARRANGE range{LONG(start), LONG(start)};
    SendMessageA(window, EM_EXSETSEL, 0, LPARAM(&range));
    SendMessageA(window, EM_REPLACESEL, TRUE, LPARAM(text.c_str()));
}

void TvxRichEditStrings::Delete(Integer index) { PlatformLines()->Delete(index); }

void TvxRichEditStrings::Clear() { richEdit_->Clear(); }

void TvxRichEditStrings::LoadFromStream(TStream* stream) { PlatformLines()->LoadFromStream(stream); }

void TvxRichEditStrings::SaveToStream(TStream* stream) const { PlatformLines()->SaveToStream(stream); }

std::string TvxRichEditStrings::GetTextStr() const { return PlatformLines()->Text(); }

// The window tells of no change while the text is set; its own event mask comes back afterwards.
void TvxRichEditStrings::SetTextStr(const std::string& text)
{
    HWND window = richEdit_->Handle();
    const LRESULT mask = SendMessageA(window, EM_GETEVENTMASK, 0, 0);
    SendMessageA(window, EM_SETEVENTMASK, 0, mask & ~ENM_CHANGE);
    try {
        PlatformLines()->SetText(text);
    } catch (...) {
        SendMessageA(window, EM_SETEVENTMASK, 0, mask);
        throw;
    }
    SendMessageA(window, EM_SETEVENTMASK, 0, mask);
}

// Adding the lines moves the selection line by line; OnSelectionChange hears nothing of it.
void TvxRichEditStrings::Assign(TPersistent* source)
{
    TNotifyEvent saved = std::move(richEdit_->OnSelectionChange);
    richEdit_->OnSelectionChange = nullptr;
    try {
        TStrings::Assign(source);
    } catch (...) {
        richEdit_->OnSelectionChange = std::move(saved);
        throw;
    }
    richEdit_->OnSelectionChange = std::move(saved);
}

void TvxRichEditStrings::SetUpdateState(bool updating)
{
    if (!richEdit_->Showing()) return;
    SendMessageA(richEdit_->Handle(), WM_SETREDRAW, !updating, 0);
    if (!updating) {
        richEdit_->Refresh();
        richEdit_->Perform(CM_TEXTCHANGED);
    }
}

// ---- TvxCustomRichEdit

TvxCustomRichEdit::TvxCustomRichEdit(TComponent* owner)
    : TCustomRichEdit(owner),
      lines_(std::make_unique<TvxRichEditStrings>(this)),
      printMargins_(std::make_unique<TvxPrintMargins>()),
      editorPosition_(std::make_unique<TvxFormPosition>()),
      popupOptions_(TvxRichEditPopupOptions::FromMask(0x3F8F)),
      editorOptions_(TvxRichEditOptions::FromMask(0x1FFC))
{
    HDC dc = GetDC(nullptr);
    screenPixelsPerInch_ = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    if (Application) printJobName_ = Application->Title();
}

TvxCustomRichEdit::~TvxCustomRichEdit()
{
    Destroying();
    DestroyHandle();  // while this class still answers the window's last messages
}

void TvxCustomRichEdit::Publish(TPublisher<TvxCustomRichEdit>& p)
{
    p.Property("Lines", &TvxCustomRichEdit::Lines, &TvxCustomRichEdit::SetLines).Stored(false);
}

void TvxCustomRichEdit::CreateParams(TCreateParams& params)
{
    if (richEditVersion_ <= 1) {
        TCustomRichEdit::CreateParams(params);
        return;
    }
    if (!library_) library_ = LoadRichEditLibrary();
    TCustomRichEdit::CreateParams(params);
    params.SystemClass = library_ ? "RICHEDIT20A" : "RICHEDIT";
    if (!HideScrollBars()) params.Style |= ES_DISABLENOSCROLL;
    if (!HideSelection()) params.Style |= ES_NOHIDESEL;
    params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TvxCustomRichEdit::CreateWnd()
{
    lastFormatRect_ = TRect{};
    TCustomRichEdit::CreateWnd();
    if (autoURLDetect_) {
        SendMessageA(handle_, EM_AUTOURLDETECT, TRUE, 0);
        SendMessageA(handle_, EM_SETEVENTMASK, 0, SendMessageA(handle_, EM_GETEVENTMASK, 0, 0) | ENM_LINK);
    }
}

void TvxCustomRichEdit::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case EM_FORMATRANGE:
        if (message.LParam) {
            auto* range = reinterpret_cast<FORMATRANGE*>(message.LParam);
            if (range->hdcTarget) ApplyPrintMargins(range->rc);
        }
        TCustomRichEdit::WndProc(message);
        return;
    case WM_SIZE:
        TCustomRichEdit::WndProc(message);
        if (editWidth_ == rewWindowSize) SetFormatRect();
        return;
    case WM_NCDESTROY:
        TCustomRichEdit::WndProc(message);
        if (library_) FreeLibrary(library_);
        library_ = nullptr;
        return;
    default:
        TCustomRichEdit::WndProc(message);
    }
}

void TvxCustomRichEdit::SelectionChange()
{
    TCustomRichEdit::SelectionChange();
    if (editWidth_ == rewWindowSize && Focused()) SetFormatRect();
}

void TvxCustomRichEdit::Change()
{
    if (!suppressChange_) TCustomRichEdit::Change();
}

void TvxCustomRichEdit::Loaded()
{
    TCustomRichEdit::Loaded();
    if (!state_.Contains(csDesigning) && !Visible() && HandleAllocated()) ShowWindow(handle_, SW_HIDE);
}

void TvxCustomRichEdit::Notification(TComponent* component, TOperation operation)
{
    TCustomRichEdit::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == userSpeedButton1_) userSpeedButton1_ = nullptr;
    if (component == userSpeedButton2_) userSpeedButton2_ = nullptr;
}

void TvxCustomRichEdit::SetUserSpeedButton(TSpeedButton*& field, TSpeedButton* button)
{
    field = button;
    if (!button) return;
    button->FreeNotification(this);
    button->SetVisible(false);
}

void TvxCustomRichEdit::SetAutoURLDetect(bool value)
{
    autoURLDetect_ = value;
    if (!HandleAllocated()) return;
    SendMessageA(handle_, EM_AUTOURLDETECT, value, 0);
    const LRESULT mask = SendMessageA(handle_, EM_GETEVENTMASK, 0, 0);
    SendMessageA(handle_, EM_SETEVENTMASK, 0, value ? mask | ENM_LINK : mask & ~ENM_LINK);
}

void TvxCustomRichEdit::SetOleOptions(TvxRichEditOleOptions value)
{
    if (value == oleOptions_) return;
    oleOptions_ = value;
    if (HandleAllocated()) RecreateWnd();
}

void TvxCustomRichEdit::SetRichEditVersion(Integer version)
{
    if (version == richEditVersion_) return;
    richEditVersion_ = version;
    if (HandleAllocated()) RecreateWnd();
}

void TvxCustomRichEdit::SetEditWidth(TvxRichEditWidth value)
{
    editWidth_ = value;
    lastFormatRect_ = TRect{};
    SetFormatRect();
}

void TvxCustomRichEdit::SetPaperSize(Integer value)
{
    paperSize_ = value;
    if (!GetParentForm(this) || editWidth_ == rewWindowSize) return;
    ApplyPaperSizeToPrinter();
    SetFormatRect();
}

// The printer's next device context is made from the changed device mode; its other settings stay.
void TvxCustomRichEdit::ApplyPaperSizeToPrinter()
{
    if (!PrinterAvailable()) return;
    TPrinter* printer = Printer();
    DEVMODEA* mode = printer->DeviceMode();
    if (!mode) return;
    mode->dmFields |= DM_PAPERSIZE;
    mode->dmPaperSize = SmallInt(paperSize_);
    printer->DeviceModeChanged();
}

TvxPrinterPage TvxCustomRichEdit::PrinterPage()
{
    HDC dc = Printer()->Handle();
    TvxPrinterPage page;
    page.Size = TPoint{GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT)};
    page.Offset = TPoint{GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY)};
    page.PixelsPerInchX = GetDeviceCaps(dc, LOGPIXELSX);
    page.PixelsPerInchY = GetDeviceCaps(dc, LOGPIXELSY);
    return page;
}

void TvxCustomRichEdit::SetFormatRect()
{
    if (!HandleAllocated()) return;
    TFlagScope suppress(suppressChange_, true);
    Integer scrollRoom = 0;
    INT low = 0, high = 0;
    const TScrollStyle bars = ScrollBars();
    if ((bars == ssVertical || bars == ssBoth) && GetScrollRange(handle_, SB_VERT, &low, &high) && high != low)
        scrollRoom = GetSystemMetrics(SM_CXVSCROLL);
    TRect rect;
    if (editWidth_ == rewPrinterSize) {
        if (!PrinterAvailable()) return;
        HDC screen = GetDC(nullptr);
        const Integer screenX = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        const Integer margins = UnitsToTwips(FloatToStr(printMargins_->Left() + printMargins_->Right()));
        rect = vxPrinterFormatRect(PrinterPage(), Printer()->PageHeight(), margins, screenX, screenPixelsPerInch_,
                                   leftTextMargin_);
        if (scrollRoom) rect.right -= scrollRoom + 5;
    } else {
        if (!IsWindowVisible(handle_)) return;
        rect = TRect{leftTextMargin_, 2, Width() - 4 - scrollRoom, Height()};
        if (EqualRect(&rect, &lastFormatRect_)) return;
    }
    SendMessageA(handle_, EM_SETRECT, 0, LPARAM(&rect));
    lastFormatRect_ = rect;
}

// Every page the window lays out for a device lies within the margins on the printer's page.
void TvxCustomRichEdit::ApplyPrintMargins(RECT& rect)
{
    if (!PrinterAvailable()) return;
    auto twips = [&](double margin) { return UnitsToTwips(FloatToStr(margin)); };
    rect = vxMarginRect(PrinterPage(), twips(printMargins_->Left()), twips(printMargins_->Top()),
                        twips(printMargins_->Right()), twips(printMargins_->Bottom()));
}

void TvxCustomRichEdit::Print(const std::string& caption)
{
    TPrinter* printer = Printer();
    if (editWidth_ == rewPrinterSize) ApplyPaperSizeToPrinter();
    printer->SetTitle(caption);
    printer->BeginDoc();
    HDC dc = printer->Handle();
    const Integer logX = GetDeviceCaps(dc, LOGPIXELSX), logY = GetDeviceCaps(dc, LOGPIXELSY);
    const TRect pageRect = PageRect();
    RECT area;
    if (IsRectEmpty(&pageRect))
        area = RECT{0, 0, printer->PageWidth() * 1440 / logX, printer->PageHeight() * 1440 / logY};
    else
        area = RECT{pageRect.left * 1440 / logX, pageRect.top * 1440 / logY, pageRect.right * 1440 / logX,
                    pageRect.bottom * 1440 / logY};
    FORMATRANGE range{};
    range.hdc = range.hdcTarget = dc;
    HWND window = Handle();
    auto formatPage = [&](Integer from, bool render) {
        range.rc = range.rcPage = area;
        range.chrg = CHARRANGE{from, -1};
        return Integer(SendMessageA(window, EM_FORMATRANGE, render, LPARAM(&range)));
    };
    auto releaseCache = [&] { SendMessageA(window, EM_FORMATRANGE, 0, 0); };
    const int oldMapMode = SetMapMode(dc, MM_TEXT);
    try {
        releaseCache();
        const Integer end = vxMeasurePages(formatPage, GetTextLen());
        releaseCache();
        vxPrintPages(formatPage, end, [&] { printer->NewPage(); });
        printer->EndDoc();
    } catch (...) {
        releaseCache();
        SetMapMode(dc, oldMapMode);
        if (printer->Printing()) printer->Abort();
        throw;
    }
    releaseCache();
    SetMapMode(dc, oldMapMode);
}

// ---- streaming in

bool TvxCustomRichEdit::StreamInOnce(TStream* stream, UINT format, bool firstPartOnly)
{
    HWND window = Handle();
    std::unique_ptr<TConversion> converter = DefaultConverter();
    TvxRichStreamReader reader(converter.get(), stream, firstPartOnly);
    EDITSTREAM edit{DWORD_PTR(&reader), 0, &RichStreamIn};
    const bool whole = !(format & SFF_SELECTION);
    {
        TFlagScope setting(settingText_, whole || settingText_);
        SendMessageA(window, EM_STREAMIN, format, LPARAM(&edit));
    }
    if (whole) modified_ = false;
    return edit.dwError == 0;
}

// Rich text that the window refuses is read again as plain text; whatever the window refuses last is an error.
void TvxCustomRichEdit::LoadRichStream(TStream* stream, bool firstPartOnly, bool intoSelection)
{
    const Int64 start = stream->Position();
    const UINT format = (PlainText() ? SF_TEXT : SF_RTF) | (intoSelection ? SFF_SELECTION : 0);
    if (StreamInOnce(stream, format, firstPartOnly)) return;
    if (format == SF_RTF) {
        stream->SetPosition(start);
        if (StreamInOnce(stream, SF_TEXT, firstPartOnly)) return;
    }
    throw EOutOfResources("Failed to Load Stream");
}

// An unloaded data-aware source gives its field's whole contents, never the first part it paints from.
void TvxCustomRichEdit::CopyContentTo(TCustomRichEdit* target)
{
    THourGlass hourGlass;
    TField* field = GetField();
    if (field && !IsContentLoaded()) {
        auto* richTarget = dynamic_cast<TvxCustomRichEdit*>(target);
        std::unique_ptr<TStream> blob(field->DataSet()->CreateBlobStream(field, bmRead));
        if (blob) (richTarget ? richTarget : this)->LoadRichStream(blob.get(), false, false);
        if (richTarget) return;
    }
    TvxRichMemoryStream stream;
    lines_->SaveToStream(&stream);
    stream.SetPosition(0);
    target->TCustomRichEdit::Lines()->LoadFromStream(&stream);
}

// ---- the stored form

void TvxCustomRichEdit::DefineProperties(TFiler* filer)
{
    filer->DefineProperty(
        "RichEditVersion", [this](TReader* reader) { ReadVersion(reader); },
        [this](TWriter* writer) { WriteVersion(writer); }, true);
    TCustomRichEdit::DefineProperties(filer);
    filer->DefineBinaryProperty(
        "Data", [this](TStream* stream) { ReadData(stream); }, [this](TStream* stream) { WriteData(stream); },
        GetField() == nullptr);
}

void TvxCustomRichEdit::ReadVersion(TReader* reader) { SetRichEditVersion(reader->ReadInteger()); }

void TvxCustomRichEdit::WriteVersion(TWriter* writer)
{
    richEditVersion_ = 2;
    writer->WriteInteger(2);
}

// A 4-byte little-endian length, then the contents as Lines saves them.
void TvxCustomRichEdit::WriteData(TStream* stream)
{
    TvxRichMemoryStream contents;
    lines_->SaveToStream(&contents);
    const int32_t length = int32_t(contents.Size());
    stream->WriteBuffer(&length, sizeof length);
    if (length > 0) stream->WriteBuffer(contents.Memory(), length);
}

void TvxCustomRichEdit::ReadData(TStream* stream)
{
    SetPlainText(false);
    int32_t length = 0;
    stream->ReadBuffer(&length, sizeof length);
    if (length > 0) {
        TvxRichMemoryStream contents;
        contents.CopyFrom(stream, length);
        contents.SetPosition(0);
        lines_->LoadFromStream(&contents);
    }
    readFromStoredForm_ = true;
    dataPropertyRead_ = true;
}

// Older form files keep the text as plain Lines, which may hold rich-text markup: read plainly, then read again
// as rich text.
void TvxCustomRichEdit::ReadState(TReader* reader)
{
    richEditVersion_ = 1;
    if (dataBound_) {
        TCustomRichEdit::ReadState(reader);
        return;
    }
    THourGlass hourGlass;
    dataPropertyRead_ = false;
    SetPlainText(true);
    TCustomRichEdit::ReadState(reader);
    if (dataPropertyRead_) return;
    if (!HandleAllocated()) {
        SetPlainText(false);
        return;
    }
    TvxRichMemoryStream text;
    lines_->SaveToStream(&text);
    SetPlainText(false);
    text.SetPosition(0);
    lines_->LoadFromStream(&text);
}

void TvxCustomRichEdit::DoInitDialog(TForm* form)
{
    if (OnInitDialog) OnInitDialog(form);
}

void TvxCustomRichEdit::DoCloseDialog(TForm* form)
{
    if (OnCloseDialog) OnCloseDialog(form);
}

void TvxCustomRichEdit::DoCreateDialog(TForm* form)
{
    if (OnCreateDialog) OnCreateDialog(form);
}

// ---- TvxDBRichEdit

namespace {

const bool registeredDB = (RegisterClasses<TvxDBRichEdit>(), true);

bool IsPrintable(char key) { return static_cast<unsigned char>(key) >= 32; }

}  // namespace

TvxDBRichEdit::TvxDBRichEdit(TComponent* owner)
    : TvxCustomRichEdit(owner), dataLink_(std::make_unique<TFieldDataLink>())
{
    dataLink_->SetControl(this);
    dataLink_->OnDataChange = [this](TObject*) { DataChange(); };
    dataLink_->OnEditingChange = [this](TObject*) { EditingChange(); };
    dataLink_->OnUpdateData = [this](TObject*) { UpdateData(); };
    SetOleOptions(TvxRichEditOleOptions{reoAdjustPopupMenu});
    SetLeftTextMargin(3);
}

TvxDBRichEdit::~TvxDBRichEdit()
{
    dataLink_->OnDataChange = nullptr;
    dataLink_->OnEditingChange = nullptr;
    dataLink_->OnUpdateData = nullptr;
    dataLink_->SetDataSource(nullptr);
}

void TvxDBRichEdit::Publish(TPublisher<TvxDBRichEdit>& p)
{
    p.Property("DataField", &TvxDBRichEdit::DataField, &TvxDBRichEdit::SetDataField);
    p.Property("DataSource", &TvxDBRichEdit::DataSource, &TvxDBRichEdit::SetDataSource);
    p.Property("AutoDisplay", &TvxDBRichEdit::AutoDisplay, &TvxDBRichEdit::SetAutoDisplay).Default(true);
    p.Property("ReadOnly", &TvxDBRichEdit::ReadOnly, &TvxDBRichEdit::SetReadOnly).Default(false);
    p.Property("AutoURLDetect", &TvxDBRichEdit::AutoURLDetect, &TvxDBRichEdit::SetAutoURLDetect).Default(false);
    p.Property("PrintJobName", &TvxDBRichEdit::PrintJobName, &TvxDBRichEdit::SetPrintJobName);
    p.Property("EditorCaption", &TvxDBRichEdit::EditorCaption, &TvxDBRichEdit::SetEditorCaption);
    p.Property("MeasurementUnits", &TvxDBRichEdit::MeasurementUnits, &TvxDBRichEdit::SetMeasurementUnits)
        .Default(muInches);
    p.Property("EditWidth", &TvxDBRichEdit::EditWidth, &TvxDBRichEdit::SetEditWidth).Default(rewWindowSize);
    p.Property("EditorPosition", &TvxDBRichEdit::EditorPosition, &TvxDBRichEdit::SetEditorPosition);
    p.Property("PrintMargins", &TvxDBRichEdit::PrintMargins, &TvxDBRichEdit::SetPrintMargins);
    p.Property("OnInitDialog", &TvxDBRichEdit::OnInitDialog);
    p.Property("OnCloseDialog", &TvxDBRichEdit::OnCloseDialog);
    p.Property("OnCreateDialog", &TvxDBRichEdit::OnCreateDialog);
}

bool TvxDBRichEdit::IsBlobField() const { return dynamic_cast<TBlobField*>(dataLink_->Field()) != nullptr; }

void TvxDBRichEdit::SetDataSource(TDataSource* value)
{
    dataLink_->SetDataSource(value);
    if (value) value->FreeNotification(this);
}

void TvxDBRichEdit::SetDataField(const std::string& value)
{
    if (!value.empty() && value != DataField()) TCustomEdit::SetReadOnly(true);
    dataBound_ = !value.empty();
    if (!dataBound_) TCustomEdit::SetReadOnly(dataLink_->ReadOnly());
    dataLink_->SetFieldName(value);
}

bool TvxDBRichEdit::ReadOnly() const
{
    TField* field = dataLink_->Field();
    if (!field && DataField().empty()) return TCustomEdit::ReadOnly();
    if (dataLink_->ReadOnly()) return true;
    if (field && field->DataSet()) return !field->DataSet()->CanModify();
    return false;
}

void TvxDBRichEdit::SetReadOnly(bool value)
{
    if (!FieldLinked()) TCustomEdit::SetReadOnly(value);
    dataLink_->SetReadOnly(value);
}

void TvxDBRichEdit::SetAutoDisplay(bool value)
{
    if (!FieldLinked() || value == autoDisplay_) return;
    autoDisplay_ = value;
    if (value) LoadMemo();
}

void TvxDBRichEdit::Notification(TComponent* component, TOperation operation)
{
    TvxCustomRichEdit::Notification(component, operation);
    if (operation == opRemove && dataLink_ && component == DataSource()) SetDataSource(nullptr);
}

// ---- loading

// A failed load leaves its message in the window, which then stays read-only: the message is never written back.
void TvxDBRichEdit::LoadMemo()
{
    if (!FieldLinked() || loaded_ || !IsBlobField()) return;
    TFlagScope suppress(suppressChange_, true);
    TFlagScope loading(loading_, true);
    THourGlass hourGlass;
    try {
        LoadContents();
        loadFailed_ = false;
    } catch (const EOutOfResources& error) {
        loadFailed_ = true;
        SetText(Format("(%s)", {error.Message()}));
    }
    ApplyEditingState();
    SetModified(false);
}

void TvxDBRichEdit::LoadContents()
{
    TRichProtectClass protect;
    TRichEditProtectChange saved = std::move(OnProtectChange);
    OnProtectChange = [&protect](TObject* sender, Integer startPos, Integer endPos, bool& allowChange) {
        protect.AllowChange(sender, startPos, endPos, allowChange);
    };
    try {
        loaded_ = true;
        TvxRichMemoryStream stream;
        static_cast<TBlobField*>(dataLink_->Field())->SaveToStream(&stream);
        stream.SetPosition(0);
        Lines()->Clear();
        LoadRichStream(&stream, false, false);
    } catch (...) {
        OnProtectChange = std::move(saved);
        throw;
    }
    OnProtectChange = std::move(saved);
    if (dataLink_->Field()->AsString().empty()) ResetEmptyFormatting();
}

void TvxDBRichEdit::ResetEmptyFormatting()
{
    Paragraph()->SetNumbering(nsNone);
    Paragraph()->SetAlignment(taLeftJustify);
    DefAttributes()->SetColor(clBlack);
}

void TvxDBRichEdit::LoadFromBlobField(TField* field)
{
    std::unique_ptr<TStream> blob(field->DataSet()->CreateBlobStream(field, bmRead));
    if (blob) LoadRichStream(blob.get(), true, false);
    loaded_ = false;
}

// ---- the data link

void TvxDBRichEdit::DataChange()
{
    TField* field = dataLink_->Field();
    if (!field) {
        loaded_ = false;
        SetText(state_.Contains(csDesigning) ? Name() : std::string());
    } else if (!IsBlobField()) {
        loaded_ = false;
        TFlagScope suppress(suppressChange_, true);
        SetText(focused_ && dataLink_->CanModify() ? field->Text() : field->DisplayText());
        loaded_ = true;
    } else if (autoDisplay_ || (dataLink_->Editing() && loaded_)) {
        if (editTextRemembered_ && field->AsString() == editText_) return;
        loaded_ = false;
        if (Visible() && HandleAllocated()) LoadMemo();
    } else {
        loaded_ = false;
        TFlagScope suppress(suppressChange_, true);
        SetText(Format("(%s)", {field->DisplayLabel()}));
    }
    if (HandleAllocated()) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void TvxDBRichEdit::EditingChange() { ApplyEditingState(); }

void TvxDBRichEdit::ApplyEditingState()
{
    if (FieldLinked()) TCustomEdit::SetReadOnly(!(dataLink_->Editing() && loaded_ && !loadFailed_));
}

void TvxDBRichEdit::BeginFieldEdit()
{
    if (!FieldLinked() || dataLink_->Editing()) return;
    editTextRemembered_ = IsBlobField();
    if (editTextRemembered_) editText_ = dataLink_->Field()->AsString();
    try {
        dataLink_->Edit();
    } catch (...) {
        editTextRemembered_ = false;
        editText_.clear();
        throw;
    }
    editTextRemembered_ = false;
    editText_.clear();
}

void TvxDBRichEdit::UpdateFieldData()
{
    if (!FieldLinked() || !Modified() || !loaded_ || loadFailed_) return;
    if (IsBlobField())
        dataLink_->Field()->Assign(Lines());
    else
        dataLink_->Field()->SetAsString(Text());
}

void TvxDBRichEdit::UpdateData() { UpdateFieldData(); }

// ---- keys and changes

void TvxDBRichEdit::KeyDown(Word& key, TShiftState shift)
{
    TvxCustomRichEdit::KeyDown(key, shift);
    if (!FieldLinked() || !loaded_) return;
    const bool ctrl = shift.Contains(ssCtrl), shifted = shift.Contains(ssShift);
    if (key == VK_DELETE || key == VK_BACK || (key == VK_INSERT && shifted) || (ctrl && (key == 'V' || key == 'X')))
        BeginFieldEdit();
}

void TvxDBRichEdit::KeyPress(char& key)
{
    TvxCustomRichEdit::KeyPress(key);
    if (!FieldLinked()) return;
    if (!loaded_) {
        if (key == '\r') LoadMemo();
        key = 0;
        return;
    }
    if (IsPrintable(key) && !dataLink_->Field()->IsValidChar(key)) {
        MessageBeep(0);
        key = 0;
        return;
    }
    switch (key) {
    case '\b': case '\t': case '\n': case '\r': case 0x16: case 0x18:
        BeginFieldEdit();
        break;
    case 0x1B:
        dataLink_->Reset();
        break;
    default:
        if (IsPrintable(key)) BeginFieldEdit();
    }
}

void TvxDBRichEdit::Change()
{
    if (FieldLinked() && loaded_ && !loading_ && !reparenting_ && !suppressChange_) {
        BeginFieldEdit();
        dataLink_->Modified();
    }
    TvxCustomRichEdit::Change();
}

// ---- focus, painting, messages

void TvxDBRichEdit::SetFocusedState(bool value)
{
    if (focused_ == value) return;
    focused_ = value;
    if (!IsBlobField()) dataLink_->Reset();
}

void TvxDBRichEdit::CMExit()
{
    try {
        dataLink_->UpdateRecord();
    } catch (...) {
        SetFocus();
        throw;
    }
    SetFocusedState(false);
    DoExit();
}

void TvxDBRichEdit::WMPaint(TMessage& message)
{
    if (!formatRectSet_) {
        formatRectSet_ = true;
        SetFormatRect();
    }
    if (FieldLinked() && !loaded_) LoadMemo();
    TFlagScope painting(painting_, true);
    TvxCustomRichEdit::Dispatch(message);
}

void TvxDBRichEdit::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_ENTER:
        if (FieldLinked()) SetFocusedState(true);
        TvxCustomRichEdit::Dispatch(message);
        return;
    case CM_EXIT:
        CMExit();
        return;
    case CM_GETDATALINK:
        message.Result = FieldLinked() ? reinterpret_cast<LRESULT>(dataLink_.get()) : 0;
        return;
    case WM_PAINT:
        WMPaint(message);
        return;
    case WM_ERASEBKGND:
        if (painting_) {
            message.Result = 1;
            return;
        }
        TvxCustomRichEdit::Dispatch(message);
        return;
    case WM_CUT:
    case WM_PASTE:
        if (FieldLinked()) BeginFieldEdit();
        TvxCustomRichEdit::Dispatch(message);
        return;
    case WM_LBUTTONDBLCLK:
        if (FieldLinked() && !loaded_) {
            LoadMemo();
            return;
        }
        TvxCustomRichEdit::Dispatch(message);
        return;
    default:
        TvxCustomRichEdit::Dispatch(message);
    }
}

// A bound control reloads from its field in the new parent; an unbound one keeps its text.
void TvxDBRichEdit::SetParent(TWinControl* parent)
{
    if (parent == Parent()) return;
    TFlagScope moving(reparenting_, true);
    TvxCustomRichEdit::SetParent(parent);
    if (dataBound_) loaded_ = false;
}

void TvxDBRichEdit::DestroyWnd()
{
    if (reparenting_ && dataBound_)
        TCustomEdit::DestroyWnd();
    else
        TvxCustomRichEdit::DestroyWnd();
}
