// The rich-text control's editing commands: the search over a text with wrap and replace, the context menu's
// items, the paste check, which links the shell may open and the paragraph record; under Wine the find and
// replace dialogs driven by keys, the font dialog's choice, the attribute toggles, the context menu opened with
// the right button, and link clicks.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "rtl/tests/UsSettings.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/OleStartup.h"
#include "vcl/TestHelpers.h"
#include "vcl/TestSeams.h"
#include "vxcontrols/vxriched.h"
#include "vxdata/Vxintl.h"

namespace {

// ---- the search over a plain text

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

class TTextTarget : public TvxSearchTarget {
public:
    TTextTarget(std::string text, Integer selStart, Integer selLength)
        : Text(std::move(text)), start_(selStart), length_(selLength) {}

    Integer Find(const std::string& what, Integer start, Integer length, TSearchTypes options) override
    {
        const Integer end = std::min<Integer>(start + length, Integer(Text.size()));
        for (Integer at = start; at + Integer(what.size()) <= end; ++at) {
            bool same = true;
            for (size_t i = 0; i < what.size() && same; ++i) {
                const char a = Text[size_t(at) + i], b = what[i];
                same = options.Contains(stMatchCase) ? a == b : std::tolower(a) == std::tolower(b);
            }
            const size_t after = size_t(at) + what.size();
            if (same && options.Contains(stWholeWord))
                same = (at == 0 || !IsWordChar(Text[size_t(at) - 1])) && (after >= Text.size() || !IsWordChar(Text[after]));
            if (same) return at;
        }
        return -1;
    }
    Integer TextLength() override { return Integer(Text.size()); }
    Integer SelStart() override { return start_; }
    Integer SelLength() override { return length_; }
    void Select(Integer start, Integer length) override
    {
        start_ = start;
        length_ = length;
    }
    void ReplaceSelection(const std::string& text) override
    {
        Text.replace(size_t(start_), size_t(length_), text);
        start_ += Integer(text.size());
        length_ = 0;
    }

    std::string Text;

private:
    Integer start_, length_;
};

enum TPress { Find, Replace, ReplaceAll };

TEST(RichSearch, FindsWrapsOnceStopsAtTheStartAndStartsAgainAfterTheMessage)
{
    // Each press gives "start,length" of the selection afterwards, or "message".
    struct Case {
        const char* Name;
        std::string Text;
        Integer SelStart, SelLength;
        std::string FindText;
        TSearchTypes Options;
        std::vector<std::string> Presses;
    } cases[] = {
        {"a match at the caret, at 0", "abc abc", 0, 0, "abc", {}, {"0,3", "4,3", "message", "0,3"}},
        {"only before the caret", "foo bar", 5, 0, "foo", {}, {"0,3", "message", "message"}},
        {"the selected match is stepped past", "ab ab ab", 3, 2, "ab", {}, {"6,2", "0,2", "message"}},
        {"a selection that is no match is searched from", "xab", 0, 2, "ab", {}, {"1,2", "message"}},
        {"case", "Abc abc", 0, 0, "abc", {stMatchCase}, {"4,3", "message"}},
        {"whole words", "cat concat cat", 0, 0, "cat", {stWholeWord}, {"0,3", "11,3", "message"}},
        {"no match at all", "abc", 1, 0, "x", {}, {"message", "message"}},
        {"nothing to find", "abc", 0, 0, "", {}, {"message"}},
    };
    for (const Case& c : cases) {
        TTextTarget target(c.Text, c.SelStart, c.SelLength);
        TvxFindState state;
        state.SearchStart = c.SelStart;
        TvxSearchRequest request;
        request.FindText = c.FindText;
        request.Options = c.Options;
        std::vector<std::string> presses;
        for (size_t i = 0; i < c.Presses.size(); ++i)
            presses.push_back(vxSearch(target, state, request)
                                  ? std::to_string(target.SelStart()) + "," + std::to_string(target.SelLength())
                                  : "message");
        EXPECT_EQ(presses, c.Presses) << c.Name;
        EXPECT_EQ(target.Text, c.Text) << c.Name;
    }
}

TEST(RichSearch, ReplaceTakesTheSelectedMatchAndReplaceAllEveryMatchOnce)
{
    struct Case {
        const char* Name;
        std::string Text;
        Integer Caret;
        std::string FindText, ReplaceText;
        std::vector<TPress> Presses;
        std::vector<std::string> Results;  // "start,length" or "message" after each press
        std::string Expected;
    } cases[] = {
        {"replace: first selects, then replaces and selects the next", "a a a", 0, "a", "bb",
         {Replace, Replace, Replace, Replace}, {"0,1", "3,1", "6,1", "message"}, "bb bb bb"},
        {"replace all from the middle wraps", "a a a", 2, "a", "aa", {ReplaceAll}, {"message"}, "aa aa aa"},
        {"replace all with the text found in the replacement", "a", 0, "a", "ab", {ReplaceAll}, {"message"}, "ab"},
        {"replace all after the wrap moves the start", "xy a xy a", 5, "xy", "z", {ReplaceAll}, {"message"},
         "z a z a"},
        {"replace all with nothing to replace", "abc", 1, "q", "r", {ReplaceAll}, {"message"}, "abc"},
    };
    for (const Case& c : cases) {
        TTextTarget target(c.Text, c.Caret, 0);
        TvxFindState state;
        state.SearchStart = c.Caret;
        std::vector<std::string> results;
        for (TPress press : c.Presses) {
            TvxSearchRequest request;
            request.FindText = c.FindText;
            request.ReplaceText = c.ReplaceText;
            request.Replace = true;
            request.ReplaceAll = press == ReplaceAll;
            results.push_back(vxSearch(target, state, request)
                                  ? std::to_string(target.SelStart()) + "," + std::to_string(target.SelLength())
                                  : "message");
        }
        EXPECT_EQ(results, c.Results) << c.Name;
        EXPECT_EQ(target.Text, c.Expected) << c.Name;
        EXPECT_FALSE(state.Wrapped) << c.Name;
        EXPECT_EQ(state.SearchStart, target.SelStart()) << c.Name;
    }
}

// ---- the context menu

// One letter per item, in menu order; '.' for a hidden item.
std::string Shown(const std::array<TvxPopupItemState, vxPopupItemCount>& items)
{
    const char* letters = "E-XCP-BIU-FLAT-DR-O";
    std::string shown;
    for (Integer i = 0; i < vxPopupItemCount; ++i) shown += items[i].Visible ? letters[i] : '.';
    return shown;
}

TEST(RichPopupMenu, ItemsAndSeparatorsFollowTheOptionsReadOnlyStateAndOle)
{
    const auto defaults = TvxRichEditPopupOptions::FromMask(0x3F8F);
    const auto all = TvxRichEditPopupOptions::FromMask(0x3FFF);
    struct Case {
        const char* Name;
        TvxRichEditPopupOptions Options;
        bool ReadOnly, OleDisabled;
        const char* Expected;
    } cases[] = {
        {"defaults", defaults, false, false, "E-XCP-....FLAT-DR-O"},
        {"every option", all, false, false, "E-XCP-BIU-FLAT-DR-O"},
        {"read-only", all, true, false, "E-XCP-.........D..."},
        {"without OLE", defaults, false, true, "E-XCP-....FLAT-DR.."},
        {"edit alone", {rpoPopupEdit}, false, false, "E.................."},
        {"edit and objects without OLE", {rpoPopupEdit, rpoPopupInsertObject}, false, true, "E.................."},
        {"edit and objects", {rpoPopupEdit, rpoPopupInsertObject}, false, false, "E-................O"},
        {"cut and bold", {rpoPopupCut, rpoPopupBold}, false, false, "..X..-B............"},
        {"font and find", {rpoPopupFont, rpoPopupFind}, false, false, "..........F...-D..."},
        {"find and objects", {rpoPopupFind, rpoPopupInsertObject}, false, false, "...............D.-O"},
        {"nothing", {}, false, false, "..................."},
    };
    for (const Case& c : cases) {
        TvxPopupContext context;
        context.Options = c.Options;
        context.ReadOnly = c.ReadOnly;
        context.OleDisabled = c.OleDisabled;
        EXPECT_EQ(Shown(vxPopupMenuState(context)), c.Expected) << c.Name;
    }
}

TEST(RichPopupMenu, ClipboardItemsAreEnabledAndMarksCheckedByTheSelection)
{
    struct Case {
        bool HasSelection, CanPaste, ReadOnly;
        bool Cut, Copy, Paste;
    } cases[] = {
        {false, false, false, false, false, false}, {true, true, false, true, true, true},
        {true, true, true, false, true, false},     {false, true, false, false, false, true},
    };
    for (const Case& c : cases) {
        TvxPopupContext context;
        context.Options = TvxRichEditPopupOptions::FromMask(0x3FFF);
        context.HasSelection = c.HasSelection;
        context.CanPaste = c.CanPaste;
        context.ReadOnly = c.ReadOnly;
        const auto items = vxPopupMenuState(context);
        EXPECT_EQ(items[piCut].Enabled, c.Cut);
        EXPECT_EQ(items[piCopy].Enabled, c.Copy);
        EXPECT_EQ(items[piPaste].Enabled, c.Paste);
    }
    TvxPopupContext context;
    context.Numbering = true;
    context.Style = TFontStyles{fsBold, fsUnderline};
    const auto items = vxPopupMenuState(context);
    EXPECT_TRUE(items[piBullet].Checked);
    EXPECT_TRUE(items[piBold].Checked);
    EXPECT_FALSE(items[piItalic].Checked);
    EXPECT_TRUE(items[piUnderline].Checked);
}

// ---- the paste check, links, the paragraph record

TEST(RichPasteCheck, MetafilesAllowBitmapsRefuseOtherwiseTheWindowDecides)
{
    struct Case {
        bool Window;
        std::vector<UINT> Formats;
        bool Expected;
    } cases[] = {
        {true, {}, true},
        {false, {}, false},
        {true, {CF_TEXT, CF_UNICODETEXT}, true},
        {true, {CF_BITMAP}, false},
        {true, {CF_DIB, CF_TEXT}, false},
        {true, {CF_BITMAP, CF_ENHMETAFILE}, true},
        {false, {CF_METAFILEPICT, CF_BITMAP}, true},
        {false, {CF_TEXT, CF_ENHMETAFILE}, true},
    };
    for (const Case& c : cases) EXPECT_EQ(vxPasteAllowed(c.Window, c.Formats), c.Expected) << c.Formats.size();
}

TEST(RichLinks, OnlyWebMailAndFtpAddressesGoToTheShell)
{
    for (const char* link : {"http://example.org", "HTTPS://x.y/z", "ftp://files.example.org", "mailto:a@b.c",
                             "www.example.org"})
        EXPECT_TRUE(vxShellMayOpenLink(link)) << link;
    for (const char* link : {"file://c:/windows/system32/calc.exe", "c:\\windows\\notepad.exe", "notes:1",
                             "javascript:x", "", "wwwx"})
        EXPECT_FALSE(vxShellMayOpenLink(link)) << link;
}

TEST(RichParagraphFormat, MaskBitsMapToThePlatformsAndTheVersionChoosesTheRecord)
{
    EXPECT_EQ(vxParagraphFormat(1, 0, "", false, 0, 0, 0, 0, nullptr, 0, 0, 0, 0).cbSize, 156u);
    EXPECT_EQ(vxParagraphFormat(2, 0, "", false, 0, 0, 0, 0, nullptr, 0, 0, 0, 0).cbSize, 188u);
    const DWORD platform[] = {8, 32, 4, 2, 1, 16, 64, 128, 256};
    for (Integer bit = 0; bit < 9; ++bit)
        EXPECT_EQ(vxParagraphFormat(2, Word(1 << bit), "", false, 0, 0, 0, 0, nullptr, 0, 0, 0, 0).dwMask,
                  platform[bit])
            << bit;
    EXPECT_EQ(vxParagraphFormat(2, 477, "", false, 0, 0, 0, 0, nullptr, 0, 0, 0, 0).dwMask, 0x1CFu);

    std::vector<Integer> tabs(40);
    for (Integer i = 0; i < 40; ++i) tabs[size_t(i)] = (i + 1) * 360;
    const PARAFORMAT2 f = vxParagraphFormat(2, 0x1FF, "Right", true, -360, 100, 720, 40, tabs.data(), 60, 80, 30, 5);
    EXPECT_EQ(f.wNumbering, PFN_BULLET);
    EXPECT_EQ(f.wAlignment, PFA_RIGHT);
    EXPECT_EQ(f.cTabCount, 32);
    EXPECT_EQ(f.rgxTabs[31], 32 * 360);
    EXPECT_EQ(f.dxOffset, -360);
    EXPECT_EQ(f.dxStartIndent, 720);
    EXPECT_EQ(f.dySpaceAfter, 80);
    EXPECT_EQ(f.bLineSpacingRule, 5);
    EXPECT_EQ(vxParagraphFormat(2, 1, "Left", false, 0, 0, 0, 0, nullptr, 0, 0, 0, 0).wAlignment, PFA_LEFT);
    EXPECT_EQ(vxParagraphFormat(2, 1, "anything", false, 0, 0, 0, 0, nullptr, 0, 0, 0, 0).wAlignment, PFA_CENTER);
}

// ---- under Wine

BOOL CALLBACK FindShownMenu(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32768" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Runs the action once a popup menu of this thread is open, then closes the menu.
class TWhileMenuOpen {
public:
    explicit TWhileMenuOpen(std::function<void(HWND menu)> action) : action_(std::move(action))
    {
        current = this;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~TWhileMenuOpen()
    {
        KillTimer(nullptr, timer_);
        current = nullptr;
    }
    Integer Opened = 0;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND menu = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindShownMenu, reinterpret_cast<LPARAM>(&menu));
        if (!current || !menu) return;
        ++current->Opened;
        KillTimer(nullptr, current->timer_);
        current->action_(menu);
        EndMenu();
    }

    static inline TWhileMenuOpen* current = nullptr;
    std::function<void(HWND)> action_;
    UINT_PTR timer_;
};

HWND FindDialogWindow(const char* caption)
{
    HWND found = nullptr;
    PumpUntil([&] {
        found = FindWindowA(nullptr, caption);
        return found && IsWindowVisible(found);
    });
    return found;
}

class RichCommands : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        if (!OleStarted()) Application->Initialize();
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(20, 20, 420, 300);
        form->SetCaption("Rich text commands");
        edit = new TvxCustomRichEdit(form);
        edit->SetParent(form);
        edit->SetBounds(8, 8, 390, 240);
        form->Show();
        ActivateForm(form);
        PumpMessages();
    }
    void TearDown() override
    {
        delete form;
        PumpMessages(20);
        UsSettings::TearDown();
    }
    void Select(Integer start, Integer length)
    {
        edit->SetSelStart(start);
        edit->SetSelLength(length);
    }
    std::string Selection() { return std::to_string(edit->SelStart()) + "," + std::to_string(edit->SelLength()); }
    std::vector<std::string> Messages()
    {
        std::vector<std::string> texts;
        for (const auto& box : dialogs.Shown) texts.push_back(box.Text);
        return texts;
    }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    TvxCustomRichEdit* edit = nullptr;
};

TEST_F(RichCommands, TheFindDialogSearchesFromTheCaretByKeysAndSaysWhenNoMoreMatch)
{
    edit->SetText("one two one two");
    Select(8, 0);
    edit->SetHideSelection(true);
    dialogs.AnswerNextCommonDialog(true, [](TCommonDialog* dialog) { dialog->Run(); });
    edit->ShowFindDialog();
    HWND dialog = FindDialogWindow("Find");
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(edit->HideSelection());
    EXPECT_EQ(edit->FindState().SearchStart, 8);
    SetForegroundWindow(dialog);
    PumpMessages();
    TypeText("one");
    TypeKey(VK_RETURN);
    EXPECT_EQ(Selection(), "8,3");
    EXPECT_TRUE(SaveWindowToPng(dialog, "vxriched_find_dialog.png"));
    TypeKey(VK_RETURN);
    EXPECT_EQ(Selection(), "0,3");  // wrapped
    TypeKey(VK_RETURN);
    EXPECT_EQ(Messages(), std::vector<std::string>{"No more matches found"});
    EXPECT_EQ(dialogs.Shown.at(0).Type, mtInformation);
    TypeKey(VK_RETURN);
    EXPECT_EQ(Selection(), "8,3");  // from the caret again
    EXPECT_EQ(edit->FindState().LastFindText, "one");
    TypeKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(dialog) && IsWindowVisible(dialog));
    EXPECT_TRUE(edit->HideSelection());

    // The next opening offers the selected text, or the last one searched for when the selection spans lines.
    Select(4, 3);
    edit->ShowFindDialog();
    EXPECT_EQ(edit->FindDialog()->FindText, "two");
    edit->FindDialog()->CloseDialog();
}

TEST_F(RichCommands, ReplaceAllByKeysReplacesEveryMatchOnce)
{
    edit->SetText("cat dog cat");
    Select(4, 0);
    dialogs.AnswerNextCommonDialog(true, [](TCommonDialog* dialog) { dialog->Run(); });
    edit->ShowReplaceDialog();
    HWND dialog = FindDialogWindow("Replace");
    ASSERT_TRUE(dialog);
    SetForegroundWindow(dialog);
    PumpMessages();
    TypeText("cat");
    TypeKey(VK_TAB);
    TypeText("cats");
    TypeKey('A', {ssAlt});  // Replace All
    EXPECT_EQ(edit->Text(), "cats dog cats");
    EXPECT_EQ(Messages(), std::vector<std::string>{"No more matches found"});
    EXPECT_TRUE(SaveWindowToPng(dialog, "vxriched_replace_dialog.png"));
    edit->ReplaceDialog()->CloseDialog();
}

TEST_F(RichCommands, TheFontDialogsChoiceAppliesFaceSizeColourEffectsAndCharacterSet)
{
    edit->SetText("some text");
    Select(0, 4);
    dialogs.AnswerNextCommonDialog(true, [](TCommonDialog* dialog) {
        auto* fontDialog = static_cast<TFontDialog*>(dialog);
        EXPECT_FALSE(fontDialog->Options.Contains(fdWysiwyg));
        EXPECT_EQ(fontDialog->Device, fdBoth);
        LOGFONTA chosen{};
        chosen.lfHeight = -MulDiv(14, 96, 72);
        chosen.lfWeight = FW_BOLD;
        chosen.lfUnderline = TRUE;
        chosen.lfCharSet = RUSSIAN_CHARSET;
        std::strcpy(chosen.lfFaceName, "DejaVu Serif");
        fontDialog->Font()->SetHandle(CreateFontIndirectA(&chosen));
        fontDialog->Font()->SetColor(clRed);
    });
    EXPECT_TRUE(edit->ShowFontDialog());
    TTextAttributes* attributes = edit->SelAttributes();
    EXPECT_EQ(attributes->Name(), "DejaVu Serif");
    EXPECT_EQ(attributes->Size(), 14);
    EXPECT_EQ(attributes->Color(), clRed);
    EXPECT_EQ(attributes->Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(attributes->Charset(), RUSSIAN_CHARSET);
    Select(5, 4);
    EXPECT_EQ(edit->SelAttributes()->Name(), edit->DefAttributes()->Name());

    dialogs.AnswerNextCommonDialog(false);
    EXPECT_FALSE(edit->ShowFontDialog());
    EXPECT_EQ(edit->SelAttributes()->Name(), edit->DefAttributes()->Name());

    // The face alone takes the control's character set when the face has it, else one of the face's own; a long
    // face name is cut, not overrun.
    edit->Font()->SetCharset(RUSSIAN_CHARSET);
    edit->SetSelFontName("DejaVu Sans");
    EXPECT_EQ(edit->SelAttributes()->Name(), "DejaVu Sans");
    EXPECT_EQ(edit->SelAttributes()->Charset(), RUSSIAN_CHARSET);
    edit->Font()->SetCharset(SHIFTJIS_CHARSET);
    edit->SetSelFontName("DejaVu Sans Mono");
    EXPECT_EQ(edit->SelAttributes()->Name(), "DejaVu Sans Mono");
    EXPECT_NE(edit->SelAttributes()->Charset(), SHIFTJIS_CHARSET);
    edit->SetSelFontName(std::string(40, 'F'));
    EXPECT_EQ(edit->SelAttributes()->Name(), std::string(31, 'F'));
}

TEST_F(RichCommands, TogglesBulletsAndTheDefaultAttributesFollowTheFont)
{
    edit->SetText("text");
    Select(0, 4);
    edit->SetSelStyle(fsItalic, true);
    edit->SetSelStyle(fsBold, true);
    edit->SetSelStyle(fsItalic, false);
    EXPECT_EQ(edit->SelAttributes()->Style(), TFontStyles{fsBold});
    edit->SetBullets(true);
    EXPECT_EQ(edit->Paragraph()->Numbering(), nsBullet);
    EXPECT_EQ(edit->Paragraph()->LeftIndent(), 36);  // 720 twips
    edit->SetBullets(false);
    EXPECT_EQ(edit->Paragraph()->Numbering(), nsNone);
    EXPECT_EQ(edit->Paragraph()->LeftIndent(), 36);  // numbering alone

    edit->Font()->SetName("Courier New");
    edit->Font()->SetSize(15);
    edit->Font()->SetColor(clBlue);
    EXPECT_EQ(edit->DefAttributes()->Name(), "Courier New");
    EXPECT_EQ(edit->DefAttributes()->Size(), 15);
    EXPECT_EQ(edit->DefAttributes()->Color(), clBlue);
}

TEST_F(RichCommands, TheRightButtonOpensTheMenuByOptionsAndReadOnlyState)
{
    edit->SetText("some words here");
    Select(5, 5);
    ASSERT_EQ(edit->PopupMenu(), edit->RichPopupMenu());
    ASSERT_EQ(edit->RichPopupMenu()->Items()->Count(), 19);
    auto shownCaptions = [this] {
        std::string shown;
        for (Integer i = 0; i < vxPopupItemCount; ++i)
            if (edit->PopupItem(TvxPopupItem(i))->Visible()) shown += edit->PopupItem(TvxPopupItem(i))->Caption() + "|";
        return shown;
    };
    std::string captions;
    {
        TWhileMenuOpen whileOpen([&](HWND menu) {
            captions = shownCaptions();
            EXPECT_TRUE(SaveWindowToPng(menu, "vxriched_context_menu.png"));
        });
        MouseClick(edit, TPoint{300, 120}, mbRight);  // beyond the text: the selection stays
        EXPECT_EQ(whileOpen.Opened, 1);
    }
    EXPECT_EQ(captions, "&Edit|-|Cu&t|&Copy|&Paste|-|&Font|&Bullet Style|P&aragraph|&Tabs|-|Fin&d|&Replace|-|"
                        "&Insert &Object...|");
    EXPECT_EQ(Selection(), "5,5");
    EXPECT_TRUE(edit->PopupItem(piCut)->Enabled());

    edit->SetReadOnly(true);
    {
        TWhileMenuOpen whileOpen([&](HWND) { captions = shownCaptions(); });
        MouseClick(edit, TPoint{300, 120}, mbRight);
    }
    EXPECT_EQ(captions, "&View|-|Cu&t|&Copy|&Paste|-|Fin&d|");
    EXPECT_FALSE(edit->PopupItem(piCut)->Enabled());
    EXPECT_FALSE(edit->PopupItem(piPaste)->Enabled());
    EXPECT_EQ(edit->PopupOptions(), TvxRichEditPopupOptions::FromMask(0x3F8F));
}

TEST_F(RichCommands, TheBoldItemTogglesBySelectionAndMark)
{
    edit->SetPopupOptions(TvxRichEditPopupOptions::FromMask(0x3FFF));
    edit->SetText("bold me");
    Select(0, 4);
    for (bool expectBold : {true, false}) {
        // Down to Bold: Edit, Cut, Copy, Paste, Bold (separators are skipped).
        for (Integer i = 0; i < 5; ++i) PostKeyDown(form->Handle(), VK_DOWN);
        PostKeyDown(form->Handle(), VK_RETURN);
        edit->RichPopupMenu()->Popup(form->Left() + 40, form->Top() + 40);
        PumpMessages();
        EXPECT_EQ(edit->SelAttributes()->Style().Contains(fsBold), expectBold);
    }
}

TEST_F(RichCommands, PasteIsRefusedForABitmapAndItsKeysAreConsumed)
{
    auto putOnClipboard = [this](bool bitmap) {
        ASSERT_TRUE(OpenClipboard(edit->Handle()));
        EmptyClipboard();
        if (bitmap) {
            HDC screen = GetDC(nullptr);
            SetClipboardData(CF_BITMAP, CreateCompatibleBitmap(screen, 8, 8));
            ReleaseDC(nullptr, screen);
        }
        HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 4);
        std::strcpy(static_cast<char*>(GlobalLock(text)), "abc");
        GlobalUnlock(text);
        SetClipboardData(CF_TEXT, text);
        CloseClipboard();
    };
    auto* dbEdit = new TvxDBRichEdit(form);
    dbEdit->SetParent(form);
    dbEdit->SetBounds(8, 250, 390, 24);
    PumpMessages();
    putOnClipboard(true);
    EXPECT_FALSE(edit->CanPaste());
    dbEdit->SetFocus();
    TypeKey('V', {ssCtrl});
    TypeKey(VK_INSERT, {ssShift});
    EXPECT_EQ(dbEdit->Text(), "");

    putOnClipboard(false);
    EXPECT_TRUE(edit->CanPaste());
    TypeKey('V', {ssCtrl});
    EXPECT_EQ(dbEdit->Text(), "abc");
    edit->SetReadOnly(true);
    EXPECT_TRUE(edit->CanPaste());
    EXPECT_TRUE(GetWindowLongA(edit->Handle(), GWL_STYLE) & ES_READONLY);
}

TEST_F(RichCommands, ALinkClickCallsOnUrlOpenOnceAndOnlyWebLinksReachTheShell)
{
    TScriptedProcesses processes;
    std::vector<std::string> opened;
    bool useDefault = true;
    edit->OnURLOpen = [&](TvxCustomRichEdit*, const std::string& url, bool& useDefaultOut) {
        opened.push_back(url);
        useDefaultOut = useDefault;
    };
    edit->SetAutoURLDetect(true);
    edit->SetText("see http://example.org/a here");
    PumpMessages();
    POINTL at{};
    SendMessageA(edit->Handle(), EM_POSFROMCHAR, WPARAM(&at), 8);
    const TPoint onLink{at.x + 2, at.y + 4};
    MouseClick(edit, onLink);
    EXPECT_EQ(opened, std::vector<std::string>{"http://example.org/a"});
    ASSERT_EQ(processes.Requests.size(), 1u);
    EXPECT_EQ(processes.Requests[0].Verb, "OPEN");
    EXPECT_EQ(processes.Requests[0].ApplicationName, "http://example.org/a");

    useDefault = false;
    PumpFor(GetDoubleClickTime() + 100);  // two clicks, not a double click
    MouseClick(edit, onLink);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_EQ(processes.Requests.size(), 1u);

    // The right button selects and opens the menu, never the link; its release is reported as the right button.
    useDefault = true;
    std::vector<TMouseButton> released;
    edit->OnMouseUp = [&](TObject*, TMouseButton button, TShiftState, Integer, Integer) { released.push_back(button); };
    PumpFor(GetDoubleClickTime() + 100);
    {
        TWhileMenuOpen whileOpen([](HWND) {});
        MouseClick(edit, onLink, mbRight);
    }
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_EQ(released, std::vector<TMouseButton>{mbRight});
}

}  // namespace
