#include "vxcontrols/vxriched.h"

#include <algorithm>
#include <cctype>
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
#include "rtl/ProcessStart.h"
#include "vcl/Dialogs.h"
#include "vcl/Menus.h"
#include "vcl/Printers.h"
#include "vxcontrols/vxrchdlg.h"
#include "vxcontrols/vxrichtb.h"
#include "vxcontrols/vxricholecallback.h"
#include "vxdata/Vxintl.h"

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

std::string vxMeasureNumber(const std::string& text)
{
    std::string number = text;
    while (!number.empty() && IsUnitSuffix(number.back())) number.pop_back();
    const size_t first = number.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : number.substr(first);
}

bool vxIsMeasure(const std::string& text, TvxMeasurementUnits units, Integer minTwips, Integer maxTwips)
{
    const std::string number = vxMeasureNumber(text);
    double value = 0;
    if (number.empty() || !TryStrToFloat(number, value)) return false;
    // a huge number is out of range before it becomes an integer
    if (std::abs(value) * 1440 > 2.0 * vxMeasureLimitTwips * vxCentimetresPerInch) return false;
    const Integer twips = vxUnitsToTwips(number, units);
    return twips >= minTwips && twips <= maxTwips;
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

// ---- the ruler's arithmetic

double vxRulerUnitPixels(Integer screenPixelsPerInch, TvxMeasurementUnits units)
{
    return units == muCentimeters ? screenPixelsPerInch / vxCentimetresPerInch : double(screenPixelsPerInch);
}

Integer vxRulerSteps(TvxMeasurementUnits units) { return units == muCentimeters ? 4 : 8; }

Integer vxRulerSnap(Integer centre, double unitPixels, Integer steps, Integer maxValue)
{
    const Integer thousandths = Integer(std::trunc(centre / unitPixels * 1000));
    const Integer step = 1000 / steps;
    const Integer snapped = thousandths - thousandths % step;
    const Integer pixels = Integer(std::trunc(unitPixels * snapped / 1000 + 1.0));
    return maxValue != 0 ? std::min(pixels, maxValue) : pixels;
}

TvxRulerPlaces vxRulerDrop(TvxRulerMarker dragged, const TvxRulerPlaces& current, const TvxRulerPlaces& snapped)
{
    TvxRulerPlaces places = current;
    const Integer leftLimit = snapped.Right - vxRulerMinimumGap;
    switch (dragged) {
    case rmBody:
        places.Body = std::min(snapped.Body, leftLimit);
        break;
    case rmFirst:
        places.First = std::min(snapped.First, leftLimit);
        break;
    case rmRight: {
        const Integer furthestLeft = std::max(snapped.Body, snapped.First);
        places.Right = furthestLeft > leftLimit ? furthestLeft + vxRulerMinimumGap : snapped.Right;
        break;
    }
    }
    return places;
}

void vxRulerLeftIndents(Integer bodyPixels, Integer firstPixels, Integer screenPixelsPerInch, Integer& startIndent,
                        Integer& offset)
{
    const Integer left = vxRulerPixelsToTwips(bodyPixels, screenPixelsPerInch);
    const Integer first = vxRulerPixelsToTwips(firstPixels, screenPixelsPerInch);
    startIndent = first;
    offset = left + std::min(left, -first);
}

Integer vxRulerRightIndent(Integer textEdge, Integer leftTextMargin, Integer rightLeft, Integer rightHalfWidth,
                           Integer screenPixelsPerInch)
{
    return vxRulerPixelsToTwips(textEdge - 4 - leftTextMargin - rightLeft + rightHalfWidth, screenPixelsPerInch);
}

TvxRulerPlaces vxRulerFollow(Integer startIndent, Integer rightIndent, Integer offset, Integer screenPixelsPerInch,
                             const TvxRulerLayout& layout)
{
    auto px = [screenPixelsPerInch](Integer twips) { return vxRulerTwipsToPixels(twips, screenPixelsPerInch); };
    TvxRulerPlaces places;
    places.Body = px(offset) + px(startIndent) + layout.RectLeft - layout.BodyWidth / 2;
    places.Right = layout.Width - px(rightIndent) - layout.RightWidth;
    places.First = px(startIndent) + layout.RectLeft - layout.FirstWidth / 2;
    return places;
}

TvxRulerScale vxRulerScale(double length, double unitPixels, Integer steps, const TRect& rect)
{
    TvxRulerScale scale;
    for (Integer i = 0; i <= Integer(std::trunc(length)) + 1 && i < length; ++i) {
        if (i > 0) scale.Labels.push_back({i, rect.left + Integer(std::trunc(i * unitPixels))});
        for (Integer j = 1; j < steps; ++j) {
            const double at = i + double(j) / steps;
            if (at >= length) break;
            const bool half = j == steps / 2;
            scale.Ticks.push_back({rect.left + Integer(std::trunc(at * unitPixels)),
                                   rect.top + (half ? 7 : 8), rect.bottom - (half ? 5 : 7)});
        }
    }
    return scale;
}

double vxPrintableInches(const TvxPrinterPage& page, double leftMargin, double rightMargin,
                         TvxMeasurementUnits units)
{
    const Integer twips = page.Size.x * 1440 / page.PixelsPerInchX;
    const double margins = leftMargin + rightMargin;
    return twips / 1440.0 - (units == muCentimeters ? margins / vxCentimetresPerInch : margins);
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
    if (!state_.Contains(csDesigning)) {
        CreateCommandDialogs();
        BuildPopupMenu();
    }
    HDC dc = GetDC(nullptr);
    screenPixelsPerInch_ = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    oleCallback_ = new TRichEditOleCallback(this);
    oleCallback_->AddRef();
    if (Application) printJobName_ = Application->Title();
}

TvxCustomRichEdit::~TvxCustomRichEdit()
{
    Destroying();
    DestroyHandle();  // while this class still answers the window's last messages
    ReleaseOle();
    ClearOleMenuItems();
    verbNames_.clear();
    oleCallback_->Release();
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
    if (!oleOptions_.Contains(reoDisableOLE)) InstallOleCallback();
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
    case EM_FINDTEXT:
    case EM_FINDTEXTEX:
        message.WParam |= FR_DOWN;
        TCustomRichEdit::WndProc(message);
        return;
    case CN_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(message.LParam)->code == EN_LINK)
            LinkNotified(*reinterpret_cast<const ENLINK*>(message.LParam));
        else
            TCustomRichEdit::WndProc(message);
        return;
    case WM_CONTEXTMENU:
        if (oleOptions_.Contains(reoAdjustPopupMenu) && richEditOle_ && PopupMenu()) AddObjectMenuItems();
        TCustomRichEdit::WndProc(message);
        return;
    case CM_FONTCHANGED:
        TCustomRichEdit::WndProc(message);
        FollowFont();
        return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        TCustomRichEdit::WndProc(message);  // the window tells of a link click on its way
        linkArmed_ = false;
        return;
    case WM_NCDESTROY:
        TCustomRichEdit::WndProc(message);
        ReleaseOle();
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
    if (!state_.Contains(csDesigning)) SetPopupCaptions();
}

void TvxCustomRichEdit::Notification(TComponent* component, TOperation operation)
{
    TCustomRichEdit::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == userSpeedButton1_) userSpeedButton1_ = nullptr;
    if (component == userSpeedButton2_) userSpeedButton2_ = nullptr;
    // An object item goes with the menu it was added to.
    oleMenuItems_.erase(std::remove(oleMenuItems_.begin(), oleMenuItems_.end(), component), oleMenuItems_.end());
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
    p.Property("PopupOptions", &TvxDBRichEdit::PopupOptions, &TvxDBRichEdit::SetPopupOptions);
    p.Property("OleOptions", &TvxDBRichEdit::OleOptions, &TvxDBRichEdit::SetOleOptions);
    p.Property("EditorOptions", &TvxDBRichEdit::EditorOptions, &TvxDBRichEdit::SetEditorOptions);
    p.Property("OnURLOpen", &TvxDBRichEdit::OnURLOpen);
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
    const bool ctrl = shift.Contains(ssCtrl), shifted = shift.Contains(ssShift);
    if (((key == VK_INSERT && shifted) || (ctrl && key == 'V')) && !CanPaste()) {
        key = 0;
        return;
    }
    if (!FieldLinked() || !loaded_) return;
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

// ---- editing commands: the pure parts

namespace {

// The selection counts as the last hit when it holds exactly a match of the text.
bool SelectionIsHit(TvxSearchTarget& target, const TvxSearchRequest& request)
{
    const Integer start = target.SelStart();
    return target.SelLength() == Integer(request.FindText.size()) &&
           target.Find(request.FindText, start, target.TextLength(), request.Options) == start;
}

}  // namespace

bool vxSearch(TvxSearchTarget& target, TvxFindState& state, const TvxSearchRequest& request)
{
    const Integer findLength = Integer(request.FindText.size());
    // After the wrap only the part before the search start is left.
    auto counts = [&](Integer hit) { return hit >= 0 && !(state.Wrapped && hit >= state.SearchStart); };
    for (;;) {
        if (findLength == 0) break;
        if (request.Replace && SelectionIsHit(target, request)) {
            target.ReplaceSelection(request.ReplaceText);
            if (state.Wrapped) state.SearchStart += Integer(request.ReplaceText.size()) - findLength;
        }
        const Integer from = target.SelStart() + (SelectionIsHit(target, request) ? 1 : 0);
        Integer hit = target.Find(request.FindText, from, target.TextLength(), request.Options);
        if (!counts(hit)) hit = -1;
        if (hit < 0 && !state.Wrapped && target.SelStart() > 0) {
            state.Wrapped = true;
            hit = target.Find(request.FindText, 0, target.TextLength(), request.Options);
            if (!counts(hit)) hit = -1;
        }
        if (hit < 0) break;
        target.Select(hit, findLength);
        if (!request.ReplaceAll) return true;
    }
    state.SearchStart = target.SelStart();
    state.Wrapped = false;
    return false;
}

std::array<TvxPopupItemState, vxPopupItemCount> vxPopupMenuState(const TvxPopupContext& context)
{
    TvxRichEditPopupOptions o = context.Options;
    if (context.ReadOnly)
        for (TvxRichEditPopupOption option : {rpoPopupBold, rpoPopupItalic, rpoPopupUnderline, rpoPopupFont,
                                              rpoPopupBullet, rpoPopupParagraph, rpoPopupTabs, rpoPopupReplace,
                                              rpoPopupInsertObject})
            o.Exclude(option);
    // Without OLE the Insert Object item is gone, and no separator stands before nothing.
    if (context.OleDisabled) o.Exclude(rpoPopupInsertObject);
    auto any = [&](Integer from, Integer to) {
        for (Integer bit = from; bit <= to; ++bit)
            if (o.Contains(TvxRichEditPopupOption(bit))) return true;
        return false;
    };
    std::array<TvxPopupItemState, vxPopupItemCount> items{};
    static const std::pair<TvxPopupItem, TvxRichEditPopupOption> optionItems[] = {
        {piEdit, rpoPopupEdit},       {piCut, rpoPopupCut},           {piCopy, rpoPopupCopy},
        {piPaste, rpoPopupPaste},     {piBold, rpoPopupBold},         {piItalic, rpoPopupItalic},
        {piUnderline, rpoPopupUnderline}, {piFont, rpoPopupFont},     {piBullet, rpoPopupBullet},
        {piParagraph, rpoPopupParagraph}, {piTabs, rpoPopupTabs},     {piFind, rpoPopupFind},
        {piReplace, rpoPopupReplace}, {piInsertObject, rpoPopupInsertObject}};
    for (const auto& [item, option] : optionItems) items[item].Visible = o.Contains(option);
    items[piSeparator1].Visible = o.Contains(rpoPopupEdit) && any(1, 13);
    items[piSeparator2].Visible = any(1, 3) && any(4, 13);
    items[piSeparator3].Visible = any(4, 6) && any(7, 13);
    items[piSeparator4].Visible = any(7, 10) && any(11, 13);
    items[piSeparator5].Visible = any(11, 12) && any(13, 13);
    items[piCut].Enabled = context.HasSelection && !context.ReadOnly;
    items[piCopy].Enabled = context.HasSelection;
    items[piPaste].Enabled = context.CanPaste && !context.ReadOnly;
    items[piBullet].Checked = context.Numbering;
    items[piBold].Checked = context.Style.Contains(fsBold);
    items[piItalic].Checked = context.Style.Contains(fsItalic);
    items[piUnderline].Checked = context.Style.Contains(fsUnderline);
    return items;
}

bool vxPasteAllowed(bool windowCanPaste, const std::vector<UINT>& clipboardFormats)
{
    bool allowed = windowCanPaste;
    for (UINT format : clipboardFormats) {
        if (format == CF_METAFILEPICT || format == CF_ENHMETAFILE) return true;
        if (format == CF_BITMAP || format == CF_DIB || format == CF_DIBV5) allowed = false;
    }
    return allowed;
}

bool vxShellMayOpenLink(const std::string& link)
{
    std::string lower = link;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const char* prefix : {"http://", "https://", "ftp://", "mailto:", "www."})
        if (lower.rfind(prefix, 0) == 0) return true;
    return false;
}

PARAFORMAT2 vxParagraphFormat(Integer richEditVersion, Word mask, const std::string& alignmentText, bool bullet,
                              Integer offset, Integer rightIndent, Integer startIndent, Integer tabCount,
                              const Integer* tabs, Integer spaceBefore, Integer spaceAfter, Integer lineSpacing,
                              Byte lineSpacingRule)
{
    static const DWORD platformBits[] = {PFM_ALIGNMENT,   PFM_NUMBERING,   PFM_OFFSET,
                                         PFM_RIGHTINDENT, PFM_STARTINDENT, PFM_TABSTOPS,
                                         PFM_SPACEBEFORE, PFM_SPACEAFTER,  PFM_LINESPACING};
    PARAFORMAT2 format{};
    format.cbSize = richEditVersion < 2 ? sizeof(PARAFORMAT) : sizeof(PARAFORMAT2);
    for (Integer bit = 0; bit < 9; ++bit)
        if (mask & (1 << bit)) format.dwMask |= platformBits[bit];
    format.wNumbering = bullet ? PFN_BULLET : 0;
    format.dxStartIndent = startIndent;
    format.dxRightIndent = rightIndent;
    format.dxOffset = offset;
    const TvxRichEditParagraphDlg* texts = vxIntl()->RichEdit()->ParagraphDialog();
    format.wAlignment = alignmentText == texts->AlignLeft ? PFA_LEFT : alignmentText == texts->AlignRight ? PFA_RIGHT
                                                                                                      : PFA_CENTER;
    format.cTabCount = SHORT(std::clamp<Integer>(tabCount, 0, MAX_TAB_STOPS));
    for (Integer i = 0; i < format.cTabCount; ++i) format.rgxTabs[i] = tabs[i];
    format.dySpaceBefore = spaceBefore;
    format.dySpaceAfter = spaceAfter;
    format.dyLineSpacing = lineSpacing;
    format.bLineSpacingRule = lineSpacingRule;
    return format;
}

// ---- editing commands of the control

namespace {

// The control's window as the search sees it.
class TWindowSearchTarget : public TvxSearchTarget {
public:
    explicit TWindowSearchTarget(TvxCustomRichEdit* edit) : edit_(edit) {}
    Integer Find(const std::string& text, Integer start, Integer length, TSearchTypes options) override
    {
        return edit_->FindText(text, start, length, options);
    }
    Integer TextLength() override { return edit_->GetTextLen(); }
    Integer SelStart() override { return edit_->SelStart(); }
    Integer SelLength() override { return edit_->SelLength(); }
    void Select(Integer start, Integer length) override
    {
        CHARRANGE range{start, start + length};
        SendMessageA(edit_->Handle(), EM_EXSETSEL, 0, LPARAM(&range));
    }
    void ReplaceSelection(const std::string& text) override
    {
        SendMessageA(edit_->Handle(), EM_REPLACESEL, TRUE, LPARAM(text.c_str()));
    }

private:
    TvxCustomRichEdit* edit_;
};

TSearchTypes SearchTypes(TFindOptions options)
{
    TSearchTypes types;
    if (options.Contains(frMatchCase)) types.Include(stMatchCase);
    if (options.Contains(frWholeWord)) types.Include(stWholeWord);
    return types;
}

struct TFaceCharsets {
    Integer First = -1;
    bool HasPreferred = false;
    Byte Preferred;
};

int CALLBACK NoteCharset(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data)
{
    auto* charsets = reinterpret_cast<TFaceCharsets*>(data);
    if (charsets->First < 0) charsets->First = font->lfCharSet;
    if (font->lfCharSet == charsets->Preferred) charsets->HasPreferred = true;
    return 1;
}

// A character set the face's fonts are made in: the preferred one when the face has it, else its first; the
// preferred one when no font has that face.
Byte FaceCharset(const std::string& face, Byte preferred)
{
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    TFaceCharsets charsets;
    charsets.Preferred = preferred;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &wanted, NoteCharset, LPARAM(&charsets), 0);
    ReleaseDC(nullptr, dc);
    return charsets.HasPreferred || charsets.First < 0 ? preferred : Byte(charsets.First);
}

DWORD StyleEffect(TFontStyle style)
{
    static const DWORD effects[] = {CFE_BOLD, CFE_ITALIC, CFE_UNDERLINE, CFE_STRIKEOUT};
    return effects[style];
}

std::string AnsiOf(LPCOLESTR text)
{
    if (!text) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(size_t(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(std::strlen(result.c_str()));
    return result;
}

template <class T>
void ReleaseInterface(T*& object)
{
    if (object) object->Release();
    object = nullptr;
}

}  // namespace

void TvxCustomRichEdit::CreateCommandDialogs()
{
    findDialog_ = new TFindDialog(this);
    findDialog_->Options.Include(frHideUpDown);
    findDialog_->OnFind = [this](TObject*) { DialogFind(findDialog_); };
    findDialog_->OnClose = [this](TObject*) { DialogClosed(); };
    replaceDialog_ = new TReplaceDialog(this);
    replaceDialog_->OnFind = [this](TObject*) { DialogFind(replaceDialog_); };
    replaceDialog_->OnReplace = [this](TObject*) { DialogReplace(); };
    replaceDialog_->OnClose = [this](TObject*) { DialogClosed(); };
    fontDialog_ = new TFontDialog(this);
    fontDialog_->Device = fdBoth;
}

Integer TvxCustomRichEdit::FindText(const std::string& searchText, Integer startPos, Integer length,
                                    TSearchTypes options)
{
    return TCustomRichEdit::FindText(searchText, startPos, length, options);
}

void TvxCustomRichEdit::ShowFindDialog()
{
    if (!findDialog_) return;  // none in design mode
    PrepareSearchDialog(findDialog_);
    findDialog_->Execute();
}

void TvxCustomRichEdit::ShowReplaceDialog()
{
    if (!replaceDialog_) return;
    PrepareSearchDialog(replaceDialog_);
    replaceDialog_->Execute();
}

// The dialog starts with the selected text unless that spans lines; the search starts at the selection.
void TvxCustomRichEdit::PrepareSearchDialog(TFindDialog* dialog)
{
    const std::string selected = SelText();
    dialog->FindText = selected.empty() || selected.find('\r') != std::string::npos ? findState_.LastFindText
                                                                                     : selected;
    findState_.Wrapped = false;
    findState_.SearchStart = SelStart();
    if (!hideSelectionSaved_) savedHideSelection_ = HideSelection();
    hideSelectionSaved_ = true;
    SetHideSelection(false);
}

void TvxCustomRichEdit::DialogFind(TFindDialog* dialog)
{
    findState_.LastFindText = dialog->FindText;
    findDialog_->FindText = dialog->FindText;
    // The Replace dialog's own choices count for its Find Next.
    for (TFindOption option : {frMatchCase, frWholeWord}) {
        if (dialog->Options.Contains(option))
            findDialog_->Options.Include(option);
        else
            findDialog_->Options.Exclude(option);
    }
    FindNext();
}

void TvxCustomRichEdit::DialogReplace()
{
    findState_.LastFindText = replaceDialog_->FindText;
    ReplaceNext();
}

void TvxCustomRichEdit::DialogClosed()
{
    if (!hideSelectionSaved_) return;
    hideSelectionSaved_ = false;
    SetHideSelection(savedHideSelection_);
}

void TvxCustomRichEdit::FindNext() { Search(findDialog_, false); }

void TvxCustomRichEdit::ReplaceNext() { Search(replaceDialog_, true); }

void TvxCustomRichEdit::Search(TFindDialog* dialog, bool replace)
{
    if (!dialog) return;
    TvxSearchRequest request;
    request.FindText = dialog->FindText;
    request.ReplaceText = dialog->ReplaceText;
    request.Options = SearchTypes(dialog->Options);
    request.Replace = replace;
    request.ReplaceAll = replace && dialog->Options.Contains(frReplaceAll);
    TWindowSearchTarget target(this);
    if (!vxSearch(target, findState_, request))
        MessageDlg(vxIntl()->UserMessages()->LocateNoMoreMatches, mtInformation, {mbOK}, 0);
}

bool TvxCustomRichEdit::ShowFontDialog()
{
    if (!fontDialog_) return false;
    TTextAttributes* selected = SelAttributes();
    TFont* font = fontDialog_->Font();
    font->SetName(selected->Name());
    font->SetStyle(selected->Style());
    font->SetColor(selected->Color());
    font->SetSize(selected->Size());
    font->SetPitch(selected->Pitch());
    font->SetCharset(selected->Charset());
    if (editWidth_ == rewPrinterSize)
        fontDialog_->Options.Include(fdWysiwyg);
    else
        fontDialog_->Options.Exclude(fdWysiwyg);
    if (!fontDialog_->Execute()) return false;
    BeginFieldEdit();
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE |
                    CFM_CHARSET;
    std::strncpy(format.szFaceName, font->Name().c_str(), LF_FACESIZE - 1);
    format.yHeight = font->Size() * 20;
    format.crTextColor = ColorToRGB(font->Color());
    for (TFontStyle style : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
        if (font->Style().Contains(style)) format.dwEffects |= StyleEffect(style);
    format.bCharSet = font->Charset();
    ApplyCharFormat(format);
    return true;
}

void TvxCustomRichEdit::SetSelFontName(const std::string& name)
{
    if (SelAttributes()->Name() == name) return;
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_CHARSET;
    std::strncpy(format.szFaceName, name.c_str(), LF_FACESIZE - 1);
    format.bCharSet = FaceCharset(name, Font()->Charset());
    ApplyCharFormat(format);
}

void TvxCustomRichEdit::SetSelStyle(TFontStyle style, bool on)
{
    BeginFieldEdit();
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = StyleEffect(style);  // each effect's mask bit is its effect bit
    format.dwEffects = on ? StyleEffect(style) : 0;
    ApplyCharFormat(format);
}

void TvxCustomRichEdit::ApplyCharFormat(CHARFORMATA& format)
{
    SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_SELECTION, LPARAM(&format));
}

void TvxCustomRichEdit::SetBullets(bool on)
{
    if (on)
        ApplyParagraphFormat(0x06, "", true, 720, 0, 0, 0, nullptr, 0, 0, 0, 0);
    else
        ApplyParagraphFormat(0x02, "", false, 0, 0, 0, 0, nullptr, 0, 0, 0, 0);
}

void TvxCustomRichEdit::ApplyParagraphFormat(Word mask, const std::string& alignmentText, bool bullet,
                                             Integer offset, Integer rightIndent, Integer startIndent,
                                             Integer tabCount, const Integer* tabs, Integer spaceBefore,
                                             Integer spaceAfter, Integer lineSpacing, Byte lineSpacingRule)
{
    BeginFieldEdit();
    PARAFORMAT2 format = vxParagraphFormat(richEditVersion_, mask, alignmentText, bullet, offset, rightIndent,
                                           startIndent, tabCount, tabs, spaceBefore, spaceAfter, lineSpacing,
                                           lineSpacingRule);
    SendMessageA(Handle(), EM_SETPARAFORMAT, 0, LPARAM(&format));
}

PARAFORMAT2 TvxCustomRichEdit::ParagraphFormat()
{
    PARAFORMAT2 format{};
    format.cbSize = richEditVersion_ < 2 ? sizeof(PARAFORMAT) : sizeof(PARAFORMAT2);
    if (HandleAllocated()) SendMessageA(Handle(), EM_GETPARAFORMAT, 0, LPARAM(&format));
    return format;
}

bool TvxCustomRichEdit::ShowParagraphDialog()
{
    std::unique_ptr<TvxRichParagraphDialog> dialog(CreateObject<TvxRichParagraphDialog>(Application));
    dialog->Prepare(this);
    if (dialog->ShowModal() != mrOk) return false;
    dialog->ApplyToRichEdit();
    return true;
}

bool TvxCustomRichEdit::ShowTabDialog()
{
    std::unique_ptr<TvxRichTabDialog> dialog(CreateObject<TvxRichTabDialog>(Application));
    dialog->Prepare(this);
    if (dialog->ShowModal() != mrOk) return false;
    dialog->ApplyToRichEdit();
    return true;
}

// The default attributes take over what differs of the control's font.
void TvxCustomRichEdit::FollowFont()
{
    if (!HandleAllocated()) return;
    TTextAttributes* attributes = DefAttributes();
    TFont* font = Font();
    if (attributes->Name() != font->Name()) attributes->SetName(font->Name());
    if (attributes->Size() != font->Size()) attributes->SetSize(font->Size());
    if (attributes->Style() != font->Style()) attributes->SetStyle(font->Style());
    if (attributes->Color() != font->Color()) attributes->SetColor(font->Color());
    if (attributes->Charset() != font->Charset()) attributes->SetCharset(font->Charset());
    if (attributes->Pitch() != font->Pitch()) attributes->SetPitch(font->Pitch());
}

// Read-only is lifted while the window is asked, as it refuses every paste then.
bool TvxCustomRichEdit::CanPaste()
{
    HWND window = Handle();
    const bool readOnly = GetWindowLongA(window, GWL_STYLE) & ES_READONLY;
    if (readOnly) SendMessageA(window, EM_SETREADONLY, FALSE, 0);
    const bool windowCanPaste = SendMessageA(window, EM_CANPASTE, 0, 0) != 0;
    if (readOnly) SendMessageA(window, EM_SETREADONLY, TRUE, 0);
    std::vector<UINT> formats;
    if (OpenClipboard(window)) {
        for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format))
            formats.push_back(format);
        CloseClipboard();
    }
    return vxPasteAllowed(windowCanPaste, formats);
}

// ---- the context menu

TMenuItem* TvxCustomRichEdit::AddPopupItem(const std::string& caption, TNotifyEvent onClick)
{
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    popupMenu_->Items()->Add(item);
    return item;
}

// The Edit item waits for the editor window: it has no action yet.
void TvxCustomRichEdit::BuildPopupMenu()
{
    popupMenu_ = new TPopupMenu(this);
    auto send = [this](UINT msg) { return [this, msg](TObject*) { Perform(msg); }; };
    popupItems_[piEdit] = AddPopupItem("", nullptr);
    popupItems_[piSeparator1] = AddPopupItem("-", nullptr);
    popupItems_[piCut] = AddPopupItem("", send(WM_CUT));
    popupItems_[piCopy] = AddPopupItem("", send(WM_COPY));
    popupItems_[piPaste] = AddPopupItem("", send(WM_PASTE));
    popupItems_[piSeparator2] = AddPopupItem("-", nullptr);
    popupItems_[piBold] = AddPopupItem("", [this](TObject*) { ToggleStyleItem(piBold, fsBold); });
    popupItems_[piItalic] = AddPopupItem("", [this](TObject*) { ToggleStyleItem(piItalic, fsItalic); });
    popupItems_[piUnderline] = AddPopupItem("", [this](TObject*) { ToggleStyleItem(piUnderline, fsUnderline); });
    popupItems_[piSeparator3] = AddPopupItem("-", nullptr);
    popupItems_[piFont] = AddPopupItem("", [this](TObject*) { ShowFontDialog(); });
    popupItems_[piBullet] = AddPopupItem("", [this](TObject*) { ToggleBulletItem(); });
    popupItems_[piParagraph] = AddPopupItem("", [this](TObject*) { ShowParagraphDialog(); });
    popupItems_[piTabs] = AddPopupItem("", [this](TObject*) { ShowTabDialog(); });
    popupItems_[piSeparator4] = AddPopupItem("-", nullptr);
    popupItems_[piFind] = AddPopupItem("", [this](TObject*) { ShowFindDialog(); });
    popupItems_[piReplace] = AddPopupItem("", [this](TObject*) { ShowReplaceDialog(); });
    popupItems_[piSeparator5] = AddPopupItem("-", nullptr);
    popupItems_[piInsertObject] = AddPopupItem("", [this](TObject*) { InsertObjectDialog(); });
    popupMenu_->OnPopup = [this](TObject*) { UpdatePopupMenu(); };
    SetPopupCaptions();
    if (!PopupMenu()) SetPopupMenu(popupMenu_);
}

void TvxCustomRichEdit::SetPopupCaptions()
{
    if (!popupMenu_) return;
    const TvxRichEditPopupMenuLabels* labels = vxIntl()->RichEdit()->PopupMenuLabels();
    const std::pair<TvxPopupItem, std::string> captions[] = {
        {piEdit, ReadOnly() ? labels->ViewCaption : labels->EditCaption},
        {piCut, labels->CutCaption}, {piCopy, labels->CopyCaption}, {piPaste, labels->PasteCaption},
        {piBold, labels->BoldCaption}, {piItalic, labels->ItalicCaption}, {piUnderline, labels->UnderlineCaption},
        {piFont, labels->FontCaption}, {piBullet, labels->BulletStyleCaption},
        {piParagraph, labels->ParagraphCaption}, {piTabs, labels->TabsCaption}, {piFind, labels->FindCaption},
        {piReplace, labels->ReplaceCaption}, {piInsertObject, labels->InsertObjectCaption}};
    for (const auto& [item, caption] : captions) popupItems_[item]->SetCaption(caption);
}

void TvxCustomRichEdit::UpdatePopupMenu()
{
    TvxPopupContext context;
    context.Options = popupOptions_;
    context.ReadOnly = ReadOnly();
    context.OleDisabled = oleOptions_.Contains(reoDisableOLE);
    context.HasSelection = SelLength() > 0;
    context.CanPaste = CanPaste();
    context.Numbering = Paragraph()->Numbering() != nsNone;
    context.Style = SelAttributes()->Style();
    const auto states = vxPopupMenuState(context);
    SetPopupCaptions();
    for (Integer i = 0; i < vxPopupItemCount; ++i) {
        popupItems_[i]->SetVisible(states[i].Visible);
        popupItems_[i]->SetEnabled(states[i].Enabled);
        popupItems_[i]->SetChecked(states[i].Checked);
    }
}

void TvxCustomRichEdit::ToggleStyleItem(TvxPopupItem item, TFontStyle style)
{
    TMenuItem* menuItem = popupItems_[item];
    SetSelStyle(style, !menuItem->Checked());
    menuItem->SetChecked(!menuItem->Checked());
}

void TvxCustomRichEdit::ToggleBulletItem()
{
    TMenuItem* menuItem = popupItems_[piBullet];
    SetBullets(!menuItem->Checked());
    menuItem->SetChecked(!menuItem->Checked());
}

// ---- links and the mouse

void TvxCustomRichEdit::DoURLOpen(const std::string& url, bool& useDefault)
{
    if (OnURLOpen) OnURLOpen(this, url, useDefault);
}

// Only a left click that went down and up on a link opens it; the right button's emulated click never does.
void TvxCustomRichEdit::LinkNotified(const ENLINK& link)
{
    if (emulatingClick_) return;
    if (link.msg == WM_LBUTTONDOWN) {
        linkArmed_ = true;
        return;
    }
    if (link.msg != WM_LBUTTONUP || !linkArmed_) return;
    linkArmed_ = false;
    std::string url(size_t(std::max<LONG>(link.chrg.cpMax - link.chrg.cpMin, 0)) + 1, '\0');
    TEXTRANGEA range{link.chrg, url.data()};
    url.resize(size_t(std::max<LRESULT>(SendMessageA(Handle(), EM_GETTEXTRANGE, 0, LPARAM(&range)), 0)));
    bool useDefault = true;
    DoURLOpen(url, useDefault);
    if (!useDefault || !vxShellMayOpenLink(url)) return;
    THourGlass hourGlass;
    ProcessService()->ShellExecute(Handle(), "OPEN", url, "", "", SW_SHOWNORMAL);
}

// The right button first selects what it points at (an object, say); the release is reported as it happened.
// The link click is disarmed once the window has seen the release (WndProc).
void TvxCustomRichEdit::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (inMouseUp_) return;
    TFlagScope guard(inMouseUp_, true);
    if (button == mbRight) RightButtonSelect(x, y);
    TCustomRichEdit::MouseUp(button, shift, x, y);
}

void TvxCustomRichEdit::RightButtonSelect(Integer x, Integer y)
{
    HWND window = Handle();
    CHARRANGE saved{};
    SendMessageA(window, EM_EXGETSEL, 0, LPARAM(&saved));
    {
        TFlagScope emulating(emulatingClick_, true);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    CHARRANGE now{};
    SendMessageA(window, EM_EXGETSEL, 0, LPARAM(&now));
    if (now.cpMin == now.cpMax) SendMessageA(window, EM_EXSETSEL, 0, LPARAM(&saved));
}

// ---- embedded objects

void TvxCustomRichEdit::InstallOleCallback()
{
    richEditOle_ = nullptr;
    if (!SendMessageA(handle_, EM_GETOLEINTERFACE, 0, LPARAM(&richEditOle_)) || !richEditOle_)
        throw Exception("Unable to get interface");
    if (!SendMessageA(handle_, EM_SETOLECALLBACK, 0, LPARAM(oleCallback_)))
        throw Exception("Unable to set callback");
}

void TvxCustomRichEdit::ReleaseOle()
{
    ReleaseSelectedObject();
    ReleaseInterface(richEditOle_);
}

void TvxCustomRichEdit::ReleaseSelectedObject() { ReleaseInterface(selectedObject_); }

void TvxCustomRichEdit::ClearOleMenuItems()
{
    while (!oleMenuItems_.empty()) delete oleMenuItems_.back();  // each leaves the list as it goes
}

UINT TvxCustomRichEdit::RunInsertObjectDialog(OLEUIINSERTOBJECTA& data) { return OleUIInsertObjectA(&data); }

// The dialog makes the object on a storage of ours and with the window's client site; it goes in through the
// window's OLE interface, so the clipboard is left alone.
bool TvxCustomRichEdit::InsertObjectDialog()
{
    if (!richEditOle_) return false;
    IStorage* storage = nullptr;
    if (FAILED(oleCallback_->GetNewStorage(&storage))) return false;
    IOleClientSite* site = nullptr;
    richEditOle_->GetClientSite(&site);
    IOleObject* object = nullptr;
    char file[MAX_PATH] = {};
    OLEUIINSERTOBJECTA data{};
    data.cbStruct = sizeof data;
    data.dwFlags = IOF_SELECTCREATENEW | IOF_CREATENEWOBJECT | IOF_CREATEFILEOBJECT | IOF_DISABLELINK;
    data.hWndOwner = Handle();
    data.lpszFile = file;
    data.cchFile = MAX_PATH;
    data.iid = IID_IOleObject;
    data.oleRender = OLERENDER_DRAW;
    data.lpIOleClientSite = site;
    data.lpIStorage = storage;
    data.ppvObj = reinterpret_cast<void**>(&object);
    bool inserted = false;
    try {
        if (RunInsertObjectDialog(data) == OLEUI_OK && object) {
            InsertOleObject(object, storage, data.clsid);
            inserted = true;
        }
    } catch (...) {
        ReleaseInterface(object);
        ReleaseInterface(site);
        ReleaseInterface(storage);
        Invalidate();
        throw;
    }
    ReleaseInterface(object);
    ReleaseInterface(site);
    ReleaseInterface(storage);
    Invalidate();
    return inserted;
}

void TvxCustomRichEdit::InsertOleObject(IOleObject* object, IStorage* storage, const CLSID& classId)
{
    HWND window = Handle();
    IOleClientSite* site = nullptr;
    OleCheck(richEditOle_->GetClientSite(&site));
    OleSetContainedObject(object, TRUE);
    CHARRANGE range{};
    SendMessageA(window, EM_EXGETSEL, 0, LPARAM(&range));
    range.cpMax = range.cpMin;
    SendMessageA(window, EM_EXSETSEL, 0, LPARAM(&range));
    REOBJECT reo{};
    reo.cbStruct = sizeof reo;
    reo.cp = REO_CP_SELECTION;
    reo.clsid = classId;
    reo.poleobj = object;
    reo.pstg = storage;
    reo.polesite = site;
    reo.dvaspect = DVASPECT_CONTENT;
    reo.dwFlags = REO_RESIZABLE;
    const HRESULT result = richEditOle_->InsertObject(&reo);
    site->Release();
    OleCheck(result);
    if (CanFocus()) SetFocus();
    SendMessageA(window, EM_EXGETSEL, 0, LPARAM(&range));
    range.cpMin = std::max<LONG>(range.cpMax - 1, 0);
    range.cpMax = range.cpMin + 1;
    SendMessageA(window, EM_EXSETSEL, 0, LPARAM(&range));
}

// A separator and the object's item (its verbs as sub-items) go to the end of the assigned context menu.
void TvxCustomRichEdit::AddObjectMenuItems()
{
    ClearOleMenuItems();
    REOBJECT reo{};
    reo.cbStruct = sizeof reo;
    ReleaseSelectedObject();
    verbNames_.clear();
    if (FAILED(richEditOle_->GetObject(REO_IOB_SELECTION, &reo, REO_GETOBJ_POLEOBJ)) || !reo.poleobj) return;
    selectedObject_ = reo.poleobj;
    LPOLESTR typeName = nullptr;
    const bool named = SUCCEEDED(selectedObject_->GetUserType(USERCLASSTYPE_SHORT, &typeName)) && typeName;
    const std::string caption = named ? AnsiOf(typeName) + " &Object" : "Object";
    if (typeName) CoTaskMemFree(typeName);
    TMenuItem* root = PopupMenu()->Items();
    for (const std::string& text : {std::string("-"), caption}) {
        auto* item = new TMenuItem(this);
        item->SetCaption(text);
        root->Add(item);
        oleMenuItems_.push_back(item);
    }
    TMenuItem* objectItem = oleMenuItems_.back();
    if (ReadOnly()) {
        objectItem->SetEnabled(false);
        return;
    }
    if (!named) return;
    ReadVerbs(selectedObject_);
    for (size_t i = 0; i < verbNames_.size(); ++i) {
        auto* item = new TMenuItem(this);
        item->SetCaption(verbNames_[i].first);
        item->SetTag(Integer(i));
        item->SetDefault(SmallInt(LOWORD(verbNames_[i].second)) == 0);
        item->OnClick = [this](TObject* sender) { DoVerb(static_cast<TMenuItem*>(sender)->Tag()); };
        objectItem->Add(item);
    }
}

// The verbs meant for the container's menu, up to the first that is not.
void TvxCustomRichEdit::ReadVerbs(IOleObject* object)
{
    verbNames_.clear();
    IEnumOLEVERB* verbs = nullptr;
    if (FAILED(object->EnumVerbs(&verbs)) || !verbs) return;
    OLEVERB verb{};
    ULONG fetched = 0;
    while (verbs->Next(1, &verb, &fetched) == S_OK && fetched == 1) {
        const std::string name = AnsiOf(verb.lpszVerbName);
        if (verb.lpszVerbName) CoTaskMemFree(verb.lpszVerbName);
        if (verb.lVerb < 0 || !(verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU)) break;
        verbNames_.emplace_back(name, Cardinal(LOWORD(verb.lVerb)) | (Cardinal(verb.fuFlags) << 16));
    }
    verbs->Release();
}

void TvxCustomRichEdit::DoVerb(Integer index)
{
    if (!richEditOle_ || !selectedObject_) return;
    LONG verb = 0;
    if (index != 0) {
        if (index < 0 || index >= Integer(verbNames_.size())) throw EOleError("Invalid Verb");
        verb = SmallInt(LOWORD(verbNames_[size_t(index)].second));
    }
    IOleClientSite* site = nullptr;
    OleCheck(richEditOle_->GetClientSite(&site));
    RECT client = ClientRect();
    const HRESULT result = selectedObject_->DoVerb(verb, nullptr, site, 0, Handle(), &client);
    site->Release();
    OleCheck(result);
}

// ---- the ruler

TvxRulerPanel::TvxRulerPanel(TComponent* owner) : TPanel(owner) {}

void TvxRulerPanel::SetRulerRect(const TRect& rect)
{
    rulerRect_ = rect;
    Invalidate();
}

double TvxRulerPanel::UnitPixels() const
{
    return vxRulerUnitPixels(richEdit_->ScreenPixelsPerInch(), richEdit_->MeasurementUnits());
}

// The left markers' lower limit is the scale's left edge, kept as a limit even where it is 0.
void TvxRulerPanel::CreateMarkers(TComponent* owner)
{
    auto make = [this, owner](const char* bitmapName) {
        auto* marker = new TvxTrackIcon(owner);
        marker->SetParent(this);
        marker->SetBitmapName(bitmapName);
        marker->OnEndDrag = [this](TObject* sender) { MarkerEndDrag(sender); };
        const Integer h = marker->Width() / 2;
        marker->SetMinLimit(rulerRect_.left - h);
        marker->SetMaxValue(rulerRect_.right - h);
        return marker;
    };
    body_ = make("vxRulerUp");
    right_ = make("vxRulerUp");
    first_ = make("vxRulerDown");
    const Integer h = body_->Width() / 2;
    body_->SetBounds(rulerRect_.left - h, rulerRect_.bottom - body_->Height() + 4, body_->Width(), body_->Height());
    right_->SetBounds(rulerRect_.right - right_->Width() / 2, rulerRect_.bottom - right_->Height() + 4,
                      right_->Width(), right_->Height());
    first_->SetBounds(rulerRect_.left - first_->Width() / 2 + 10, rulerRect_.top - 2, first_->Width(),
                      first_->Height());
}

void TvxRulerPanel::SetPrinterWidth()
{
    const TvxPrintMargins* margins = richEdit_->PrintMargins();
    const double inches = vxPrintableInches(richEdit_->PrinterPage(), margins->Left(), margins->Right(),
                                            richEdit_->MeasurementUnits());
    SetWidth(Integer(std::trunc(richEdit_->ScreenPixelsPerInch() * inches)) + 12);
    SetRulerRect(TRect{6, 4, Width() - 6, Height() - 4});
    for (TvxTrackIcon* marker : {body_, right_, first_})
        if (marker) marker->SetMaxValue(rulerRect_.right - marker->Width() / 2);
}

void TvxRulerPanel::FollowParagraph()
{
    if (!richEdit_ || !body_) return;
    PARAFORMAT2 format{};
    if (richEdit_->HandleAllocated()) format = richEdit_->ParagraphFormat();
    const TvxRulerPlaces places =
        vxRulerFollow(format.dxStartIndent, format.dxRightIndent, format.dxOffset, richEdit_->ScreenPixelsPerInch(),
                      {rulerRect_.left, Width(), body_->Width(), right_->Width(), first_->Width()});
    body_->SetLeft(places.Body);
    right_->SetLeft(places.Right);
    first_->SetLeft(places.First);
}

TvxRulerPlaces TvxRulerPanel::MarkerPlaces() const
{
    return {body_->Left(), right_->Left(), first_->Left()};
}

void TvxRulerPanel::MarkerEndDrag(TObject* sender)
{
    const double unitPixels = UnitPixels();
    const Integer steps = vxRulerSteps(richEdit_->MeasurementUnits());
    auto snap = [&](TvxTrackIcon* marker) {
        return vxRulerSnap(marker->Left() + marker->Width() / 2, unitPixels, steps, marker->MaxValue());
    };
    const TvxRulerMarker dragged = sender == body_ ? rmBody : sender == right_ ? rmRight : rmFirst;
    const TvxRulerPlaces places = vxRulerDrop(dragged, MarkerPlaces(), {snap(body_), snap(right_), snap(first_)});
    body_->SetLeft(places.Body);
    right_->SetLeft(places.Right);
    first_->SetLeft(places.First);
    const Integer ppi = richEdit_->ScreenPixelsPerInch();
    if (dragged == rmRight) {
        const Integer w = right_->Width() / 2;
        const Integer edge = richEdit_->EditWidth() == rewPrinterSize ? right_->MaxValue() + w : richEdit_->Width();
        const Integer indent = vxRulerRightIndent(edge, richEdit_->LeftTextMargin(), right_->Left(), w, ppi);
        richEdit_->ApplyParagraphFormat(1 << 3, "", false, 0, indent, 0, 0, nullptr, 0, 0, 0, 0);
    } else {
        Integer startIndent = 0, offset = 0;
        vxRulerLeftIndents(body_->Left() - body_->MinValue(), first_->Left() - first_->MinValue(), ppi, startIndent,
                           offset);
        richEdit_->ApplyParagraphFormat((1 << 2) | (1 << 4), "", false, offset, 0, startIndent, 0, nullptr, 0, 0, 0,
                                        0);
    }
}

double TvxRulerPanel::ScaleLength()
{
    if (richEdit_->EditWidth() == rewPrinterSize) {
        const TvxPrintMargins* margins = richEdit_->PrintMargins();
        const double inches = vxPrintableInches(richEdit_->PrinterPage(), margins->Left(), margins->Right(),
                                                richEdit_->MeasurementUnits());
        return richEdit_->MeasurementUnits() == muCentimeters ? inches * vxCentimetresPerInch : inches;
    }
    return (richEdit_->Width() - 12) / UnitPixels();
}

void TvxRulerPanel::PaintFrame(TCanvas* canvas)
{
    const TRect& r = rulerRect_;
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(r);
    auto line = [canvas](TColor color, std::initializer_list<TPoint> points) {
        canvas->Pen()->SetColor(color);
        canvas->Polyline(points.begin(), Integer(points.size()));
    };
    line(clBtnShadow, {{r.left - 1, r.bottom}, {r.left - 1, r.top}, {r.right + 1, r.top}});
    line(clBlack, {{r.left, r.bottom}, {r.left, r.top + 1}, {r.right + 1, r.top + 1}});
    line(clBtnFace, {{r.left - 1, r.bottom}, {r.right + 1, r.bottom}, {r.right + 1, r.top}});
    line(clBtnHighlight, {{r.left - 1, r.bottom + 1}, {r.right + 2, r.bottom + 1}, {r.right + 2, r.top}});
}

void TvxRulerPanel::Paint()
{
    TPanel::Paint();
    if (!richEdit_) return;
    TCanvas* canvas = Canvas();
    PaintFrame(canvas);
    const TvxRulerScale scale =
        vxRulerScale(ScaleLength(), UnitPixels(), vxRulerSteps(richEdit_->MeasurementUnits()), rulerRect_);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(clBlack);
    for (const TvxRulerLabel& label : scale.Labels) {
        const std::string text = std::to_string(label.Number);
        canvas->TextOut(label.X - canvas->TextWidth(text) / 2, rulerRect_.top + 3, text);
    }
    canvas->Pen()->SetColor(clBlack);
    for (const TvxRulerTick& tick : scale.Ticks) {
        canvas->MoveTo(tick.X, tick.Top);
        canvas->LineTo(tick.X, tick.Bottom);
    }
}
