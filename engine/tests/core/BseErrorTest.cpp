#include <gtest/gtest.h>

#include "engine/core/BseErrName.h"
#include "engine/core/BseErrStack.h"
#include "engine/core/BseError.h"

namespace {

std::string CodeName(Word code, size_t maxLength = 255)
{
    std::string name;
    ErrorCodeName(code, name, maxLength);
    return name;
}

TEST(ErrorCodeName, NamesByFirstMatchingRowElseByNumber)
{
    const std::pair<Word, const char*> cases[] = {
            {0x0000, "DBIERR_NONE"},          {0x2201, "DBIERR_BOF"},
            {0x2202, "DBIERR_EOF"},           {0x2204, "DBIERR_RECDELETED"},
            {0x2205, "DBIERR_NOCURRREC"},     {0x2728, "DBIERR_NOSUCHTABLE"},
            {0x2751, "DBIERR_INVALIDPROCEDURENAME"}, {0x2801, "DBIERR_LOCKED"},
            {0x2B65, "DBIERR_OSNETERR"},      {0x2B6A, "DBIERR_NOSERVERSW"},
            {0x2EA1, "DBIERR_QUERYTOOLONG"},  {0x3001, "DBIERR_NOTSUPPORTED"},
            {0x3E07, "DBIERR_VENDINITFAIL"},  {0x2D02, "DBIERR_INVALIDOPTPARAM"},
            {0x1234, "Borea (BDE) Error 4660."}, {0x2B0E, "Borea (BDE) Error 11022."},
    };
    for (const auto& [code, name] : cases) EXPECT_EQ(CodeName(code), name) << std::hex << code;
}

TEST(ErrorCodeName, CutToMaximumLength)
{
    EXPECT_EQ(CodeName(0x2202, 8), "DBIERR_E");
    EXPECT_EQ(CodeName(0x2202, 0), "");
}

TEST(EngineError, CarriesCodeAndCutTextButNoMessage)
{
    const EBoreaEngineError error(DBIERR_UNKNOWNDB, std::string(300, 'x'));
    EXPECT_EQ(error.Code(), DBIERR_UNKNOWNDB);
    EXPECT_EQ(error.Text(), std::string(255, 'x'));
    EXPECT_EQ(error.NativeCode(), 0);
    EXPECT_EQ(error.Message(), "");
    std::string native = "stale";
    error.GetNativeText(native);
    EXPECT_EQ(native, "");
}

TEST(EngineError, RaisersGiveTheirCodes)
{
    EXPECT_THROW(RaiseEOF(), EBoreaEOFError);
    EXPECT_THROW(RaiseBOF(), EBoreaBOFError);
    try {
        RaiseEOF();
    } catch (const EBoreaBoundryError& e) {
        EXPECT_EQ(e.Code(), DBIERR_EOF);
    }
    try {
        RaiseBOF();
    } catch (const EAbort& e) {  // silent
        EXPECT_EQ(static_cast<const EBoreaEngineError&>(e).Code(), DBIERR_BOF);
    }
    try {
        RaiseEngineErrorText(DBIERR_NOSUCHTABLE, "yclient.qf");
    } catch (const EBoreaEngineError& e) {
        EXPECT_EQ(e.Code(), DBIERR_NOSUCHTABLE);
        EXPECT_EQ(e.Text(), "yclient.qf");
    }
    try {
        RaiseNotSupported(9000);  // the engine's own ids are not in the string table
    } catch (const EBoreaEngineError& e) {
        EXPECT_EQ(e.Code(), DBIERR_NOTSUPPORTED);
        EXPECT_EQ(e.Text(), "");
    }
}

TEST(EngineError, ChecksRaiseOnlyOnFailure)
{
    int value = 0;
    EXPECT_TRUE(CheckCondition(true, DBIERR_NA));
    EXPECT_EQ(CheckParam(&value), &value);
    EXPECT_EQ(CheckHandle(&value), &value);
    try {
        CheckCondition(false, DBIERR_NA);
        FAIL();
    } catch (const EBoreaEngineError& e) {
        EXPECT_EQ(e.Code(), DBIERR_NA);
    }
    try {
        CheckParam<int>(nullptr);
        FAIL();
    } catch (const EBoreaEngineError& e) {
        EXPECT_EQ(e.Code(), DBIERR_INVALIDPARAM);
    }
    try {
        CheckHandle<int>(nullptr);
        FAIL();
    } catch (const EBoreaEngineError& e) {
        EXPECT_EQ(e.Code(), DBIERR_INVALIDHNDL);
    }
}

TEST(MapStatusToCode, FirstMatchElseTheStatus)
{
    const TStatusCodePair pairs[] = {{7, 0x1111}, {8, 0x2222}, {7, 0x3333}};
    EXPECT_EQ(MapStatusToCode(pairs, 3, 7), 0x1111);
    EXPECT_EQ(MapStatusToCode(pairs, 3, 8), 0x2222);
    EXPECT_EQ(MapStatusToCode(pairs, 3, 9), 9);
    EXPECT_EQ(MapStatusToCode(pairs, 1, 8), 8);  // only the first pair is searched
    EXPECT_EQ(MapStatusToCode(pairs, 0, 7), 7);
    EXPECT_EQ(MapStatusToCode(pairs, -1, 7), 7);
    const TStatusCodePair zero[] = {{0, 0x4444}};
    EXPECT_EQ(MapStatusToCode(zero, 1, 0), 0);
}

// An engine error with a native code and text, as a driver raises it.
class NativeError : public EBoreaEngineError {
public:
    NativeError(Word code, Integer native, std::string text, std::string context)
            : EBoreaEngineError(code, context), text_(std::move(text))
    {
        SetNativeCode(native);
    }
    void GetNativeText(std::string& text) const override { text = text_; }

private:
    std::string text_;
};

TEST(ErrorStack, KeepsTheNewestEntriesFirst)
{
    TErrorStack stack(10);
    EXPECT_FALSE(stack.HasEntries());
    for (Word code = 1; code <= 12; ++code) stack.PushException(EBoreaEngineError(code));
    EXPECT_EQ(stack.Count(), 10);
    TErrorEntry entry;
    ASSERT_TRUE(stack.GetEntry(1, entry));
    EXPECT_EQ(entry.Code, 12);
    ASSERT_TRUE(stack.GetEntry(10, entry));
    EXPECT_EQ(entry.Code, 3);
    EXPECT_FALSE(stack.GetEntry(11, entry));
    EXPECT_FALSE(stack.GetEntry(0, entry));
    stack.Clear();
    EXPECT_FALSE(stack.HasEntries());
    EXPECT_FALSE(stack.GetEntry(1, entry));
}

TEST(ErrorStack, CapacityIsAtMostTwenty)
{
    TErrorStack stack(50);
    for (Word code = 1; code <= 25; ++code) stack.PushException(EBoreaEngineError(code));
    EXPECT_EQ(stack.Count(), 20);
    TErrorEntry entry;
    ASSERT_TRUE(stack.GetEntry(20, entry));
    EXPECT_EQ(entry.Code, 6);
}

TEST(ErrorStack, PushExceptionFillsEveryField)
{
    TErrorStack stack(10);
    stack.PushException(NativeError(DBIERR_LOCKED, 84, "Btrieve Status 84", "note.qf"));
    TErrorEntry entry;
    ASSERT_TRUE(stack.GetEntry(1, entry));
    EXPECT_EQ(entry.Code, DBIERR_LOCKED);
    EXPECT_STREQ(entry.CodeName, "DBIERR_LOCKED");
    EXPECT_EQ(entry.NativeCode, 84);
    EXPECT_STREQ(entry.NativeText, "Btrieve Status 84");
    EXPECT_STREQ(entry.Context[0], "note.qf");
}

TEST(ErrorStack, EntryTextJoinsItsPiecesByLine)
{
    TErrorStack stack(10);
    std::string text = "untouched";
    EXPECT_EQ(stack.GetEntryText(1, text), 0);
    EXPECT_EQ(text, "untouched");

    stack.PushException(EBoreaEngineError(DBIERR_EOF));
    EXPECT_EQ(stack.GetEntryText(1, text), DBIERR_EOF);
    EXPECT_EQ(text, "DBI Error Code = DBIERR_EOF");

    std::string context;
    for (int i = 0; i < 200; ++i) context += char('a' + i % 26);
    stack.PushException(NativeError(DBIERR_NOSUCHFILE, 12, "native", context));
    EXPECT_EQ(stack.GetEntryText(1, text), DBIERR_NOSUCHFILE);
    const std::string full = "native\r\nDBI Error Code = DBIERR_NOSUCHFILE\r\n" + context + "\r\n" + context.substr(128);
    EXPECT_EQ(text, full.substr(0, 260));
}

TEST(ErrorStack, NativeTextOnlyWithNativeCode)
{
    TErrorStack stack(10);
    stack.PushException(NativeError(0, 0, "ignored", "context"));
    std::string text;
    EXPECT_EQ(stack.GetEntryText(1, text), 0);
    EXPECT_EQ(text, "context");
}

}  // namespace
