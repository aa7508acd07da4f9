// The note viewer's configuration values against a scratch machine registry.
#include <gtest/gtest.h>

#include "dunlist/bin.h"
#include "hostdata/tests/LookupComboRoutinesFixture.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/TestHelpers.h"

namespace {

std::string ReadFailure(const std::string& name)
{
    return "Unable to read the '" + name + "' value from the registry at this time." +
           "Please contact KDV, Inc. for assistance.";
}

class NoteViewerConfig : public ::testing::Test {
protected:
    TMachineRegistryOverride registry_;
    TScriptedDialogs dialogs_;
};

TEST_F(NoteViewerConfig, ReadsTheNamedValueUnderTheAliasOrHostKey)
{
    registry_.SetString(AliasKeyVavuz, "PhysicalName", "C:\\DATA");
    registry_.SetString(AliasKeyVavuz, "Description", "Demo data");
    registry_.SetString(AliasKeyOvwmas, "PhysicalName", "R:\\REMOTE");
    registry_.SetString(HostKey, "EntryMode", "1");
    registry_.SetString(RemoteKey, "BatchPrintOptions", "Opts");
    const struct {
        std::string Name;
        bool AliasMode;
        std::string Expected;
    } cases[] = {
        {"PhysicalName", true, "C:\\DATA"},
        {"Description", true, "Demo data"},
        {"REMOTEPhysicalName", true, ""},  // no mapping: VAVUZ's own value of that name, missing
        {"EntryMode", false, "1"},
        {"PRINTEROPTS", false, ""},  // the Host value of that name, not the Remote key's
    };
    for (const auto& c : cases)
        EXPECT_EQ(dunlist::ReadConfigValue(c.Name, c.AliasMode), c.Expected) << c.Name;
    EXPECT_TRUE(dialogs_.Shown.empty());
}

TEST_F(NoteViewerConfig, MissingKeyOrFailedReadShowsTheMessageAndReadsEmpty)
{
    registry_.SetDword(AliasKeyVavuz, "PhysicalName", 7);  // not a string: the read fails
    EXPECT_EQ(dunlist::ReadConfigValue("PhysicalName", true), "");
    EXPECT_EQ(dunlist::ReadConfigValue("EntryMode", false), "");  // no Host key
    ASSERT_EQ(dialogs_.Shown.size(), 2u);
    EXPECT_EQ(dialogs_.Shown[0].Text, ReadFailure("PhysicalName"));
    EXPECT_EQ(dialogs_.Shown[1].Text, ReadFailure("EntryMode"));
    EXPECT_EQ(dialogs_.Shown[1].Type, mtInformation);
}

}  // namespace

namespace {

TEST_F(LookupComboRoutines, TheNoteViewersKeyFilterIgnoresKeyZero)
{
    const TKeyFilter filter = [](TvxDBCustomLookupCombo* combo, Word& key) {
        dunlist::LookupComboKeyFilter(combo, key);
    };
    EXPECT_FALSE(SwitchesSearchOff(filter, 0, "   "));
    EXPECT_FALSE(SwitchesSearchOff(filter, 0, ""));
    for (Word key : {VK_BACK, VK_DELETE, VK_LEFT, VK_RIGHT, VK_HOME, VK_END})
        EXPECT_TRUE(SwitchesSearchOff(filter, key, "AB")) << "key " << key;
    EXPECT_FALSE(SwitchesSearchOff(filter, 'A', ""));
}

TEST_F(LookupComboRoutines, TheNoteViewerColoursWithoutRepainting)
{
    EXPECT_FALSE(ColoursAndRepaints([](TComponent* owner) { dunlist::ColorLookupCombos(owner); }));
    dunlist::SetLookupComboSearch(first_, false);
    EXPECT_FALSE(first_->AutoDropDown());
}

}  // namespace
