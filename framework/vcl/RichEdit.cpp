#include "vcl/RichEdit.h"

#include <algorithm>
#include <exception>

#include <richedit.h>

#include "vcl/Printers.h"

namespace {

struct TStreamCookie {
    TConversion* Converter;
    TStream* Stream;
    std::exception_ptr Failure;
};

// The window's stream callbacks: no exception leaves them; a failure is kept and raised after the stream ends.
DWORD CALLBACK StreamInCallback(DWORD_PTR data, LPBYTE buffer, LONG size, LONG* done)
{
    auto* cookie = reinterpret_cast<TStreamCookie*>(data);
    try {
        *done = cookie->Converter->ConvertReadStream(cookie->Stream, reinterpret_cast<char*>(buffer), size);
        return 0;
    } catch (...) {
        cookie->Failure = std::current_exception();
        *done = 0;
        return 1;
    }
}

DWORD CALLBACK StreamOutCallback(DWORD_PTR data, LPBYTE buffer, LONG size, LONG* done)
{
    auto* cookie = reinterpret_cast<TStreamCookie*>(data);
    try {
        *done = cookie->Converter->ConvertWriteStream(cookie->Stream, reinterpret_cast<const char*>(buffer), size);
        return 0;
    } catch (...) {
        cookie->Failure = std::current_exception();
        *done = 0;
        return 1;
    }
}

Integer ScreenPixelsPerInch()
{
    HDC dc = GetDC(nullptr);
    const Integer pixels = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return pixels;
}

constexpr Integer TwipsPerPoint = 20;

}  // namespace

// By its full path, so no library of that name elsewhere on the search path is loaded in its place.
HMODULE LoadRichEditLibrary()
{
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(directory) + "\\RICHED20.DLL";
    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path.c_str());
    SetErrorMode(oldMode);
    return module;
}

// ---- TConversion

Integer TConversion::ConvertReadStream(TStream* stream, char* buffer, Integer bufferSize)
{
    return stream->Read(buffer, bufferSize);
}

Integer TConversion::ConvertWriteStream(TStream* stream, const char* buffer, Integer bufferSize)
{
    return stream->Write(buffer, bufferSize);
}

// ---- TTextAttributes

struct TTextAttributes::TFormat : CHARFORMAT2A {
    TFormat() : CHARFORMAT2A{} { cbSize = sizeof(CHARFORMAT2A); }
};

TTextAttributes::TFormat TTextAttributes::Get() const
{
    TFormat format;
    SendMessageA(richEdit_->Handle(), EM_GETCHARFORMAT, type_ == atSelected ? SCF_SELECTION : SCF_DEFAULT,
                 LPARAM(&format));
    return format;
}

void TTextAttributes::Set(TFormat& format) const
{
    SendMessageA(richEdit_->Handle(), EM_SETCHARFORMAT, type_ == atSelected ? SCF_SELECTION : SCF_DEFAULT,
                 LPARAM(&format));
}

void TTextAttributes::Assign(TPersistent* source)
{
    if (auto* font = dynamic_cast<TFont*>(source)) {
        SetColor(font->Color());
        SetName(font->Name());
        SetCharset(font->Charset());
        SetSize(font->Size());
        SetStyle(font->Style());
        SetPitch(font->Pitch());
        return;
    }
    if (auto* attributes = dynamic_cast<TTextAttributes*>(source)) {
        TFormat format = attributes->Get();
        Set(format);
        return;
    }
    TPersistent::Assign(source);
}

void TTextAttributes::AssignTo(TPersistent* dest)
{
    if (auto* font = dynamic_cast<TFont*>(dest)) {
        font->SetColor(Color());
        font->SetName(Name());
        font->SetCharset(Charset());
        font->SetSize(Size());
        font->SetStyle(Style());
        font->SetPitch(Pitch());
        return;
    }
    TPersistent::AssignTo(dest);
}

Byte TTextAttributes::Charset() const { return Get().bCharSet; }

void TTextAttributes::SetCharset(Byte charset)
{
    TFormat format;
    format.dwMask = CFM_CHARSET;
    format.bCharSet = charset;
    Set(format);
}

TColor TTextAttributes::Color() const
{
    const TFormat format = Get();
    return (format.dwEffects & CFE_AUTOCOLOR) ? clWindowText : TColor(format.crTextColor);
}

void TTextAttributes::SetColor(TColor color)
{
    TFormat format;
    format.dwMask = CFM_COLOR;
    if (color == clWindowText)
        format.dwEffects = CFE_AUTOCOLOR;
    else
        format.crTextColor = ColorToRGB(color);
    Set(format);
}

TConsistentAttributes TTextAttributes::ConsistentAttributes() const
{
    static const std::pair<DWORD, TConsistentAttribute> masks[] = {
        {CFM_BOLD, caBold},          {CFM_COLOR, caColor},         {CFM_FACE, caFace},
        {CFM_ITALIC, caItalic},      {CFM_SIZE, caSize},           {CFM_STRIKEOUT, caStrikeOut},
        {CFM_UNDERLINE, caUnderline}, {CFM_PROTECTED, caProtected}};
    const TFormat format = Get();
    TConsistentAttributes result;
    for (const auto& [mask, attribute] : masks)
        if (format.dwMask & mask) result.Include(attribute);
    return result;
}

std::string TTextAttributes::Name() const { return Get().szFaceName; }

void TTextAttributes::SetName(const std::string& name)
{
    TFormat format;
    format.dwMask = CFM_FACE;
    lstrcpynA(format.szFaceName, name.c_str(), LF_FACESIZE);
    Set(format);
}

TFontPitch TTextAttributes::Pitch() const
{
    switch (Get().bPitchAndFamily & 3) {
    case FIXED_PITCH: return fpFixed;
    case VARIABLE_PITCH: return fpVariable;
    default: return fpDefault;
    }
}

void TTextAttributes::SetPitch(TFontPitch pitch)
{
    static const BYTE pitches[] = {DEFAULT_PITCH, VARIABLE_PITCH, FIXED_PITCH};
    const TFormat current = Get();  // the pitch goes with the face
    TFormat format;
    format.dwMask = CFM_FACE;
    lstrcpynA(format.szFaceName, current.szFaceName, LF_FACESIZE);
    format.bPitchAndFamily = BYTE((current.bPitchAndFamily & ~3) | pitches[pitch]);
    Set(format);
}

bool TTextAttributes::Protected() const { return (Get().dwEffects & CFE_PROTECTED) != 0; }

void TTextAttributes::SetProtected(bool value)
{
    TFormat format;
    format.dwMask = CFM_PROTECTED;
    format.dwEffects = value ? CFE_PROTECTED : 0;
    Set(format);
}

Integer TTextAttributes::Size() const { return Get().yHeight / TwipsPerPoint; }

void TTextAttributes::SetSize(Integer size)
{
    TFormat format;
    format.dwMask = CFM_SIZE;
    format.yHeight = size * TwipsPerPoint;
    Set(format);
}

Integer TTextAttributes::Height() const { return MulDiv(Size(), ScreenPixelsPerInch(), 72); }

void TTextAttributes::SetHeight(Integer height) { SetSize(MulDiv(height, 72, ScreenPixelsPerInch())); }

TFontStyles TTextAttributes::Style() const
{
    const TFormat format = Get();
    TFontStyles style;
    if (format.dwEffects & CFE_BOLD) style.Include(fsBold);
    if (format.dwEffects & CFE_ITALIC) style.Include(fsItalic);
    if (format.dwEffects & CFE_UNDERLINE) style.Include(fsUnderline);
    if (format.dwEffects & CFE_STRIKEOUT) style.Include(fsStrikeOut);
    return style;
}

void TTextAttributes::SetStyle(TFontStyles style)
{
    TFormat format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    if (style.Contains(fsBold)) format.dwEffects |= CFE_BOLD;
    if (style.Contains(fsItalic)) format.dwEffects |= CFE_ITALIC;
    if (style.Contains(fsUnderline)) format.dwEffects |= CFE_UNDERLINE;
    if (style.Contains(fsStrikeOut)) format.dwEffects |= CFE_STRIKEOUT;
    Set(format);
}

// ---- TParaAttributes

struct TParaAttributes::TFormat : PARAFORMAT2 {
    TFormat() : PARAFORMAT2{} { cbSize = sizeof(PARAFORMAT2); }
};

TParaAttributes::TFormat TParaAttributes::Get() const
{
    TFormat format;
    SendMessageA(richEdit_->Handle(), EM_GETPARAFORMAT, 0, LPARAM(&format));
    return format;
}

void TParaAttributes::Set(TFormat& format) const
{
    SendMessageA(richEdit_->Handle(), EM_SETPARAFORMAT, 0, LPARAM(&format));
}

void TParaAttributes::Assign(TPersistent* source)
{
    if (auto* paragraph = dynamic_cast<TParaAttributes*>(source)) {
        TFormat format = paragraph->Get();
        format.dwMask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT | PFM_NUMBERING | PFM_TABSTOPS;
        Set(format);
        return;
    }
    TPersistent::Assign(source);
}

TAlignment TParaAttributes::Alignment() const
{
    switch (Get().wAlignment) {
    case PFA_RIGHT: return taRightJustify;
    case PFA_CENTER: return taCenter;
    default: return taLeftJustify;
    }
}

void TParaAttributes::SetAlignment(TAlignment value)
{
    static const WORD alignments[] = {PFA_LEFT, PFA_RIGHT, PFA_CENTER};
    TFormat format;
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = alignments[value];
    Set(format);
}

Integer TParaAttributes::FirstIndent() const { return Get().dxStartIndent / TwipsPerPoint; }

void TParaAttributes::SetFirstIndent(Integer value)
{
    TFormat format;
    format.dwMask = PFM_STARTINDENT;
    format.dxStartIndent = value * TwipsPerPoint;
    Set(format);
}

Integer TParaAttributes::LeftIndent() const { return Get().dxOffset / TwipsPerPoint; }

void TParaAttributes::SetLeftIndent(Integer value)
{
    TFormat format;
    format.dwMask = PFM_OFFSET;
    format.dxOffset = value * TwipsPerPoint;
    Set(format);
}

Integer TParaAttributes::RightIndent() const { return Get().dxRightIndent / TwipsPerPoint; }

void TParaAttributes::SetRightIndent(Integer value)
{
    TFormat format;
    format.dwMask = PFM_RIGHTINDENT;
    format.dxRightIndent = value * TwipsPerPoint;
    Set(format);
}

TNumberingStyle TParaAttributes::Numbering() const { return Get().wNumbering == PFN_BULLET ? nsBullet : nsNone; }

void TParaAttributes::SetNumbering(TNumberingStyle value)
{
    TFormat format;
    format.dwMask = PFM_NUMBERING;
    format.wNumbering = value == nsBullet ? PFN_BULLET : 0;
    Set(format);
}

Integer TParaAttributes::Tab(Integer index) const
{
    if (index < 0 || index >= MaxTabStops) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return Get().rgxTabs[index] / TwipsPerPoint;
}

void TParaAttributes::SetTab(Integer index, Integer value)
{
    if (index < 0 || index >= MaxTabStops) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    TFormat tabs = TabStops();
    tabs.rgxTabs[index] = value * TwipsPerPoint;
    tabs.cTabCount = SHORT(std::max<Integer>(tabs.cTabCount, index + 1));
    Set(tabs);
}

Integer TParaAttributes::TabCount() const { return Get().cTabCount; }

void TParaAttributes::SetTabCount(Integer count)
{
    TFormat tabs = TabStops();
    tabs.cTabCount = SHORT(std::clamp<Integer>(count, 0, MaxTabStops));
    Set(tabs);
}

// A format that changes the tab stops alone, holding the current ones.
TParaAttributes::TFormat TParaAttributes::TabStops() const
{
    const TFormat current = Get();
    TFormat tabs;
    tabs.dwMask = PFM_TABSTOPS;
    tabs.cTabCount = current.cTabCount;
    std::copy(std::begin(current.rgxTabs), std::end(current.rgxTabs), std::begin(tabs.rgxTabs));
    return tabs;
}

// ---- TRichEditStrings

Integer TRichEditStrings::GetCount() const
{
    HWND window = richEdit_->Handle();
    LRESULT count = SendMessageA(window, EM_GETLINECOUNT, 0, 0);
    const LRESULT lastStart = SendMessageA(window, EM_LINEINDEX, count - 1, 0);
    if (SendMessageA(window, EM_LINELENGTH, lastStart, 0) == 0) --count;
    return Integer(count);
}

std::string TRichEditStrings::Get(Integer index) const
{
    if (index < 0 || index >= GetCount()) ListIndexError(index);
    HWND window = richEdit_->Handle();
    const LRESULT start = SendMessageA(window, EM_LINEINDEX, index, 0);
    const LRESULT length = SendMessageA(window, EM_LINELENGTH, start, 0);
    std::vector<char> buffer(std::clamp<LRESULT>(length + 3, sizeof(WORD), 0xFFFF));
    *reinterpret_cast<WORD*>(buffer.data()) = WORD(buffer.size());
    const LRESULT got = SendMessageA(window, EM_GETLINE, index, LPARAM(buffer.data()));
    std::string line(buffer.data(), std::clamp<LRESULT>(got, 0, LRESULT(buffer.size())));
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

void TRichEditStrings::Put(Integer index, const std::string& s)
{
    if (index < 0) return;
    HWND window = richEdit_->Handle();
    const LRESULT start = SendMessageA(window, EM_LINEINDEX, index, 0);
    if (start < 0) return;
    CHARRANGE range{LONG(start), LONG(start + SendMessageA(window, EM_LINELENGTH, start, 0))};
    SendMessageA(window, EM_EXSETSEL, 0, LPARAM(&range));
    SendMessageA(window, EM_REPLACESEL, TRUE, LPARAM(s.c_str()));
}

// A line goes in before line index, or after the last line when index is the line count.
void TRichEditStrings::Insert(Integer index, const std::string& s)
{
    if (index < 0) return;
    HWND window = richEdit_->Handle();
    LRESULT start = SendMessageA(window, EM_LINEINDEX, index, 0);
    std::string text = s + "\r\n";
    if (start < 0) {
        if (index == 0) return;
        const LRESULT previous = SendMessageA(window, EM_LINEINDEX, index - 1, 0);
        if (previous < 0) return;
        start = previous + SendMessageA(window, EM_LINELENGTH, previous, 0);
        text = "\r\n" + s;
    }
    CHARRANGE range{LONG(start), LONG(start)};
    SendMessageA(window, EM_EXSETSEL, 0, LPARAM(&range));
    SendMessageA(window, EM_REPLACESEL, TRUE, LPARAM(text.c_str()));
}

void TRichEditStrings::Delete(Integer index)
{
    if (index < 0) return;
    HWND window = richEdit_->Handle();
    const LRESULT start = SendMessageA(window, EM_LINEINDEX, index, 0);
    if (start < 0) return;
    LRESULT end = SendMessageA(window, EM_LINEINDEX, index + 1, 0);
    if (end < 0) end = start + SendMessageA(window, EM_LINELENGTH, start, 0);
    CHARRANGE range{LONG(start), LONG(end)};
    SendMessageA(window, EM_EXSETSEL, 0, LPARAM(&range));
    SendMessageA(window, EM_REPLACESEL, TRUE, LPARAM(""));
}

void TRichEditStrings::Clear() { richEdit_->Clear(); }

void TRichEditStrings::LoadFromStream(TStream* stream)
{
    const Int64 position = stream->Position();
    const UINT format = richEdit_->PlainText() ? SF_TEXT : SF_RTF;
    if (richEdit_->StreamIn(stream, format)) return;
    if (format == SF_RTF) {
        stream->SetPosition(position);
        if (richEdit_->StreamIn(stream, SF_TEXT)) return;
    }
    throw EOutOfResources("Failed to Load Stream");
}

void TRichEditStrings::SaveToStream(TStream* stream) const
{
    if (!richEdit_->StreamOut(stream, richEdit_->PlainText() ? SF_TEXT : SF_RTF))
        throw EWriteError("Stream write error");
}

// The paragraphs, each ended by CR LF.
std::string TRichEditStrings::GetTextStr() const
{
    TStringStream stream;
    richEdit_->StreamOut(&stream, SF_TEXT);
    std::string text = stream.DataString();
    if (!text.empty() && (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)) text += "\r\n";
    return text;
}

void TRichEditStrings::SetTextStr(const std::string& text)
{
    TStringStream stream(text);
    richEdit_->StreamIn(&stream, SF_TEXT);
}

void TRichEditStrings::SetUpdateState(bool updating)
{
    if (!richEdit_->Showing()) return;
    SendMessageA(richEdit_->Handle(), WM_SETREDRAW, !updating, 0);
    if (!updating) {
        richEdit_->Refresh();
        richEdit_->Perform(CM_TEXTCHANGED);
    }
}

// ---- TCustomRichEdit

TConversionClass TCustomRichEdit::DefaultConverter = [] { return std::make_unique<TConversion>(); };

TCustomRichEdit::TCustomRichEdit(TComponent* owner)
    : TCustomEdit(owner),
      lines_(std::make_unique<TRichEditStrings>(this)),
      selAttributes_(std::make_unique<TTextAttributes>(this, atSelected)),
      defAttributes_(std::make_unique<TTextAttributes>(this, atDefaultText)),
      paragraph_(std::make_unique<TParaAttributes>(this))
{
    width_ = 185;
    height_ = 89;
    autoSize_ = false;
}

TCustomRichEdit::~TCustomRichEdit()
{
    Destroying();
    DestroyHandle();
}

void TCustomRichEdit::Publish(TPublisher<TCustomRichEdit>& p)
{
    p.Property("Lines", &TCustomRichEdit::Lines, &TCustomRichEdit::SetLines);
    p.Property("Alignment", &TCustomRichEdit::Alignment, &TCustomRichEdit::SetAlignment).Default(taLeftJustify);
    p.Property("HideScrollBars", &TCustomRichEdit::HideScrollBars, &TCustomRichEdit::SetHideScrollBars).Default(true);
    p.Property("HideSelection", &TCustomRichEdit::HideSelection, &TCustomRichEdit::SetHideSelection).Default(true);
    p.Property("MaxLength", &TCustomRichEdit::MaxLength, &TCustomRichEdit::SetMaxLength).Default(0);
    p.Property("PlainText", &TCustomRichEdit::PlainText, &TCustomRichEdit::SetPlainText).Default(false);
    p.Property("ScrollBars", &TCustomRichEdit::ScrollBars, &TCustomRichEdit::SetScrollBars).Default(ssNone);
    p.Property("WantReturns", &TCustomRichEdit::WantReturns, &TCustomRichEdit::SetWantReturns).Default(true);
    p.Property("WantTabs", &TCustomRichEdit::WantTabs, &TCustomRichEdit::SetWantTabs).Default(false);
    p.Property("WordWrap", &TCustomRichEdit::WordWrap, &TCustomRichEdit::SetWordWrap).Default(true);
    p.Property("OnSelectionChange", &TCustomRichEdit::OnSelectionChange);
    p.Property("OnProtectChange", &TCustomRichEdit::OnProtectChange);
    p.Property("OnResizeRequest", &TCustomRichEdit::OnResizeRequest);
    p.Property("OnSaveClipboard", &TCustomRichEdit::OnSaveClipboard);
}

void TCustomRichEdit::CreateParams(TCreateParams& params)
{
    static const HMODULE library = LoadRichEditLibrary();  // held for the program's life
    (void)library;
    TCustomEdit::CreateParams(params);
    params.SystemClass = "RICHEDIT20A";
    params.Style &= ~ES_AUTOHSCROLL;
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | (wantReturns_ ? ES_WANTRETURN : 0);
    if (!wordWrap_) params.Style |= ES_AUTOHSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
    if (!hideScrollBars_) params.Style |= ES_DISABLENOSCROLL;
    if (!hideSelection_) params.Style |= ES_NOHIDESEL;
}

void TCustomRichEdit::CreateWnd()
{
    TCustomEdit::CreateWnd();
    SendMessageA(handle_, EM_EXLIMITTEXT, 0, maxLength_ > 0 ? maxLength_ : 0x7FFFFFFE);
    SendMessageA(handle_, EM_SETTARGETDEVICE, 0, wordWrap_ ? 0 : 1);
    SetEventMask();
    if (!savedContents_) return;
    const bool modified = modified_;
    savedContents_->SetPosition(0);
    settingText_ = true;
    try {
        StreamIn(savedContents_.get(), SF_RTF);
    } catch (...) {
        settingText_ = false;
        throw;
    }
    settingText_ = false;
    savedContents_.reset();
    modified_ = modified;
}

// The text survives the window being made again.
void TCustomRichEdit::DestroyWnd()
{
    if (!state_.Contains(csDestroying)) {
        savedContents_ = std::make_unique<TMemoryStream>();
        StreamOut(savedContents_.get(), SF_RTF);
    }
    TCustomEdit::DestroyWnd();
}

void TCustomRichEdit::SetEventMask()
{
    SendMessageA(handle_, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED);
}

bool TCustomRichEdit::StreamIn(TStream* stream, UINT format)
{
    std::unique_ptr<TConversion> converter = DefaultConverter();
    TStreamCookie cookie{converter.get(), stream, nullptr};
    EDITSTREAM edit{DWORD_PTR(&cookie), 0, &StreamInCallback};
    const bool whole = !(format & SFF_SELECTION);
    if (whole) settingText_ = true;
    SendMessageA(Handle(), EM_STREAMIN, format, LPARAM(&edit));
    if (whole) {
        settingText_ = false;
        modified_ = false;
    }
    if (cookie.Failure) std::rethrow_exception(cookie.Failure);
    return edit.dwError == 0;
}

bool TCustomRichEdit::StreamOut(TStream* stream, UINT format)
{
    std::unique_ptr<TConversion> converter = DefaultConverter();
    TStreamCookie cookie{converter.get(), stream, nullptr};
    EDITSTREAM edit{DWORD_PTR(&cookie), 0, &StreamOutCallback};
    SendMessageA(Handle(), EM_STREAMOUT, format, LPARAM(&edit));
    if (cookie.Failure) std::rethrow_exception(cookie.Failure);
    return edit.dwError == 0;
}

Integer TCustomRichEdit::SelStart()
{
    CHARRANGE range{};
    SendMessageA(Handle(), EM_EXGETSEL, 0, LPARAM(&range));
    return range.cpMin;
}

void TCustomRichEdit::SetSelStart(Integer start)
{
    CHARRANGE range{start, start};
    SendMessageA(Handle(), EM_EXSETSEL, 0, LPARAM(&range));
}

Integer TCustomRichEdit::SelLength()
{
    CHARRANGE range{};
    SendMessageA(Handle(), EM_EXGETSEL, 0, LPARAM(&range));
    return range.cpMax - range.cpMin;
}

void TCustomRichEdit::SetSelLength(Integer length)
{
    CHARRANGE range{};
    SendMessageA(Handle(), EM_EXGETSEL, 0, LPARAM(&range));
    range.cpMax = range.cpMin + length;
    SendMessageA(Handle(), EM_EXSETSEL, 0, LPARAM(&range));
}

std::string TCustomRichEdit::SelText()
{
    std::string text(SelLength() * 2 + 1, '\0');
    const LRESULT length = SendMessageA(Handle(), EM_GETSELTEXT, 0, LPARAM(text.data()));
    text.resize(std::clamp<LRESULT>(length, 0, LRESULT(text.size())));
    return text;
}

void TCustomRichEdit::SetSelText(const std::string& text)
{
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, LPARAM(text.c_str()));
}

Integer TCustomRichEdit::GetTextLen()
{
    GETTEXTLENGTHEX request{GTL_PRECISE | GTL_NUMCHARS, CP_ACP};
    return Integer(SendMessageA(Handle(), EM_GETTEXTLENGTHEX, WPARAM(&request), 0));
}

// No length means no limit (the window's own default would cut long texts).
void TCustomRichEdit::SetMaxLength(Integer length)
{
    maxLength_ = length;
    if (handle_) SendMessageA(handle_, EM_EXLIMITTEXT, 0, length > 0 ? length : 0x7FFFFFFE);
}

void TCustomRichEdit::SetHideSelection(bool value)
{
    hideSelection_ = value;
    if (!handle_) return;
    SendMessageA(handle_, EM_SETOPTIONS, value ? ECOOP_AND : ECOOP_OR, value ? ~ECO_NOHIDESEL : ECO_NOHIDESEL);
    if (!value) SendMessageA(handle_, EM_HIDESELECTION, FALSE, 0);
}

void TCustomRichEdit::SetHideScrollBars(bool value)
{
    if (value == hideScrollBars_) return;
    hideScrollBars_ = value;
    RecreateWnd();
}

void TCustomRichEdit::SetScrollBars(TScrollStyle value)
{
    if (value == scrollBars_) return;
    scrollBars_ = value;
    RecreateWnd();
}

void TCustomRichEdit::SetWordWrap(bool value)
{
    if (value == wordWrap_) return;
    wordWrap_ = value;
    RecreateWnd();
}

Integer TCustomRichEdit::FindText(const std::string& searchText, Integer startPos, Integer length,
                                  TSearchTypes options)
{
    FINDTEXTA find{};
    find.chrg.cpMin = startPos;
    find.chrg.cpMax = startPos + length;
    find.lpstrText = searchText.c_str();
    WPARAM flags = FR_DOWN;
    if (options.Contains(stWholeWord)) flags |= FR_WHOLEWORD;
    if (options.Contains(stMatchCase)) flags |= FR_MATCHCASE;
    return Integer(SendMessageA(Handle(), EM_FINDTEXT, flags, LPARAM(&find)));
}

// The window lays out one page after the other from where the last one ended; printing stops at the end of the
// text and also when a page makes no progress, so a text that cannot be laid out never prints pages without end.
void TCustomRichEdit::Print(const std::string& caption)
{
    TPrinter* printer = Printer();
    printer->SetTitle(caption);
    printer->BeginDoc();
    HDC dc = printer->Handle();
    const Integer logX = GetDeviceCaps(dc, LOGPIXELSX), logY = GetDeviceCaps(dc, LOGPIXELSY);
    FORMATRANGE range{};
    range.hdc = range.hdcTarget = dc;
    if (IsRectEmpty(&pageRect_)) {
        range.rc = RECT{0, 0, printer->PageWidth() * 1440 / logX, printer->PageHeight() * 1440 / logY};
    } else {
        range.rc = RECT{pageRect_.left * 1440 / logX, pageRect_.top * 1440 / logY, pageRect_.right * 1440 / logX,
                        pageRect_.bottom * 1440 / logY};
    }
    range.rcPage = range.rc;
    const RECT pageArea = range.rc;
    const Integer textLength = GetTextLen();
    const int oldMapMode = SetMapMode(dc, MM_TEXT);
    HWND window = Handle();
    SendMessageA(window, EM_FORMATRANGE, 0, 0);
    try {
        Integer from = 0;
        for (;;) {
            range.rc = pageArea;
            range.chrg = CHARRANGE{from, -1};
            const Integer next = Integer(SendMessageA(window, EM_FORMATRANGE, TRUE, LPARAM(&range)));
            if (next <= from || next >= textLength) break;
            printer->NewPage();
            from = next;
        }
        printer->EndDoc();
    } catch (...) {
        SendMessageA(window, EM_FORMATRANGE, 0, 0);
        SetMapMode(dc, oldMapMode);
        if (printer->Printing()) printer->Abort();
        throw;
    }
    SendMessageA(window, EM_FORMATRANGE, 0, 0);
    SetMapMode(dc, oldMapMode);
}

void TCustomRichEdit::SelectionChange()
{
    if (OnSelectionChange) OnSelectionChange(this);
}

bool TCustomRichEdit::ProtectChange(Integer startPos, Integer endPos)
{
    bool allow = false;
    if (OnProtectChange) OnProtectChange(this, startPos, endPos, allow);
    return allow;
}

bool TCustomRichEdit::SaveClipboard(Integer numObjects, Integer numChars)
{
    bool save = true;
    if (OnSaveClipboard) OnSaveClipboard(this, numObjects, numChars, save);
    return save;
}

void TCustomRichEdit::RequestSize(const TRect& rect)
{
    if (OnResizeRequest) OnResizeRequest(this, rect);
}

// Notifications of the window (reflected by the parent); a non-zero answer refuses a protected change or the
// clipboard's keeping of the text.
void TCustomRichEdit::Notify(TMessage& message)
{
    const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
    switch (header->code) {
    case EN_SELCHANGE:
        SelectionChange();
        break;
    case EN_PROTECTED: {
        const auto* request = reinterpret_cast<const ENPROTECTED*>(header);
        message.Result = ProtectChange(request->chrg.cpMin, request->chrg.cpMax) ? 0 : 1;
        break;
    }
    case EN_REQUESTRESIZE:
        RequestSize(reinterpret_cast<const REQRESIZE*>(header)->rc);
        break;
    case EN_SAVECLIPBOARD: {
        const auto* request = reinterpret_cast<const ENSAVECLIPBOARD*>(header);
        message.Result = SaveClipboard(request->cObjectCount, request->cch) ? 0 : 1;
        break;
    }
    default:
        break;
    }
}

void TCustomRichEdit::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_NOTIFY:
        Notify(message);
        return;
    case WM_GETDLGCODE:
        TCustomEdit::Dispatch(message);
        if (!wantTabs_) message.Result &= ~DLGC_WANTTAB;
        if (!wantReturns_) message.Result &= ~DLGC_WANTALLKEYS;
        return;
    default:
        TCustomEdit::Dispatch(message);
    }
}
