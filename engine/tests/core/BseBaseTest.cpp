#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/BseBase.h"
#include "engine/core/BseError.h"
#include "engine/core/BseRegistry.h"
#include "engine/core/BseUtil.h"
#include "rtl/WinApi.h"

namespace {

// An engine object with a number, recording its destruction.
class TNumbered : public TBapiListItem {
    DUN_CLASS(TNumbered, TBapiListItem)
public:
    TNumbered(Integer number, TBoreaCollection* collection, std::vector<Integer>* freed = nullptr)
            : TBapiListItem(nullptr, nullptr), Number(number), freed_(freed)
    {
        Register(collection);
    }
    ~TNumbered() override
    {
        if (freed_) freed_->push_back(Number);
    }
    Integer Number;

private:
    std::vector<Integer>* freed_;
};

class TByNumber : public TSortedCollection {
    DUN_CLASS(TByNumber, TSortedCollection)
public:
    Integer Compare(const void* key1, const void* key2) const override
    {
        const Integer a = static_cast<const TNumbered*>(key1)->Number;
        const Integer b = static_cast<const TNumbered*>(key2)->Number;
        return a < b ? -1 : a > b ? 1 : 0;
    }
};

TEST(BoreaCollection, ObjectsLeaveTheirCollectionAndAreFreedNewestFirst)
{
    std::vector<Integer> freed;
    auto* collection = new TBoreaCollection;
    new TNumbered(1, collection, &freed);
    auto* second = new TNumbered(2, collection, &freed);
    new TNumbered(3, collection, &freed);
    EXPECT_EQ(second->IndexInCollection(), 1);
    second->Free();
    EXPECT_EQ(collection->Count(), 2);
    EXPECT_EQ(collection->At(5), nullptr);
    EXPECT_THROW(collection->Items(5), EListError);
    collection->Free();
    EXPECT_EQ(freed, (std::vector<Integer>{2, 3, 1}));
}

TEST(SortedCollection, DuplicatesGoInFrontOfTheirEqualsUnlessRefused)
{
    TByNumber sorted;
    for (Integer n : {3, 1, 2, 2}) new TNumbered(n, &sorted);
    auto* newTwo = new TNumbered(2, nullptr);
    sorted.Insert(newTwo);
    EXPECT_EQ(sorted.IndexOf(newTwo), 1);
    EXPECT_EQ(sorted.Count(), 5);

    TByNumber unique;
    unique.Duplicates = false;
    new TNumbered(1, &unique);
    new TNumbered(2, &unique);
    TNumbered another(2, nullptr);
    unique.Insert(&another);
    EXPECT_EQ(unique.Count(), 2);
    EXPECT_EQ(unique.IndexOf(&another), -1);
    Integer index = -1;
    EXPECT_TRUE(unique.Search(&another, index));
    EXPECT_EQ(index, 1);
}

TEST(EngineObject, BaseAnswersNoProperty)
{
    TBapiListItem item(nullptr, nullptr);
    Word length = 0;
    try {
        item.GetProp(1, nullptr, length, 0);
        ADD_FAILURE();
    } catch (const EBoreaEngineError& e) {
        EXPECT_EQ(e.Code(), DBIERR_NOTSUPPORTED);
        EXPECT_EQ(e.Text(), "");
    }
    EXPECT_EQ(item.IndexInCollection(), 0);
}

TEST(EngineRoutines, PathNamesAndQuotedReplacement)
{
    EXPECT_FALSE(IsPathName("VAVUZ", true));
    EXPECT_TRUE(IsPathName("c:data", false));
    EXPECT_TRUE(IsPathName("data\\x", false));
    EXPECT_TRUE(IsPathName("client.qf", true));
    EXPECT_FALSE(IsPathName("client.qf", false));
    char text[] = "a;'b;c';d";
    ReplaceCharUnquoted(text, std::strlen(text), ';', '\'', '|');
    EXPECT_STREQ(text, "a|'b;c'|d");
}

TEST(EngineRoutines, BuffersAndShortStrings)
{
    std::string out;
    TrimBuffer(" \t name \x01 ", 10, out);
    EXPECT_EQ(out, "name");
    TrimBufferZ("  ab ", 5, out);
    EXPECT_EQ(out, std::string("ab\0", 3));
    NumericChars("$-1,234.5e", out);
    EXPECT_EQ(out, "-1234.5");
    AddBackslash("c:\\data", out);
    EXPECT_EQ(out, "c:\\data\\");
    AddBackslash(out, out);
    EXPECT_EQ(out, "c:\\data\\");
    EXPECT_EQ(CompareBytes("\x01\x80", "\x01\x7F", 2), 1);
    EXPECT_EQ(CompareBytes("\x01\x80", "\x01\x7F", 1), 0);
    EXPECT_TRUE(IsZeroFilled("\0\0", 2));
    EXPECT_TRUE(IsZeroFilled("x", 0));
    char replaced[12] = "one two";
    EXPECT_TRUE(ReplaceText(replaced, "one", "three", 9));
    EXPECT_STREQ(replaced, "three two");
    EXPECT_TRUE(ReplaceText(replaced, "three ", nullptr, 9));
    EXPECT_STREQ(replaced, "two");
    EXPECT_FALSE(ReplaceText(replaced, "x", "y", 9));
    char cut[] = "name;RES:X";
    TruncateAtChar(cut, ';');
    EXPECT_STREQ(cut, "name");
}

TEST(RightsRegistry, ReadAccessOpensButCannotWrite)
{
    const std::string key = "\\Software\\EngCursorTest";
    TRightsRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(key, true));
    registry.WriteString("Value", "x");
    registry.CloseKey();
    registry.SetAccess(KEY_READ);
    ASSERT_TRUE(registry.OpenKey(key, false));
    EXPECT_EQ(registry.CurrentPath(), "Software\\EngCursorTest");
    EXPECT_EQ(registry.ReadString("Value"), "x");
    EXPECT_ANY_THROW(registry.WriteString("Value", "y"));
    EXPECT_FALSE(registry.OpenKey("Missing", false));
    ASSERT_TRUE(registry.OpenKey(key, true));  // created keys get full access whatever the mask
    registry.WriteString("Value", "z");
    registry.CloseKey();
    registry.DeleteKey(key);
}

}  // namespace
