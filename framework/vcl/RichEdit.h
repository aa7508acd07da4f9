// The rich edit: a multi-line edit over the Rich Edit 2.0 window class with character and paragraph attributes,
// its lines streamed in and out as rich text or plain text, text search and printing page by page.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rtl/Classes.h"
#include "vcl/StdCtrls.h"

class TCustomRichEdit;

class EOutOfResources : public EOutOfMemory { public: using EOutOfMemory::EOutOfMemory; };

// Loads the Rich Edit 2.0 library from the system directory (no error box when it is missing); nullptr when it
// cannot be loaded. Each call holds one more reference, which FreeLibrary gives back.
HMODULE LoadRichEditLibrary();

// Moves the bytes between a stream and the window while the rich edit streams in or out; descendants convert.
class TConversion : public TObject {
    DUN_CLASS(TConversion, TObject)
public:
    TConversion() = default;
    // Both return the number of bytes moved (0 at the end of the stream).
    virtual Integer ConvertReadStream(TStream* stream, char* buffer, Integer bufferSize);
    virtual Integer ConvertWriteStream(TStream* stream, const char* buffer, Integer bufferSize);
};
using TConversionClass = std::function<std::unique_ptr<TConversion>()>;

enum TAttributeType { atSelected, atDefaultText };
enum TConsistentAttribute { caBold, caColor, caFace, caItalic, caSize, caStrikeOut, caUnderline, caProtected };
using TConsistentAttributes = Set<TConsistentAttribute>;

// The character format of the selection or the default format of the text.
class TTextAttributes : public TPersistent {
    DUN_CLASS(TTextAttributes, TPersistent)
public:
    TTextAttributes(TCustomRichEdit* richEdit, TAttributeType type) : richEdit_(richEdit), type_(type) {}

    void Assign(TPersistent* source) override;

    Byte Charset() const;
    void SetCharset(Byte charset);
    TColor Color() const;
    void SetColor(TColor color);
    TConsistentAttributes ConsistentAttributes() const;
    std::string Name() const;
    void SetName(const std::string& name);
    TFontPitch Pitch() const;
    void SetPitch(TFontPitch pitch);
    bool Protected() const;
    void SetProtected(bool value);
    // Points.
    Integer Size() const;
    void SetSize(Integer size);
    // Pixels of the screen.
    Integer Height() const;
    void SetHeight(Integer height);
    TFontStyles Style() const;
    void SetStyle(TFontStyles style);

protected:
    void AssignTo(TPersistent* dest) override;

private:
    struct TFormat;
    TFormat Get() const;
    void Set(TFormat& format) const;

    TCustomRichEdit* richEdit_;
    TAttributeType type_;
};

enum TNumberingStyle { nsNone, nsBullet };
constexpr Integer MaxTabStops = 32;

// The paragraph format of the selection; indents and tab stops in points.
class TParaAttributes : public TPersistent {
    DUN_CLASS(TParaAttributes, TPersistent)
public:
    explicit TParaAttributes(TCustomRichEdit* richEdit) : richEdit_(richEdit) {}

    void Assign(TPersistent* source) override;

    TAlignment Alignment() const;
    void SetAlignment(TAlignment value);
    // The first line's indent from the left margin.
    Integer FirstIndent() const;
    void SetFirstIndent(Integer value);
    // The indent of the other lines, relative to the first line's.
    Integer LeftIndent() const;
    void SetLeftIndent(Integer value);
    Integer RightIndent() const;
    void SetRightIndent(Integer value);
    TNumberingStyle Numbering() const;
    void SetNumbering(TNumberingStyle value);
    Integer Tab(Integer index) const;
    void SetTab(Integer index, Integer value);
    Integer TabCount() const;
    void SetTabCount(Integer count);

private:
    struct TFormat;
    TFormat Get() const;
    void Set(TFormat& format) const;
    TFormat TabStops() const;

    TCustomRichEdit* richEdit_;
};

// The lines of a rich edit, read and written through the window.
class TRichEditStrings : public TStrings {
    DUN_CLASS(TRichEditStrings, TStrings)
public:
    explicit TRichEditStrings(TCustomRichEdit* richEdit) : richEdit_(richEdit) {}

    void Clear() override;
    void Delete(Integer index) override;
    void Insert(Integer index, const std::string& s) override;
    // Rich text unless the control's PlainText; text that is not rich text is read as plain text.
    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) const override;

protected:
    std::string Get(Integer index) const override;
    Integer GetCount() const override;
    void Put(Integer index, const std::string& s) override;
    std::string GetTextStr() const override;
    void SetTextStr(const std::string& text) override;
    void SetUpdateState(bool updating) override;

private:
    TCustomRichEdit* richEdit_;
};

enum TSearchType { stWholeWord, stMatchCase };
using TSearchTypes = Set<TSearchType>;

using TRichEditResizeEvent = std::function<void(TObject* sender, TRect rect)>;
using TRichEditProtectChange =
    std::function<void(TObject* sender, Integer startPos, Integer endPos, bool& allowChange)>;
using TRichEditSaveClipboard =
    std::function<void(TObject* sender, Integer numObjects, Integer numChars, bool& saveClipboard)>;

class TCustomRichEdit : public TCustomEdit {
    DUN_CLASS(TCustomRichEdit, TCustomEdit)
public:
    explicit TCustomRichEdit(TComponent* owner);
    ~TCustomRichEdit() override;

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* lines) { lines_->Assign(lines); }
    TTextAttributes* SelAttributes() const { return selAttributes_.get(); }
    void SetSelAttributes(TTextAttributes* value) { selAttributes_->Assign(value); }
    TTextAttributes* DefAttributes() const { return defAttributes_.get(); }
    void SetDefAttributes(TTextAttributes* value) { defAttributes_->Assign(value); }
    TParaAttributes* Paragraph() const { return paragraph_.get(); }

    // Character positions count a paragraph break as one character.
    Integer SelStart();
    void SetSelStart(Integer start);
    Integer SelLength();
    void SetSelLength(Integer length);
    std::string SelText();
    void SetSelText(const std::string& text);
    // The number of characters (paragraph breaks count one).
    Integer GetTextLen();
    Integer MaxLength() const { return maxLength_; }
    void SetMaxLength(Integer length);

    bool PlainText() const { return plainText_; }
    void SetPlainText(bool value) { plainText_ = value; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    bool HideScrollBars() const { return hideScrollBars_; }
    void SetHideScrollBars(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }
    TAlignment Alignment() const { return paragraph_->Alignment(); }
    void SetAlignment(TAlignment value) { paragraph_->SetAlignment(value); }
    // The printed area in printer pixels; empty prints on the whole printable page.
    TRect PageRect() const { return pageRect_; }
    void SetPageRect(const TRect& rect) { pageRect_ = rect; }

    // The position of the first match in StartPos .. StartPos + Length, searching forward; -1 when none.
    Integer FindText(const std::string& searchText, Integer startPos, Integer length, TSearchTypes options);
    // Prints the text on the program's printer as a document of that title, one page after the other.
    virtual void Print(const std::string& caption);
    void Dispatch(TMessage& message) override;

    // The converter streaming uses unless one is given.
    static TConversionClass DefaultConverter;

    TNotifyEvent OnSelectionChange;
    TRichEditProtectChange OnProtectChange;
    TRichEditResizeEvent OnResizeRequest;
    TRichEditSaveClipboard OnSaveClipboard;

    static void Publish(TPublisher<TCustomRichEdit>& p);

protected:
    friend class TRichEditStrings;

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void SelectionChange();
    virtual bool ProtectChange(Integer startPos, Integer endPos);
    virtual bool SaveClipboard(Integer numObjects, Integer numChars);
    virtual void RequestSize(const TRect& rect);

    // Streams the whole text (or the selection) in or out in the window's rich-text or text format.
    // Returns false when the window reported an error.
    bool StreamIn(TStream* stream, UINT format);
    bool StreamOut(TStream* stream, UINT format);

private:
    void Notify(TMessage& message);
    void SetEventMask();

    std::unique_ptr<TRichEditStrings> lines_;
    std::unique_ptr<TTextAttributes> selAttributes_;
    std::unique_ptr<TTextAttributes> defAttributes_;
    std::unique_ptr<TParaAttributes> paragraph_;
    std::unique_ptr<TMemoryStream> savedContents_;  // the text while the window is recreated
    bool plainText_ = false;
    bool hideSelection_ = true;
    bool hideScrollBars_ = true;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    TRect pageRect_{};
};

class TRichEdit : public TCustomRichEdit {
    DUN_CLASS(TRichEdit, TCustomRichEdit)
public:
    explicit TRichEdit(TComponent* owner) : TCustomRichEdit(owner) {}
};
