// The library's rich-text control: the stream reader over chunked input, the memory stream, units and margins,
// the print loop, and under Wine the window itself: loading and saving, the line list, the stored form, copying,
// printing within the margins and the paper size.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "classes/ClassRegistry.h"
#include "classes/FormResource.h"
#include "db/DBErrors.h"
#include "db/MemDataSet.h"
#include "rtl/tests/UsSettings.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Printers.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/vxriched.h"

#include <richedit.h>

namespace {

using Lines = std::vector<std::string>;

// Hands the reader at most Limit bytes per read, so parts end where the test says.
class TShortReads : public TConversion {
public:
    explicit TShortReads(Integer limit) : limit_(limit) {}
    Integer ConvertReadStream(TStream* stream, char* buffer, Integer size) override
    {
        return stream->Read(buffer, std::min(size, limit_));
    }

private:
    Integer limit_;
};

// Every part the reader gives a window buffer of that size, until the end.
std::vector<std::string> ReadParts(TvxRichStreamReader& reader, Integer bufferSize)
{
    std::vector<std::string> parts;
    std::vector<char> buffer(bufferSize);
    for (int guard = 0; guard < 1000; ++guard) {
        const Integer count = reader.Next(buffer.data(), bufferSize);
        if (count == 0) break;
        parts.emplace_back(buffer.data(), count);
    }
    return parts;
}

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const auto& part : parts) text += part;
    return text;
}

TEST(RichStreamReader, LineEndsBecomeCrLfAndNoneIsLostWhereAPartEnds)
{
    struct Case {
        const char* Name;
        std::string Input;
        Integer Limit;  // bytes per read
        std::string Expected;
    } cases[] = {
        {"LF", "one\ntwo\n", 100, "one\r\ntwo\r\n"},
        {"CR LF kept", "one\r\ntwo", 100, "one\r\ntwo"},
        {"lone CR mid-part", "one\rtwo", 100, "one\r\ntwo"},
        {"CR LF split between parts", "abc\r\ndef", 4, "abc\r\ndef"},
        {"lone CR ending a part", "abc\rdef", 4, "abc\r\ndef"},
        {"CR ending the data", "abc\r", 4, "abc\r\n"},
        {"a part of one CR", "a\r\rb", 2, "a\r\n\r\nb"},
        {"LF after a held CR alone", "ab\r\n", 3, "ab\r\n"},
        {"empty", "", 4, ""},
    };
    for (const Case& c : cases) {
        TStringStream stream(c.Input);
        TShortReads converter(c.Limit);
        TvxRichStreamReader reader(&converter, &stream, false);
        EXPECT_EQ(Joined(ReadParts(reader, 64)), c.Expected) << c.Name;
    }
}

TEST(RichStreamReader, NoPartExceedsTheWindowsBuffer)
{
    const std::string input(500, '\n');
    for (Integer size : {4, 5, 7, 64}) {
        TStringStream stream("x\r" + input + "\r");
        TConversion converter;
        TvxRichStreamReader reader(&converter, &stream, false);
        const auto parts = ReadParts(reader, size);
        for (const auto& part : parts) EXPECT_LE(Integer(part.size()), size);
        EXPECT_EQ(Joined(parts).size(), 1 + 2 * (input.size() + 1)) << size;  // x, CR LF per LF, the last CR
    }
}

TEST(RichStreamReader, FirstPartOnlyReadsOnePartCutAfterTheFirstParagraph)
{
    struct Case {
        std::string Input;
        std::string Expected;
    } cases[] = {
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard first\\par{\\b second}\\par}", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard first\\par}"},
        {"{\\rtf1 no paragraph {\\b here}}", "{\\rtf1 no paragraph {\\b here}}"},
        {"{\\rtf1\\pard no group after}", "{\\rtf1\\pard no group after}"},
    };
    for (const Case& c : cases) {
        TStringStream stream(c.Input + std::string(300, 'x'));
        TShortReads converter(Integer(c.Input.size()));
        TvxRichStreamReader reader(&converter, &stream, true);
        EXPECT_EQ(ReadParts(reader, 4096), (std::vector<std::string>{c.Expected}));
    }
}

TEST(RichMemoryStream, GrowsInStepsOf128KbAndKeepsItsBytes)
{
    TvxRichMemoryStream stream;
    EXPECT_EQ(stream.Capacity(), 0);
    stream.WriteBuffer("a", 1);
    EXPECT_EQ(stream.Capacity(), 131072);
    const std::string block(131072, 'b');
    stream.WriteBuffer(block.data(), Integer(block.size()));
    EXPECT_EQ(stream.Capacity(), 262144);
    EXPECT_EQ(stream.Size(), 131073);
    stream.SetPosition(131071);
    char tail[3] = {};
    EXPECT_EQ(stream.Read(tail, 3), 2);
    EXPECT_EQ(std::string(tail, 2), "bb");
    stream.SetPosition(0);
    stream.ReadBuffer(tail, 1);
    EXPECT_EQ(tail[0], 'a');

    stream.SetCapacity(131073);
    EXPECT_EQ(stream.Capacity(), 262144);
    stream.SetSize(0);
    EXPECT_EQ(stream.Capacity(), 0);
    EXPECT_EQ(stream.Memory(), nullptr);
}

TEST(RichMemoryStream, NoMemoryIsAStreamErrorAndKeepsTheBlock)
{
    TvxRichMemoryStream stream;
    stream.WriteBuffer("abc", 3);
    try {
        stream.SetSize(Int64(1) << 50);
        FAIL() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Out of memory while expanding memory stream");
    }
    EXPECT_EQ(stream.Size(), 3);
    EXPECT_EQ(std::string(static_cast<const char*>(stream.Memory()), 3), "abc");
}

class Units : public UsSettings {};

TEST_F(Units, ConvertBetweenTwipsAndInchesOrCentimetres)
{
    struct ToUnits {
        Integer Twips;
        TvxMeasurementUnits Unit;
        double Expected;
    } toUnits[] = {
        {1440, muInches, 1.0}, {720, muInches, 0.5}, {1000, muInches, 0.69}, {1440, muCentimeters, 2.54},
        {567, muCentimeters, 1.0}, {0, muCentimeters, 0.0},
    };
    for (const auto& c : toUnits) EXPECT_DOUBLE_EQ(vxTwipsToUnits(c.Twips, c.Unit), c.Expected) << c.Twips;

    struct ToTwips {
        const char* Text;
        TvxMeasurementUnits Unit;
        Integer Expected;
    } toTwips[] = {
        {"1", muInches, 1440},      {"1''", muInches, 1440},       {"0.7", muInches, 1008},  // not 1007
        {"1.5  ", muInches, 2160},  {"1 cm", muCentimeters, 567},  {"2.537CM", muCentimeters, 1440},
        {"0.35", muInches, 504},    {"-0.5''", muInches, -720},
    };
    for (const auto& c : toTwips) EXPECT_EQ(vxUnitsToTwips(c.Text, c.Unit), c.Expected) << c.Text;
    EXPECT_THROW(vxUnitsToTwips("one inch", muInches), EConvertError);
    EXPECT_THROW(vxUnitsToTwips("cm", muCentimeters), EConvertError);
}

TEST_F(Units, TextsShowTheUnitAndCutToTheRulersStep)
{
    EXPECT_EQ(vxFormatUnitsPlain(1.5, muInches), "1.5''");
    EXPECT_EQ(vxFormatUnitsPlain(1.5, muCentimeters), "1.5 cm");
    struct Case {
        Integer Steps;
        double Value;
        TvxMeasurementUnits Unit;
        const char* Expected;
    } cases[] = {
        {8, 0.45, muInches, "0.5''"},   {0, 0.45, muInches, "0.5''"},       {0, 0.4, muInches, "0.375''"},
        {0, 1.23, muCentimeters, "1.25 cm"}, {4, 1.0, muInches, "1''"},     {8, -0.45, muInches, "-0.5''"},
    };
    for (const Case& c : cases) EXPECT_EQ(vxFormatUnits(c.Steps, c.Value, c.Unit), c.Expected) << c.Value;
}

// A letter page of a 600-pixel printer whose printable area starts 75 pixels in (180 twips).
const TvxPrinterPage Letter{TPoint{5100, 6600}, TPoint{75, 75}, 600, 600};

TEST(MarginRect, MarginsLessTheOffsetClippedToThePrintableArea)
{
    struct Case {
        const char* Name;
        Integer Left, Top, Right, Bottom;  // twips
        TRect Expected;
    } cases[] = {
        {"one inch each", 1440, 1440, 1440, 1440, TRect{1260, 1260, 10620, 14220}},
        {"no margins", 0, 0, 0, 0, TRect{0, 0, 11880, 15480}},
        {"left beyond the page", 20000, 1440, 1440, 1440, TRect{11880, 1260, 11880, 14220}},
        {"right margin left of the left", 7200, 1440, 7200, 1440, TRect{7020, 1260, 7020, 14220}},
        {"top below the page", 1440, 28800, 1440, 1440, TRect{1260, 15480, 10620, 15480}},
        {"bottom above the top", 1440, 9000, 1440, 9000, TRect{1260, 8820, 10620, 8820}},
    };
    for (const Case& c : cases) {
        const TRect rect = vxMarginRect(Letter, c.Left, c.Top, c.Right, c.Bottom);
        EXPECT_TRUE(EqualRect(&rect, &c.Expected))
            << c.Name << ": " << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
        EXPECT_LE(rect.top, rect.bottom) << c.Name;
    }
}

TEST(PrinterFormatRect, PrintableWidthInTheScreensPixels)
{
    // 8.5 inches less 2 inches of margins: 6.5 inches.
    const TRect at96 = vxPrinterFormatRect(Letter, 6450, 2880, 96, 96, 3);
    EXPECT_EQ(at96.left, 3);
    EXPECT_EQ(at96.top, 0);
    EXPECT_EQ(at96.right, 624 + 3 + 4);
    EXPECT_EQ(at96.bottom, 6450 * 96 / 600);
    const TRect at120 = vxPrinterFormatRect(Letter, 6450, 2880, 120, 144, 6);
    EXPECT_EQ(at120.right, 780 + 6 + 4);
    EXPECT_EQ(at120.bottom, 6450 * 144 / 600);
}

TEST(PrintLoop, MeasuresTheEndThenPrintsPagesUpToIt)
{
    struct Case {
        const char* Name;
        Integer TextLength;
        std::vector<Integer> Measured, Printed;  // the window's answers, pass by pass
        std::vector<Integer> MeasuredFrom, PrintedFrom;
        Integer NewPages;
    } cases[] = {
        {"three pages", 100, {30, 60, 100}, {30, 60, 100}, {0, 30, 60}, {0, 30, 60}, 2},
        {"no progress", 100, {30, 30}, {30}, {0, 30}, {0}, 0},
        {"a failing page", 100, {30, -1}, {30}, {0, 30}, {0}, 0},
        {"beyond the end", 50, {20, 70}, {20, 70}, {0, 20}, {0, 20}, 1},
        {"a window that lays out nothing", 100, {0}, {0}, {0}, {0}, 0},
        {"printing fails", 100, {50, 100}, {-1}, {0, 50}, {0}, 0},
    };
    for (const Case& c : cases) {
        std::deque<Integer> measured(c.Measured.begin(), c.Measured.end());
        std::deque<Integer> printed(c.Printed.begin(), c.Printed.end());
        std::vector<Integer> measuredFrom, printedFrom;
        Integer newPages = 0;
        auto formatPage = [&](Integer from, bool render) {
            auto& answers = render ? printed : measured;
            (render ? printedFrom : measuredFrom).push_back(from);
            if (answers.empty()) return Integer(-1);
            const Integer next = answers.front();
            answers.pop_front();
            return next;
        };
        const Integer end = vxMeasurePages(formatPage, c.TextLength);
        vxPrintPages(formatPage, end, [&] { ++newPages; });
        EXPECT_EQ(measuredFrom, c.MeasuredFrom) << c.Name;
        EXPECT_EQ(printedFrom, c.PrintedFrom) << c.Name;
        EXPECT_EQ(newPages, c.NewPages) << c.Name;
    }
}

// ---- the window

const char* const SampleRtf =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red192\\green0\\blue0;}\\f0\\fs20 plain {\\b bold} "
    "{\\cf1 red}\\par\n\\pard\\qc centred line\\par\n\\pard last}";

// A field's text as the grid paints it: up to the first paragraph definition's first group.
const char* const FieldRtf =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0 first line\\par {\\b bold} second\\par\n\\pard third}";

class TFailingStream : public TStringStream {
public:
    Integer Read(void*, Integer) override { throw EReadError("Stream read error"); }
};

class VxRichEdit : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        form.reset(CreateObject<TForm>(nullptr));
        form->SetBounds(20, 20, 420, 320);
        form->SetCaption("Rich text");
        edit = Make<TvxCustomRichEdit>();
        form->Show();
        PumpMessages();
    }
    void TearDown() override
    {
        form.reset();
        UsSettings::TearDown();
    }

    template <class T>
    T* Make()
    {
        auto* control = new T(form.get());
        control->SetParent(form.get());
        control->SetBounds(8, 8, 390, 260);
        return control;
    }

    static void Load(TvxCustomRichEdit* control, const std::string& text, bool firstPartOnly = false)
    {
        TStringStream stream(text);
        control->LoadRichStream(&stream, firstPartOnly, false);
    }

    static std::string Save(TCustomRichEdit* control)
    {
        TStringStream stream;
        control->TCustomRichEdit::Lines()->SaveToStream(&stream);
        return stream.DataString();
    }

    static Lines LinesOf(TStrings* strings)
    {
        Lines lines;
        for (Integer i = 0; i < strings->Count(); ++i) lines.push_back(strings->Strings(i));
        return lines;
    }

    static bool BoldAt(TCustomRichEdit* control, Integer position)
    {
        control->SetSelStart(position);
        control->SetSelLength(1);
        return control->SelAttributes()->Style().Contains(fsBold);
    }

    std::unique_ptr<TForm> form;
    TvxCustomRichEdit* edit = nullptr;
};

TEST_F(VxRichEdit, StartsWithTheDefaultsOfTheLibrary)
{
    EXPECT_EQ(edit->RichEditVersion(), 2);
    EXPECT_EQ(edit->PaperSize(), 1);
    EXPECT_EQ(edit->PopupOptions().ToMask(), 0x3F8Fu);
    EXPECT_EQ(edit->EditorOptions().ToMask(), 0x1FFCu);
    EXPECT_EQ(edit->EditorCaption(), "Edit Rich Text");
    EXPECT_EQ(edit->EditWidth(), rewWindowSize);
    EXPECT_EQ(edit->MeasurementUnits(), muInches);
    EXPECT_TRUE(edit->WordWrap());
    EXPECT_EQ(edit->PrintJobName(), Application->Title());
    EXPECT_DOUBLE_EQ(edit->PrintMargins()->Left(), 1.0);
    EXPECT_DOUBLE_EQ(edit->PrintMargins()->Bottom(), 1.0);
    EXPECT_EQ(edit->EditorPosition()->Width(), 0);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(edit->ScreenPixelsPerInch(), GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
}

TEST_F(VxRichEdit, LoadsRichTextPlainTextAndFallsBackFromRichTextToText)
{
    Load(edit, SampleRtf);
    EXPECT_EQ(LinesOf(edit->Lines()), (Lines{"plain bold red", "centred line", "last"}));
    EXPECT_TRUE(BoldAt(edit, 7));
    EXPECT_FALSE(BoldAt(edit, 1));
    edit->SetSelStart(12);
    edit->SetSelLength(1);
    EXPECT_EQ(edit->SelAttributes()->Color(), TColor(RGB(192, 0, 0)));
    EXPECT_EQ(Save(edit).rfind("{\\rtf", 0), 0u);

    Load(edit, "first {line}\nsecond\n");
    EXPECT_EQ(LinesOf(edit->Lines()), (Lines{"first {line}", "second"}));

    edit->SetPlainText(true);
    Load(edit, "{\\rtf1 kept as text}");
    EXPECT_EQ(LinesOf(edit->Lines()), (Lines{"{\\rtf1 kept as text}"}));
}

TEST_F(VxRichEdit, AStreamTheWindowRefusesLastFailsWhateverTheFormat)
{
    struct Case {
        const char* Name;
        bool PlainText, IntoSelection;
    } cases[] = {
        {"rich text", false, false},
        {"plain text", true, false},
        {"rich text into the selection", false, true},
        {"plain text into the selection", true, true},
    };
    for (const Case& c : cases) {
        edit->SetPlainText(c.PlainText);
        TFailingStream failing;
        try {
            edit->LoadRichStream(&failing, false, c.IntoSelection);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const EOutOfResources& e) {
            EXPECT_STREQ(e.what(), "Failed to Load Stream") << c.Name;
        }
    }
}

TEST_F(VxRichEdit, NoLineBreakIsLostWhereTheReadsEnd)
{
    TConversionClass saved = TCustomRichEdit::DefaultConverter;
    TCustomRichEdit::DefaultConverter = [] { return std::make_unique<TShortReads>(4); };
    edit->SetPlainText(true);
    Load(edit, "abc\rdef\r\nghi\rjkl\r");
    TCustomRichEdit::DefaultConverter = saved;
    EXPECT_EQ(LinesOf(edit->Lines()), (Lines{"abc", "def", "ghi", "jkl"}));
}

TEST_F(VxRichEdit, FirstPartOnlyShowsTheFirstParagraphIntoTheSelectionInserts)
{
    Load(edit, FieldRtf, true);
    EXPECT_EQ(LinesOf(edit->Lines()), (Lines{"first line"}));

    Load(edit, "one\r\ntwo\r\n");
    edit->SetSelStart(4);
    TStringStream inserted("{\\rtf1 {\\b new }}");
    edit->LoadRichStream(&inserted, false, true);
    EXPECT_EQ(LinesOf(edit->Lines()), (Lines{"one", "new two"}));
    EXPECT_TRUE(BoldAt(edit, 5));
}

TEST_F(VxRichEdit, BoldTextSurvivesANewWindow)
{
    Load(edit, SampleRtf);
    edit->SetOleOptions(TvxRichEditOleOptions{reoDisableOLE});  // makes the window again
    EXPECT_EQ(LinesOf(edit->Lines()), (Lines{"plain bold red", "centred line", "last"}));
    EXPECT_TRUE(BoldAt(edit, 7));
    edit->SetSelStart(20);
    EXPECT_EQ(edit->Paragraph()->Alignment(), taCenter);
}

TEST_F(VxRichEdit, TheLibraryComesFromTheSystemDirectoryAndGoesWithTheWindow)
{
    HMODULE library = edit->LibraryHandle();
    ASSERT_NE(library, nullptr);
    char path[MAX_PATH], system[MAX_PATH];
    GetModuleFileNameA(library, path, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(path, (std::string(system) + "\\riched20.dll").c_str()), 0) << path;

    edit->SetOleOptions(TvxRichEditOleOptions{reoDisableOLE});
    EXPECT_NE(edit->LibraryHandle(), nullptr);
    auto* old = Make<TvxCustomRichEdit>();
    old->SetRichEditVersion(1);
    old->HandleNeeded();
    EXPECT_EQ(old->LibraryHandle(), nullptr);
    old->SetRichEditVersion(2);
    EXPECT_NE(old->LibraryHandle(), nullptr);
    delete old;
    edit->SetParent(nullptr);  // the window goes
    EXPECT_EQ(edit->LibraryHandle(), nullptr);
}

TEST_F(VxRichEdit, LinesCountEditAndReadLongLinesWhole)
{
    TStrings* lines = edit->Lines();
    edit->Lines()->SetText("alpha\r\nbeta\r\n");
    EXPECT_EQ(lines->Count(), 2);  // the window's empty last line is not counted
    lines->Insert(1, "middle");
    lines->Insert(3, "end");
    EXPECT_EQ(LinesOf(lines), (Lines{"alpha", "middle", "beta", "end"}));
    lines->Insert(-1, "nothing");
    lines->Insert(9, "nothing");
    lines->SetStrings(1, "MIDDLE");
    lines->SetStrings(-1, "nothing");
    lines->SetStrings(20, "nothing");
    lines->Delete(0);
    EXPECT_EQ(LinesOf(lines), (Lines{"MIDDLE", "beta", "end"}));

    lines->Clear();
    lines->Insert(1, "after an empty line");  // the line before is empty
    EXPECT_EQ(lines->Count(), 0);

    edit->SetWordWrap(false);  // a line of the window is then a whole paragraph
    const std::string longLine(6000, 'w');
    lines->SetText("short\r\n" + longLine + "\r\nlast\r\n");
    EXPECT_EQ(lines->Strings(1), longLine);
    EXPECT_EQ(lines->Strings(2), "last");
}

TEST_F(VxRichEdit, SettingTheTextKeepsTheWindowsEventMaskAndAddingLinesIsSilent)
{
    Integer changes = 0, selections = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->OnSelectionChange = [&](TObject*) { ++selections; };
    const LRESULT mask = SendMessageA(edit->Handle(), EM_GETEVENTMASK, 0, 0) & ~ENM_CHANGE;
    SendMessageA(edit->Handle(), EM_SETEVENTMASK, 0, mask);
    edit->Lines()->SetText("one\r\ntwo\r\n");
    EXPECT_EQ(SendMessageA(edit->Handle(), EM_GETEVENTMASK, 0, 0), mask);
    SendMessageA(edit->Handle(), EM_SETEVENTMASK, 0, mask | ENM_CHANGE);
    EXPECT_EQ(edit->Lines()->Text(), "one\r\ntwo\r\n");

    TStringList more;
    more.Add("three");
    more.Add("four");
    selections = 0;
    edit->SetLines(&more);
    EXPECT_EQ(selections, 0);
    EXPECT_EQ(LinesOf(edit->Lines()), (Lines{"three", "four"}));
    ASSERT_TRUE(edit->OnSelectionChange);
    edit->SetSelStart(2);
    EXPECT_EQ(selections, 1);
}

// A form file with one rich edit in it, written and read back.
class TRichForm : public TForm {
    DUN_CLASS(TRichForm, TForm)
public:
    using TForm::TForm;
};

TEST_F(VxRichEdit, TheStoredFormKeepsTextAndFormatsThroughAFormFile)
{
    RegisterClasses<TRichForm>();
    std::unique_ptr<TRichForm> source(CreateObject<TRichForm>(nullptr));
    auto* stored = new TvxCustomRichEdit(source.get());
    stored->SetName("Notes");
    stored->SetParent(source.get());
    Load(stored, SampleRtf);
    const std::string text = WriteComponentText(source.get());
    EXPECT_NE(text.find("RichEditVersion = 2"), std::string::npos) << text;
    EXPECT_NE(text.find("Data = {"), std::string::npos) << text;
    EXPECT_EQ(text.find("Lines.Strings"), std::string::npos) << text;

    std::unique_ptr<TRichForm> copy(CreateObject<TRichForm>(nullptr));
    ReadComponentText(copy.get(), text);
    auto* read = dynamic_cast<TvxCustomRichEdit*>(copy->FindComponent("Notes"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->RichEditVersion(), 2);
    EXPECT_TRUE(read->ReadFromStoredForm());
    EXPECT_FALSE(read->PlainText());
    EXPECT_EQ(LinesOf(read->Lines()), (Lines{"plain bold red", "centred line", "last"}));
    EXPECT_TRUE(BoldAt(read, 7));
    EXPECT_FALSE(BoldAt(read, 2));
    read->SetSelStart(12);
    read->SetSelLength(1);
    EXPECT_EQ(read->SelAttributes()->Color(), TColor(RGB(192, 0, 0)));
    read->SetSelStart(20);
    EXPECT_EQ(read->Paragraph()->Alignment(), taCenter);
}

TEST_F(VxRichEdit, OlderFormFilesReadAsVersionOneWithTheirLinesTakenAsRichText)
{
    RegisterClasses<TRichForm>();
    const std::string older =
        "object RichForm: TRichForm\n"
        "  object Notes: TvxCustomRichEdit\n"
        "    Lines.Strings = (\n"
        "      '{\\rtf1 {\\b bold} plain\\par'\n"
        "      'second}')\n"
        "  end\n"
        "end\n";
    std::unique_ptr<TRichForm> form1(CreateObject<TRichForm>(nullptr));
    ReadComponentText(form1.get(), older);
    auto* read = dynamic_cast<TvxCustomRichEdit*>(form1->FindComponent("Notes"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->RichEditVersion(), 1);
    EXPECT_FALSE(read->ReadFromStoredForm());
    EXPECT_EQ(LinesOf(read->Lines()), (Lines{"bold plain", "second"}));
    EXPECT_TRUE(BoldAt(read, 1));
    EXPECT_NE(WriteComponentText(form1.get()).find("RichEditVersion = 2"), std::string::npos);
    EXPECT_EQ(read->RichEditVersion(), 2);

    const std::string empty =
        "object RichForm: TRichForm\n"
        "  object Notes: TvxCustomRichEdit\n"
        "    RichEditVersion = 2\n"
        "    Data = {00000000}\n"
        "  end\n"
        "end\n";
    std::unique_ptr<TRichForm> form2(CreateObject<TRichForm>(nullptr));
    ReadComponentText(form2.get(), empty);
    read = dynamic_cast<TvxCustomRichEdit*>(form2->FindComponent("Notes"));
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->ReadFromStoredForm());
    EXPECT_EQ(read->Lines()->Count(), 0);
}

// A data-aware source whose field was painted from its first part only.
class TFieldRichEdit : public TvxCustomRichEdit {
public:
    using TvxCustomRichEdit::TvxCustomRichEdit;
    TField* Field = nullptr;
    TField* GetField() override { return Field; }
    bool IsContentLoaded() override { return false; }
};

TEST_F(VxRichEdit, CopyingGivesTheWholeContents)
{
    Load(edit, SampleRtf);
    auto* plainTarget = Make<TRichEdit>();
    edit->CopyContentTo(plainTarget);
    EXPECT_EQ(plainTarget->Lines()->Count(), 3);
    EXPECT_TRUE(BoldAt(plainTarget, 7));

    TMemDataSet table(nullptr);
    table.FieldDefs()->Add("Notes", ftMemo);
    table.Open();
    table.AppendRecord({Variant(std::string(FieldRtf))});
    auto* source = Make<TFieldRichEdit>();
    source->Field = table.FieldByName("Notes");
    Load(source, FieldRtf, true);  // as the grid paints it
    ASSERT_EQ(source->Lines()->Count(), 1);

    auto* richTarget = Make<TvxCustomRichEdit>();
    source->CopyContentTo(richTarget);
    EXPECT_EQ(LinesOf(richTarget->Lines()), (Lines{"first line", "bold second", "third"}));
    EXPECT_TRUE(BoldAt(richTarget, 12));
    auto* otherTarget = Make<TRichEdit>();
    source->CopyContentTo(otherTarget);
    EXPECT_EQ(otherTarget->Lines()->Count(), 3);
    EXPECT_EQ(source->Lines()->Count(), 3);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

// Wine widens a format rectangle by the window's client edge (one pixel left, right and up), clipped to the window.
constexpr LONG WineEdge = 1;

// Records the page requests as the window gets them (after the control's margins) and answers from a script.
class TScriptedPages : public TvxCustomRichEdit {
public:
    using TvxCustomRichEdit::TvxCustomRichEdit;
    struct TRequest {
        bool Render;
        RECT Rect;
        LONG From;
    };
    std::vector<TRequest> Requests;
    std::deque<Integer> Answers;
    bool Scripted = true;

    void DefaultHandler(TMessage& message) override
    {
        if (message.Msg == EM_FORMATRANGE && message.LParam) {
            const auto* range = reinterpret_cast<const FORMATRANGE*>(message.LParam);
            Requests.push_back({message.WParam != 0, range->rc, range->chrg.cpMin});
            if (Scripted) {
                message.Result = Answers.empty() ? -1 : Answers.front();
                if (!Answers.empty()) Answers.pop_front();
                return;
            }
        }
        TvxCustomRichEdit::DefaultHandler(message);
    }
};

class VxRichEditPrint : public VxRichEdit {
protected:
    void SetUp() override
    {
        VxRichEdit::SetUp();
        Printer()->SetCapture(&capture);
        printing = Make<TScriptedPages>();
        Load(printing, std::string(400, 'x') + "\r\n");
    }
    void TearDown() override
    {
        Printer()->SetCapture(nullptr);
        VxRichEdit::TearDown();
    }

    TvxPrinterPage Page()
    {
        HDC dc = Printer()->Handle();
        return TvxPrinterPage{TPoint{GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT)},
                              TPoint{GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY)},
                              GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
    }

    TPrinterCapture capture;
    TScriptedPages* printing = nullptr;
};

TEST_F(VxRichEditPrint, EveryPageRequestGetsTheMarginsAndPagesFollowTheMeasuredEnd)
{
    printing->PrintMargins()->SetLeft(0.7);
    printing->PrintMargins()->SetTop(0.5);
    printing->PrintMargins()->SetRight(1.25);
    printing->Answers = {100, 250, 402, 100, 250, 402};
    printing->Print("Minutes");

    const TRect expected = vxMarginRect(Page(), 1008, 720, 1800, 1440);
    ASSERT_EQ(printing->Requests.size(), 6u);
    std::vector<LONG> starts;
    for (const auto& request : printing->Requests) {
        starts.push_back(request.From);
        EXPECT_TRUE(EqualRect(&request.Rect, &expected));
    }
    EXPECT_EQ(starts, (std::vector<LONG>{0, 100, 250, 0, 100, 250}));
    EXPECT_FALSE(printing->Requests[2].Render);
    EXPECT_TRUE(printing->Requests[3].Render);
    EXPECT_EQ(capture.Title, "Minutes");
    EXPECT_EQ(capture.Pages.size(), 3u);
    EXPECT_TRUE(capture.Ended);
}

// Wine's window lays out nothing on a printer: the measured end is 0 and one page is printed.
TEST_F(VxRichEditPrint, UnderWineOnePageIsRequestedAndNoNewPage)
{
    printing->Scripted = false;
    printing->Print("Minutes");
    ASSERT_EQ(printing->Requests.size(), 2u);
    EXPECT_FALSE(printing->Requests[0].Render);
    EXPECT_TRUE(printing->Requests[1].Render);
    EXPECT_EQ(capture.Pages.size(), 1u);
    EXPECT_TRUE(capture.Ended);
}

TEST_F(VxRichEditPrint, PaperSizeReachesThePrinterOnlyWithPrinterWidthWrapping)
{
    Printer()->SetPrinterIndex(Printer()->PrinterIndex());
    const Integer before = Printer()->DeviceMode()->dmPaperSize;
    const Integer other = before == DMPAPER_LEGAL ? DMPAPER_LETTER : DMPAPER_LEGAL;
    printing->SetPaperSize(other);
    EXPECT_EQ(Printer()->DeviceMode()->dmPaperSize, before);

    printing->SetBounds(0, 0, 760, 200);  // wider than the page: Wine clips the rectangle to the window
    printing->SetEditWidth(rewPrinterSize);
    printing->SetPaperSize(other);
    EXPECT_EQ(Printer()->DeviceMode()->dmPaperSize, other);
    EXPECT_TRUE(Printer()->DeviceMode()->dmFields & DM_PAPERSIZE);

    // The lines wrap at the printable width less the margins.
    RECT rect;
    SendMessageA(printing->Handle(), EM_GETRECT, 0, LPARAM(&rect));
    HDC screen = GetDC(nullptr);
    const TRect expected = vxPrinterFormatRect(Page(), Printer()->PageHeight(), 2880,
                                               GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY),
                                               printing->LeftTextMargin());
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(rect.left, expected.left - WineEdge);
    EXPECT_EQ(rect.right, expected.right + WineEdge);
    Printer()->SetPrinterIndex(Printer()->PrinterIndex());
}

TEST_F(VxRichEdit, WrapsAtTheWindowEdgeAndTypedTextIsShown)
{
    edit->SetWidth(300);
    RECT rect;
    SendMessageA(edit->Handle(), EM_GETRECT, 0, LPARAM(&rect));
    EXPECT_EQ(rect.left, 3 - WineEdge);
    EXPECT_EQ(rect.top, 2 - WineEdge);
    EXPECT_EQ(rect.right, 300 - 4);  // clipped to the client area

    Load(edit, SampleRtf);
    ActivateForm(form.get());
    edit->SetFocus();
    edit->SetSelStart(edit->GetTextLen());
    TypeKey(VK_RETURN);
    TypeText("Typed here");
    TypeKey(VK_HOME, TShiftState{ssShift});
    EXPECT_EQ(edit->SelText(), "Typed here");
    edit->SelAttributes()->SetStyle(TFontStyles{fsBold, fsItalic});
    EXPECT_EQ(edit->Lines()->Strings(3), "Typed here");
    EXPECT_TRUE(BoldAt(edit, edit->GetTextLen() - 3));
    EXPECT_TRUE(edit->Modified());
    edit->SetSelLength(0);
    PumpMessages();
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxriched.png"));
}


// ---- the data-aware control

// A dataset that can be made unmodifiable after it is filled.
class TSwitchableDataSet : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;
    bool Modifiable = true;

protected:
    bool GetCanModify() override { return Modifiable; }
};

// Reads through the window's converter; the first read asks, as the window would, whether protected text may change.
class TAskingConversion : public TConversion {
public:
    Integer ConvertReadStream(TStream* stream, char* buffer, Integer size) override
    {
        if (Asking && !asked_) {
            asked_ = true;
            Answers.push_back(Asking());
        }
        return stream->Read(buffer, size);
    }
    static inline std::function<LRESULT()> Asking;
    static inline std::vector<LRESULT> Answers;

private:
    bool asked_ = false;
};

class TFailingConversion : public TConversion {
public:
    Integer ConvertReadStream(TStream*, char*, Integer) override { throw EReadError("Stream read error"); }
};

// Two records (rich notes and a title; empty notes) shown in a bound notes control, a bound title control and an
// edit to leave them for.
class VxDBRichEdit : public VxRichEdit {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        data = new TSwitchableDataSet(nullptr);
        data->FieldDefs()->Add("Notes", ftBlob);
        data->FieldDefs()->Add("Title", ftString, 40);
        data->Open();
        data->AppendRecord({Variant(std::string(FieldRtf)), Variant(std::string("Alpha"))});
        data->AppendRecord({Variant(std::string()), Variant(std::string("Beta"))});
        data->First();
        source = new TDataSource(nullptr);
        source->SetDataSet(data);

        dbForm = CreateObject<TForm>(nullptr);
        dbForm->SetBounds(20, 20, 420, 300);
        dbForm->SetCaption("Bound rich text");
        notes = Bound("Notes", 8, 180);
        title = Bound("Title", 196, 28);
        other = new TEdit(dbForm);
        other->SetParent(dbForm);
        other->SetBounds(8, 232, 200, 22);
        dbForm->Show();
        ActivateForm(dbForm);
        PumpMessages();
    }
    void TearDown() override
    {
        delete dbForm;
        PumpMessages(20);
        delete source;
        data->Free();
        UsSettings::TearDown();
    }

    TvxDBRichEdit* Bound(const char* field, Integer top, Integer height)
    {
        auto* control = new TvxDBRichEdit(dbForm);
        control->SetParent(dbForm);
        control->SetBounds(8, top, 390, height);
        control->SetDataSource(source);
        control->SetDataField(field);
        return control;
    }
    static bool WindowReadOnly(TWinControl* control)
    {
        return (GetWindowLongA(control->Handle(), GWL_STYLE) & ES_READONLY) != 0;
    }
    void Focus(TWinControl* control, Integer caret)
    {
        control->SetFocus();
        PumpMessages();
        if (auto* rich = dynamic_cast<TCustomRichEdit*>(control)) rich->SetSelStart(caret);
    }
    TField* Field(const char* name) { return data->FieldByName(name); }

    TScriptedDialogs dialogs;
    TSwitchableDataSet* data = nullptr;
    TDataSource* source = nullptr;
    TForm* dbForm = nullptr;
    TvxDBRichEdit* notes = nullptr;
    TvxDBRichEdit* title = nullptr;
    TEdit* other = nullptr;
};

TEST_F(VxDBRichEdit, ShowsTheRecordAndAnEmptyBlobAsPlainLeftAlignedBlackText)
{
    EXPECT_EQ(LinesOf(notes->Lines()), (Lines{"first line", "bold second", "third"}));
    EXPECT_TRUE(BoldAt(notes, 12));
    EXPECT_TRUE(notes->IsContentLoaded());
    EXPECT_EQ(title->Text(), "Alpha");
    EXPECT_TRUE(WindowReadOnly(notes));  // browsing
    EXPECT_FALSE(notes->ReadOnly());
    EXPECT_EQ(notes->Perform(CM_GETDATALINK), reinterpret_cast<LRESULT>(notes->DataLink()));

    notes->Paragraph()->SetNumbering(nsBullet);
    notes->Paragraph()->SetAlignment(taCenter);
    notes->DefAttributes()->SetColor(clRed);
    data->Next();
    EXPECT_EQ(notes->GetTextLen(), 0);
    EXPECT_EQ(notes->Paragraph()->Numbering(), nsNone);
    EXPECT_EQ(notes->Paragraph()->Alignment(), taLeftJustify);
    EXPECT_EQ(notes->DefAttributes()->Color(), clBlack);
    EXPECT_EQ(title->Text(), "Beta");
}

TEST_F(VxDBRichEdit, WithoutAutoDisplayTheLabelShowsUntilEnterADoubleClickOrAPaint)
{
    notes->SetAutoDisplay(false);
    Focus(notes, 0);
    data->Next();
    EXPECT_EQ(notes->Text(), "(Notes)");
    data->Prior();
    EXPECT_EQ(notes->Text(), "(Notes)");
    EXPECT_FALSE(notes->IsContentLoaded());
    TypeKey(VK_RETURN);  // comes before the paint
    EXPECT_EQ(LinesOf(notes->Lines()), (Lines{"first line", "bold second", "third"}));
    EXPECT_EQ(data->State(), dsBrowse);

    data->Next();
    data->Prior();
    ASSERT_EQ(notes->Text(), "(Notes)");
    MouseDoubleClick(notes, TPoint{20, 20});
    EXPECT_TRUE(notes->IsContentLoaded());
    EXPECT_EQ(notes->Lines()->Strings(0), "first line");

    data->Next();
    data->Prior();
    ASSERT_FALSE(notes->IsContentLoaded());
    PumpMessages();  // painted
    EXPECT_TRUE(notes->IsContentLoaded());
    EXPECT_EQ(notes->Lines()->Strings(0), "first line");

    TvxDBRichEdit unbound(nullptr);
    unbound.SetAutoDisplay(false);
    EXPECT_TRUE(unbound.AutoDisplay());
}

TEST_F(VxDBRichEdit, TheFirstKeyEditsWithoutReloadingAndLeavingWritesRichAndPlainText)
{
    Focus(notes, 5);
    TypeText("X");
    EXPECT_EQ(data->State(), dsEdit);
    EXPECT_FALSE(WindowReadOnly(notes));
    EXPECT_EQ(notes->Lines()->Strings(0), "firstX line");
    EXPECT_EQ(notes->SelStart(), 6);
    TypeKey(VK_TAB);
    EXPECT_TRUE(title->Focused());
    title->SetSelStart(5);
    TypeText("!");
    TypeKey(VK_TAB);
    EXPECT_TRUE(other->Focused());
    data->Post();

    const std::string stored = Field("Notes")->AsString();
    EXPECT_EQ(stored.rfind("{\\rtf", 0), 0u);
    EXPECT_NE(stored.find("firstX line"), std::string::npos);
    EXPECT_EQ(Field("Title")->AsString(), "Alpha!");
    data->Next();
    data->Prior();
    EXPECT_EQ(LinesOf(notes->Lines()), (Lines{"firstX line", "bold second", "third"}));
    EXPECT_TRUE(BoldAt(notes, 13));
}

TEST_F(VxDBRichEdit, EscapeShowsTheFieldAgain)
{
    Focus(notes, 0);
    TypeText("Y");
    ASSERT_EQ(notes->Lines()->Strings(0), "Yfirst line");
    TypeKey(VK_ESCAPE);
    EXPECT_EQ(notes->Lines()->Strings(0), "first line");
    Focus(title, 0);
    TypeText("Z");
    ASSERT_EQ(title->Text(), "ZAlpha");
    TypeKey(VK_ESCAPE);
    EXPECT_EQ(title->Text(), "Alpha");
    TypeKey(VK_TAB);
    data->Post();
    EXPECT_EQ(Field("Title")->AsString(), "Alpha");
    EXPECT_EQ(Field("Notes")->AsString(), FieldRtf);
}

TEST_F(VxDBRichEdit, TypingIntoAReadOnlyDataSetChangesNothing)
{
    data->Modifiable = false;
    EXPECT_TRUE(notes->ReadOnly());
    Focus(notes, 0);
    TypeText("Q");
    TypeKey(VK_DELETE);
    EXPECT_EQ(data->State(), dsBrowse);
    EXPECT_TRUE(WindowReadOnly(notes));
    EXPECT_EQ(notes->Lines()->Strings(0), "first line");
}

TEST_F(VxDBRichEdit, AFailedWriteKeepsTheFocus)
{
    Field("Title")->OnValidate = [](TField*) { throw EDatabaseError("No titles today"); };
    Focus(title, 5);
    TypeText("!");
    TypeKey(VK_TAB);
    EXPECT_TRUE(title->Focused());
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "No titles today.");

    Field("Title")->OnValidate = nullptr;
    TypeKey(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(Field("Title")->AsString(), "Alpha!");
    PumpMessages();
    ASSERT_TRUE(SaveWindowToPng(dbForm->Handle(), "vxdbrichedit.png"));
}

// Protected text is replaced by a load whatever the control's own handler says.
TEST_F(VxDBRichEdit, ALoadMayChangeProtectedText)
{
    notes->OnProtectChange = [](TObject*, Integer, Integer, bool& allowChange) { allowChange = false; };
    auto ask = [&] {
        ENPROTECTED request{};
        request.nmhdr = NMHDR{notes->Handle(), UINT_PTR(GetDlgCtrlID(notes->Handle())), EN_PROTECTED};
        request.msg = WM_CHAR;
        request.chrg = CHARRANGE{1, 3};
        return SendMessageA(dbForm->Handle(), WM_NOTIFY, request.nmhdr.idFrom, LPARAM(&request));
    };
    TConversionClass saved = TCustomRichEdit::DefaultConverter;
    TAskingConversion::Answers.clear();
    TAskingConversion::Asking = ask;
    TCustomRichEdit::DefaultConverter = [] { return std::make_unique<TAskingConversion>(); };
    data->Next();
    data->Prior();
    TCustomRichEdit::DefaultConverter = saved;
    TAskingConversion::Asking = nullptr;
    EXPECT_EQ(notes->Lines()->Strings(0), "first line");
    ASSERT_FALSE(TAskingConversion::Answers.empty());
    EXPECT_EQ(TAskingConversion::Answers[0], 0);  // allowed while loading
    EXPECT_NE(ask(), 0);                           // the control's own handler again
}

// The failure's text is shown but never stored: the window stays read-only and writes nothing back.
TEST_F(VxDBRichEdit, AFailedLoadShowsTheFailureAndNeverOverwritesTheBlob)
{
    TConversionClass saved = TCustomRichEdit::DefaultConverter;
    TCustomRichEdit::DefaultConverter = [] { return std::make_unique<TFailingConversion>(); };
    data->Next();
    data->Prior();
    TCustomRichEdit::DefaultConverter = saved;
    EXPECT_EQ(notes->Text(), "(Failed to Load Stream)");
    EXPECT_TRUE(notes->LoadFailed());

    Focus(notes, 1);
    TypeText("W");
    TypeKey(VK_DELETE);
    EXPECT_TRUE(WindowReadOnly(notes));
    EXPECT_EQ(notes->Text(), "(Failed to Load Stream)");
    notes->SetModified(true);
    notes->DataLink()->Modified();
    TypeKey(VK_TAB);
    if (data->State() == dsEdit) data->Post();
    EXPECT_EQ(Field("Notes")->AsString(), FieldRtf);

    data->Next();
    data->Prior();
    EXPECT_FALSE(notes->LoadFailed());
    EXPECT_EQ(notes->Lines()->Strings(0), "first line");
}

// A bound control loads again from its field in the new parent; an unbound one keeps its text.
TEST_F(VxDBRichEdit, MovingToAnotherParent)
{
    auto* panel = new TPanel(dbForm);
    panel->SetParent(dbForm);
    panel->SetBounds(8, 260, 390, 30);
    auto* unbound = new TvxDBRichEdit(dbForm);
    unbound->SetParent(dbForm);
    unbound->SetBounds(210, 232, 190, 22);
    unbound->SetText("keep me");
    unbound->SetParent(panel);
    EXPECT_EQ(unbound->Text(), "keep me");

    notes->SetParent(panel);
    EXPECT_FALSE(notes->IsContentLoaded());
    PumpMessages();
    EXPECT_TRUE(notes->IsContentLoaded());
    EXPECT_EQ(notes->Lines()->Strings(0), "first line");
    EXPECT_EQ(data->State(), dsBrowse);
}

}  // namespace
