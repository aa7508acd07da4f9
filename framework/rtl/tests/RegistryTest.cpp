#include "rtl/Registry.h"

#include <gtest/gtest.h>

#include "rtl/Strings.h"

namespace {

const char* const TestKey = "\\Software\\dunsys-test";

class RegistryTest : public testing::Test {
protected:
    void SetUp() override { TRegistry().DeleteKey(TestKey); }
    void TearDown() override { TRegistry().DeleteKey(TestKey); }

    // A registry whose current key is the (new) test key.
    static void OpenTestKey(TRegistry& reg) { ASSERT_TRUE(reg.OpenKey(TestKey, true)); }
};

template <class F>
std::string RegistryErrorOf(F f)
{
    try {
        f();
    } catch (const ERegistryException& e) {
        return e.Message();
    }
    return "no error";
}

std::string Joined(const TStringList& list)
{
    TStringList sorted;
    sorted.Assign(const_cast<TStringList*>(&list));
    sorted.SetSorted(true);
    return sorted.CommaText();
}

}  // namespace

TEST_F(RegistryTest, ValuesRoundTripWithTheirTypes)
{
    TRegistry reg;
    OpenTestKey(reg);
    reg.WriteString("Name", "Smith & Co");
    reg.WriteString("Empty", "");
    reg.WriteInteger("Count", -12);
    reg.WriteBool("Flag", true);

    TRegistry other;
    ASSERT_TRUE(other.OpenKey(TestKey, false));
    EXPECT_EQ(other.ReadString("Name"), "Smith & Co");
    EXPECT_EQ(other.ReadString("Empty"), "");
    EXPECT_EQ(other.ReadInteger("Count"), -12);
    EXPECT_TRUE(other.ReadBool("Flag"));
    EXPECT_EQ(other.GetDataType("Name"), rdString);
    EXPECT_EQ(other.GetDataType("Count"), rdInteger);
    EXPECT_EQ(other.GetDataType("Missing"), rdUnknown);
    EXPECT_TRUE(other.ValueExists("Empty"));
    EXPECT_FALSE(other.ValueExists("Missing"));
    EXPECT_TRUE(other.DeleteValue("Name"));
    EXPECT_FALSE(other.DeleteValue("Name"));
    EXPECT_FALSE(other.ValueExists("Name"));
}

TEST_F(RegistryTest, MissingAndMistypedValues)
{
    TRegistry reg;
    OpenTestKey(reg);
    reg.WriteString("Text", "12");
    reg.WriteInteger("Number", 12);
    EXPECT_EQ(reg.ReadString("Missing"), "");
    EXPECT_EQ(RegistryErrorOf([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
    EXPECT_EQ(RegistryErrorOf([&] { reg.ReadInteger("Text"); }), "Invalid data type for 'Text'");
    EXPECT_EQ(RegistryErrorOf([&] { reg.ReadBool("Text"); }), "Invalid data type for 'Text'");
    EXPECT_EQ(RegistryErrorOf([&] { reg.ReadString("Number"); }), "Invalid data type for 'Number'");
}

TEST_F(RegistryTest, ReadOnlyKeyRefusesWrites)
{
    TRegistry(KEY_ALL_ACCESS).OpenKey(TestKey, true);
    TRegistry reg;
    EXPECT_EQ(reg.Access(), LongWord(KEY_ALL_ACCESS));
    ASSERT_TRUE(reg.OpenKeyReadOnly(TestKey));
    EXPECT_EQ(reg.Access(), LongWord(KEY_READ));
    EXPECT_EQ(RegistryErrorOf([&] { reg.WriteString("X", "y"); }), "Failed to set data for 'X'");
    EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\dunsys-test\\Missing"));
}

TEST_F(RegistryTest, RelativeAndAbsolutePaths)
{
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey(TestKey, false));  // not created without canCreate
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    OpenTestKey(reg);
    EXPECT_EQ(reg.CurrentPath(), "Software\\dunsys-test");
    ASSERT_TRUE(reg.OpenKey("A\\B", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\dunsys-test\\A\\B");
    EXPECT_FALSE(reg.OpenKey("Missing", false));
    EXPECT_EQ(reg.CurrentPath(), "Software\\dunsys-test\\A\\B");  // a failed open keeps the current key
    ASSERT_TRUE(reg.OpenKey(TestKey, false));
    EXPECT_EQ(reg.CurrentPath(), "Software\\dunsys-test");
    EXPECT_TRUE(reg.KeyExists("A\\B"));
    EXPECT_TRUE(reg.KeyExists("\\Software\\dunsys-test\\A"));
    EXPECT_FALSE(reg.KeyExists("B"));
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentPath(), "");
    EXPECT_TRUE(reg.KeyExists("Software\\dunsys-test\\A"));  // relative to the root once no key is open
}

TEST_F(RegistryTest, ListsAndDeletesKeyTrees)
{
    TRegistry reg;
    OpenTestKey(reg);
    EXPECT_FALSE(reg.HasSubKeys());
    reg.WriteString("One", "1");
    reg.WriteInteger("Two", 2);
    ASSERT_TRUE(reg.OpenKey("\\Software\\dunsys-test\\Beta\\Deep\\Deeper", true));
    ASSERT_TRUE(reg.OpenKey("\\Software\\dunsys-test\\Alpha", true));
    ASSERT_TRUE(reg.OpenKey(TestKey, false));
    EXPECT_TRUE(reg.HasSubKeys());

    TStringList names;
    names.Add("stale");
    reg.GetKeyNames(&names);
    EXPECT_EQ(Joined(names), "Alpha,Beta");
    reg.GetValueNames(&names);
    EXPECT_EQ(Joined(names), "One,Two");

    EXPECT_TRUE(reg.DeleteKey("Beta"));
    EXPECT_FALSE(reg.KeyExists("Beta"));
    EXPECT_TRUE(reg.KeyExists("Alpha"));
    EXPECT_FALSE(reg.DeleteKey("Beta"));
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey(TestKey));
    EXPECT_FALSE(reg.KeyExists(TestKey));
}

TEST_F(RegistryTest, RootKeyChangeClosesTheKey)
{
    TRegistry reg;
    OpenTestKey(reg);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    EXPECT_EQ(reg.RootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.KeyExists(TestKey));
}
