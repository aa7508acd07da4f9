// The filter-time routines: field values handed to parameters, memo texts read from the engine's record buffer,
// the Escape check on a real window's queue, rich text as plain text, and lines joined into one text.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FilterTestSupport.h"
#include "db/BinaryFields.h"
#include "db/Params.h"
#include "engine/components/BseMainErr.h"
#include "rtl/DateTime.h"
#include "rtl/Format.h"
#include "rtl/FormatSettings.h"
#include "rtl/Streams.h"
#include "rtl/WinApi.h"
#include "vcl/Forms.h"
#include "vcl/RichEdit.h"
#include "vcl/TestHelpers.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxintl.h"
#include "vxdata/vxFilterTime.h"

namespace {

using namespace filtertest;

std::string HexOf(const std::vector<char>& bytes, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; ++i) text += Format("%.2X", {Integer(Byte(bytes.at(i)))});
    return text;
}

template <typename T>
std::string Hex(T value)
{
    std::vector<char> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return HexOf(bytes, sizeof value);
}

class FilterTime : public TypesFixture {
protected:
    void SetUp() override
    {
        TypesFixture::SetUp();
        savedDateFormat_ = ShortDateFormat;
        ShortDateFormat = "m/d/yyyy";
        savedMemoSize_ = vxIntl()->FilterMemoSize();
    }
    void TearDown() override
    {
        ShortDateFormat = savedDateFormat_;
        vxIntl()->SetFilterMemoSize(savedMemoSize_);
        TypesFixture::TearDown();
    }

    Byte* Record() const { return reinterpret_cast<Byte*>(dataSet->ActiveBuffer()); }
    TField* Notes() const { return dataSet->FieldByName("Notes"); }

    std::string savedDateFormat_;
    Integer savedMemoSize_ = 0;
};

TEST_F(FilterTime, FieldValuesReachTheParameterInTheEnginesForm)
{
    const TDateTime day = EncodeDate(2024, 3, 1);
    const TDateTime stamp = day + EncodeTime(8, 30, 0, 0);
    Add("Ann", {{"Qty", "70000"}, {"Small", "-7"}, {"Count", "65535"}, {"Amount", "-2.5"}, {"Price", "12.5"},
                {"Paid", "True"}, {"Day", "3/1/2024"}, {"Hour", "08:30:00"}, {"Stamp", "3/1/2024 08:30:00"},
                {"Notes", "memo text"}, {"Total", "1.5"}});
    struct TCase {
        const char* Field;
        std::string Bytes;
        std::string Value;
    };
    const TCase cases[] = {
        {"Name", "416E6E00", "Ann"},
        {"Notes", "6D656D6F207465787400", "memo text"},
        {"Qty", "70110100", "70000"},
        {"Small", "F9FF", "-7"},
        {"Count", "FFFF", "65535"},
        {"Paid", "FF", "True"},
        {"Amount", Hex(-2.5), "-2.5"},
        {"Price", Hex(12.5), "12.5"},
        {"Day", Hex(DateTimeToTimeStamp(day).Date), "3/1/2024"},
        {"Hour", Hex(Integer(8.5 * 3600000)), "8:30:00 AM"},
        {"Stamp", Hex(TimeStampToMSecs(DateTimeToTimeStamp(stamp))), "3/1/2024 8:30:00 AM"},
    };
    TParams params;
    for (const TCase& c : cases) {
        TParam* param = params.CreateParam(ftUnknown, c.Field, ptInput);
        std::vector<char> buffer(4, '\x55');
        TField* field = dataSet->FieldByName(c.Field);
        vxFieldToParam(field, param, buffer);
        EXPECT_EQ(HexOf(buffer, c.Bytes.size() / 2), c.Bytes) << c.Field;
        EXPECT_EQ(param->DataType(), field->DataType()) << c.Field;
        if (field->DataType() == ftTime || field->DataType() == ftDateTime || field->DataType() == ftDate)
            EXPECT_DOUBLE_EQ(param->AsDateTime(), field->AsDateTime()) << c.Field;
        else
            EXPECT_EQ(param->AsString(), c.Value) << c.Field;
    }

    TParam* untouched = params.CreateParam(ftUnknown, "Total", ptInput);
    std::vector<char> buffer(4, '\x55');
    vxFieldToParam(dataSet->FieldByName("Total"), untouched, buffer);
    vxFieldToParam(dataSet->FieldByName("Id"), untouched, buffer);
    EXPECT_EQ(untouched->DataType(), ftUnknown) << "BCD and autoincrement values are not passed";
    EXPECT_EQ(HexOf(buffer, 4), "55555555");
}

TEST_F(FilterTime, ABooleanIsOneByteAndFalseStaysFalseWhateverFollowsIt)
{
    Add("Ann", {{"Paid", "False"}});
    TParams params;
    TParam* param = params.CreateParam(ftUnknown, "Paid", ptInput);
    std::vector<char> buffer(8, '\xFF');
    vxFieldToParam(dataSet->FieldByName("Paid"), param, buffer);
    EXPECT_EQ(HexOf(buffer, 2), "00FF");
    EXPECT_FALSE(param->AsBoolean());
}

TEST_F(FilterTime, MemoTextsAreReadFromTheRecordBufferWithinEveryLimit)
{
    Add("Ann", {{"Notes", "Hello memo"}});
    TTypesTable::BlobOpens = TTypesTable::BlobFrees = 0;
    struct TCase {
        Integer MaxSize;
        Integer MemoSize;
        size_t Capacity;
        Integer Read;
        const char* Text;
    };
    const TCase cases[] = {
        {100, 65536, 256, 10, "Hello memo"},
        {0, 65536, 256, 0, ""},
        {-1, 65536, 256, 0, ""},
        {3, 65536, 256, 3, "Hel"},
        {100, 4, 256, 4, "Hell"},
        {100, 65536, 6, 5, "Hello"},  // the destination's size, less the NUL
        {100, 65536, 1, 0, ""},
    };
    for (const TCase& c : cases) {
        vxIntl()->SetFilterMemoSize(c.MemoSize);
        std::vector<char> dest(c.Capacity, 'x');
        EXPECT_EQ(vxReadBlobAtFilter(dataSet.get(), Record(), dest, Notes(), c.MaxSize), c.Read) << c.MaxSize;
        EXPECT_STREQ(dest.data(), c.Text) << c.MaxSize;
    }
    EXPECT_EQ(TTypesTable::BlobOpens, 7);
    EXPECT_EQ(TTypesTable::BlobFrees, 7);
}

TEST_F(FilterTime, EndOfBlobAndEmptyReadsSucceedOtherStatusesRaise)
{
    Add("Ann", {{"Notes", "Hello memo"}});
    std::vector<char> dest(64, 'x');
    for (Word status : {Word(8711), Word(9998)}) {
        TTypesTable::BlobStatus = status;
        EXPECT_EQ(vxReadBlobAtFilter(dataSet.get(), Record(), dest, Notes(), 100), 0) << status;
        EXPECT_STREQ(dest.data(), "") << status;
    }
    TTypesTable::BlobStatus = DBIERR_NOTSUPPORTED;
    try {
        vxReadBlobAtFilter(dataSet.get(), Record(), dest, Notes(), 100);
        ADD_FAILURE() << "no error";
    } catch (const ETDBEngineError& e) {
        EXPECT_EQ(e.Errors(0).ErrorCode, DBIERR_NOTSUPPORTED);
    }
    EXPECT_EQ(TTypesTable::BlobOpens, TTypesTable::BlobFrees) << "the blob is freed after a failure too";
}

TEST_F(FilterTime, ATransliteratingMemoIsReadAsAnsi)
{
    auto* memo = dynamic_cast<TMemoField*>(Notes());
    ASSERT_NE(memo, nullptr);
    memo->SetTransliterate(false);
    Add("Ann", {{"Notes", "Gr\x81\xE1"}});
    std::vector<char> dest(64);
    ASSERT_EQ(vxReadBlobAtFilter(dataSet.get(), Record(), dest, Notes(), 100), 4);
    EXPECT_STREQ(dest.data(), "Gr\x81\xE1") << "no transliteration";
    memo->SetTransliterate(true);
    char ansi[] = "Gr\x81\xE1";
    OemToCharBuffA(ansi, ansi, 4);
    ASSERT_EQ(vxReadBlobAtFilter(dataSet.get(), Record(), dest, Notes(), 100), 4);
    EXPECT_STREQ(dest.data(), ansi);
    EXPECT_STRNE(ansi, "Gr\x81\xE1");
}

// A dataset publishing its filter options.
class TFilterOptionsHolder : public TComponent {
    DUN_CLASS(TFilterOptionsHolder, TComponent)
public:
    explicit TFilterOptionsHolder(TComponent* owner) : TComponent(owner) {}
    Integer OnFilterOptions = vxofoEnabled | vxofoCancelOnEscape;
    static void Publish(TPublisher<TFilterOptionsHolder>& p)
    {
        p.Property("OnFilterOptions", &TFilterOptionsHolder::OnFilterOptions);
    }
};

class FilterEscape : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 300, 200);
        form->Show();
        ActivateForm(form);
        PumpMessages();
    }
    void TearDown() override { form->Free(); }

    void PostKey(UINT message, WPARAM key) { PostMessageA(form->Handle(), message, key, 0); }

    TForm* form = nullptr;
    TFilterOptionsHolder holder{nullptr};
};

TEST_F(FilterEscape, AnEscapeKeyPressSwitchesTheFilterOff)
{
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    bool escaped = false;
    const DWORD start = GetTickCount();
    while (!escaped && GetTickCount() - start < 3000) {
        escaped = vxCheckFilterEscape(&holder);
        if (!escaped) Sleep(10);
    }
    EXPECT_TRUE(escaped);
    EXPECT_EQ(holder.OnFilterOptions, vxofoCancelOnEscape);
}

TEST_F(FilterEscape, OnlyTheNextKeyMessageIsTakenAndOnlyEscapeCounts)
{
    EXPECT_FALSE(vxCheckFilterEscape(&holder)) << "an empty queue";
    PostMessageA(form->Handle(), WM_USER, 0, 0);
    PostKey(WM_KEYDOWN, 'A');
    PostKey(WM_CHAR, VK_ESCAPE);
    PostKey(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_FALSE(vxCheckFilterEscape(&holder)) << "the A is taken and lost";
    EXPECT_FALSE(vxCheckFilterEscape(&holder)) << "a character message of Escape is no key press";
    EXPECT_EQ(holder.OnFilterOptions, vxofoEnabled | vxofoCancelOnEscape);
    EXPECT_TRUE(vxCheckFilterEscape(&holder));
    EXPECT_EQ(holder.OnFilterOptions, vxofoCancelOnEscape);
    EXPECT_FALSE(vxCheckFilterEscape(&holder));
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, form->Handle(), WM_USER, WM_USER, PM_REMOVE)) << "other messages stay";
}

class RichTextToPlain : public FilterEscape {
protected:
    void TearDown() override
    {
        delete stream;
        FilterEscape::TearDown();
    }

    // The text in a buffer of its own length and a NUL.
    std::string Convert(const std::string& rtf) { return Convert(rtf, rtf.size() + 1, Integer(rtf.size())); }

    std::string Convert(const std::string& rtf, size_t capacity, Integer size)
    {
        std::vector<char> text(rtf.begin(), rtf.end());
        text.resize(capacity, '\0');
        vxRichTextToPlain(form, text, size, richEdit, stream);
        EXPECT_EQ(size, Integer(std::strlen(text.data())));
        return text.data();
    }

    TRichEdit* richEdit = nullptr;
    TMemoryStream* stream = nullptr;
};

TEST_F(RichTextToPlain, RichTextBecomesItsPlainTextAndTheConvertersAreKept)
{
    EXPECT_EQ(Convert("{\\rtf1\\ansi Hello {\\b bold} world}"), "Hello bold world");
    ASSERT_NE(richEdit, nullptr);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(richEdit->Owner(), form);
    EXPECT_EQ(richEdit->Parent(), form);
    EXPECT_FALSE(richEdit->Visible());
    TRichEdit* const firstEdit = richEdit;
    TMemoryStream* const firstStream = stream;

    EXPECT_EQ(Convert("{\\rtf1\\ansi Second}"), "Second");
    EXPECT_EQ(richEdit, firstEdit);
    EXPECT_EQ(stream, firstStream);
    EXPECT_EQ(Convert("plain words"), "plain words") << "a text that is not rich text stays as it is";
    EXPECT_EQ(Convert("plain words", 11, 500), "plain word") << "within the buffer, less the NUL";
}

TEST(StringsToPChar, LinesAreJoinedByABlankOrByCrLf)
{
    TStringList lines;
    EXPECT_STREQ(vxStringsToPChar(&lines, true).get(), "");
    EXPECT_STREQ(vxStringsToPChar(&lines, false).get(), "");
    lines.Add("a");
    EXPECT_STREQ(vxStringsToPChar(&lines, false).get(), "a");
    lines.Add("b");
    lines.Add("");
    EXPECT_STREQ(vxStringsToPChar(&lines, true).get(), "a b ");
    EXPECT_STREQ(vxStringsToPChar(&lines, false).get(), "a\r\nb\r\n");
}

}  // namespace
