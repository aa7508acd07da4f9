// The client/case lookup form on a fixture data directory, driven through its windows: focus moves and keys go
// through the input queue, message boxes are answered by the test.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "duntrack/ClientCaseLookupU.h"
#include "duntrack/tests/DataModuleFixture.h"
#include "engine/bk/BtrInfoU.h"
#include "hostdata/OVWCon.h"
#include "rtl/CommandLine.h"
#include "rtl/FileUtils.h"
#include "rtl/Format.h"
#include "rtl/StringRoutines.h"
#include "tools/mkdemo/DemoData.h"
#include "vcl/TestSeams.h"
#include "vxcontrols/vxdblook.h"

namespace {

namespace fs = std::filesystem;

struct TClient {
    std::string Code, First, Last, Unassigned;
};

struct TCase {
    std::string Client, Suffix, AlternateID, Description;
};

const std::vector<TClient> Clients = {{"AB", "Ann", "Able", "000000"},
                                      {"AB2", "Al", "Abbot", "000000"},
                                      {"CD", "Bob", "Baker", "000000"},
                                      {"OLD", "Olga", "Older", "800000"}};

const std::vector<TCase> Cases = {{"AB", "12", "ALT-AB-12", "Able v. Smith"},
                                  {"AB", "3", "ALT-AB-3", "Able estate"},
                                  {"CD", "12", "ALT-CD-12", "Baker lease"},
                                  {"CD", "745", "ALT-CD-745", "Baker v. Jones"}};

std::string ProgramFolder()
{
    return ExtractFileDir(ParamStr(0));
}

class LookupForm : public DataModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddRows(dir, "yclient.qf", Clients, [](THostRecord& record, const TClient& row) {
            record.Set("Client Code", row.Code).Set("Client First Name", row.First);
            record.Set("Client Last Name", row.Last).Set("Unassigned", row.Unassigned);
        });
        AddRows(dir, "ycase.qf", Cases, [](THostRecord& record, const TCase& row) {
            const std::string left = Format("%-7s", {row.Suffix}), right = Format("%7s", {row.Suffix});
            const std::string client = Format("%-7s", {row.Client});
            record.Set("Client Code", row.Client).Set("Case Suffix", right).Set("LeftJustCaseSuffix", left);
            record.Set("CaseClient", left + client).Set("RJCaseClient", right + client);
            record.Set("Alternate ID", row.AlternateID).Set("Description Line 1", row.Description);
        });
    }

    void SetUp() override
    {
        Case1RangeValues = {};
        CaseRangeSet = AltIDRangeSet = ClientListNeedsRefresh = NameListNeedsRefresh = false;
        TypeAheadBuffer.clear();
        TypeAheadActive = false;
        CaseKeyState = 0;
        NumericOrder = HideInactiveClients = HideClosedCases = false;
        AltIDCaption = "Y";
        Configure();
        DataModuleTest::SetUp();
        DM = dm_;
        {
            THostDataDir programDir(ProgramFolder());
            MakeProgramDirectoryFiles(programDir);
        }
        if (!withTemplate_) fs::remove(fs::path(ProgramFolder()) / "Yclient.clo");
        timers_ = std::make_unique<TManualTimers>();
        form_ = CreateObject<TClientCaseLookF>(nullptr);
        // The account form's reset unlocks the fields before the user reaches them.
        form_->UnlockFields();
        form_->Show();
        ActivateForm(form_);
        PumpMessages();
    }

    void TearDown() override
    {
        delete form_;
        timers_.reset();
        DM = nullptr;
        DataModuleTest::TearDown();
    }

    // The program's settings, before the form opens its tables.
    virtual void Configure() {}

    // Gives the field the focus through the form, as a click or a Tab would.
    void Enter(TvxDBLookupCombo* field)
    {
        field->SetFocus();
        PumpMessages();
    }

    // Types the text into the focused field and leaves it with Tab.
    void TypeAndTab(const std::string& text)
    {
        TypeText(text);
        TypeKey(VK_TAB);
        PumpMessages();
    }

    bool Focused(TWinControl* control) const { return GetFocus() == control->Handle(); }

    std::string Field(TDataSet* table, const char* name) const { return Trim(table->FieldByName(name)->AsString()); }

    std::unique_ptr<TManualTimers> timers_;
    TClientCaseLookF* form_ = nullptr;
    bool withTemplate_ = true;
};

class LookupFormHidingInactiveClients : public LookupForm {
protected:
    void Configure() override { HideInactiveClients = true; }
};

class LookupFormWithoutTemplate : public LookupForm {
protected:
    void Configure() override { withTemplate_ = false; }
};

TEST_F(LookupForm, ClientCodeAcceptsAStoredBlankPaddedCodeAndFillsTheName)
{
    Enter(form_->ClientCode);
    TypeAndTab("AB");
    EXPECT_TRUE(ShownTexts().empty());
    EXPECT_EQ(Trim(form_->ClientCode->Text()), "AB");
    EXPECT_EQ(form_->ClientName->Text(), "Able, Ann");
    EXPECT_EQ(Field(dm_->Client2_, "Client Code"), "AB") << "the name list stands on the client";
    EXPECT_TRUE(Focused(form_->ClientName));
    SaveWindowToPng(form_->Handle(), "ClientCaseLookF.png");
}

TEST_F(LookupForm, UnknownClientCodeIsRefusedAndKeepsTheFocus)
{
    Enter(form_->ClientCode);
    TypeAndTab("AB1");
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"No such client."});
    EXPECT_TRUE(Focused(form_->ClientCode));
    EXPECT_EQ(form_->ClientName->Text(), "");
}

TEST_F(LookupFormHidingInactiveClients, InactiveClientIsRefusedAndClearsTheFields)
{
    EXPECT_TRUE(dm_->Client1_->Filtered());
    Enter(form_->ClientCode);
    TypeAndTab("OLD");
    EXPECT_EQ(ShownTexts(),
              std::vector<std::string>{"This client is inactive.  Please select from the dropdown list."});
    for (TvxDBLookupCombo* field : {form_->ClientCode, form_->ClientName, form_->CaseSuffix, form_->AlternateID})
        EXPECT_EQ(field->Text(), "") << field->Name();
    EXPECT_TRUE(dm_->Client1_->Filtered()) << "the list hides inactive clients again";
    EXPECT_EQ(dm_->Client1_->Filter(), "[Unassigned] < '8'");
}

TEST_F(LookupForm, InactiveClientIsAcceptedWhenInactiveClientsAreShown)
{
    Enter(form_->ClientCode);
    TypeAndTab("OLD");
    EXPECT_TRUE(ShownTexts().empty());
    EXPECT_EQ(form_->ClientName->Text(), "Older, Olga");
}

TEST_F(LookupForm, ClientNameValidatesAgainstTheListsLastCommaFirst)
{
    Enter(form_->ClientName);
    form_->ClientName->SetText("Baker, Bob");
    form_->ClientName->SetModified(true);
    TypeKey(VK_TAB);
    PumpMessages();
    EXPECT_TRUE(ShownTexts().empty());
    EXPECT_EQ(Trim(form_->ClientCode->Text()), "CD");
    EXPECT_EQ(Field(dm_->Client1_, "Client Code"), "CD");

    Enter(form_->ClientName);
    form_->ClientName->SetText("Nobody, Ned");
    form_->ClientName->SetModified(true);
    TypeKey(VK_TAB);
    PumpMessages();
    EXPECT_EQ(ShownTexts(),
              std::vector<std::string>{"No such client or inactive.  Please select from the list."});
    EXPECT_TRUE(Focused(form_->ClientName));
    EXPECT_EQ(form_->ClientCode->Text(), "") << "a modified name clears the code";
}

// A client is typed; the case suffix 12 is searched on the index that fits numeric order, with the suffix
// justified as that index holds it.
TEST_F(LookupForm, CaseSuffixOfAClientIsSearchedJustifiedOnTheFittingIndex)
{
    for (bool numeric : {false, true}) {
        SCOPED_TRACE(numeric ? "numeric order" : "not numeric order");
        NumericOrder = numeric;
        Enter(form_->ClientCode);
        form_->ClientCode->SelectAll();
        TypeAndTab("CD");
        form_->SetCaseChosen(false);
        Enter(form_->CaseSuffix);
        EXPECT_EQ(dm_->Case1_->IndexName(), numeric ? "1" : "4");
        EXPECT_EQ(form_->CaseSuffix->LookupField(), numeric ? "RJCaseClient" : "LeftJustCaseSuffix");
        form_->CaseSuffix->SetText("12");
        bool add = true;
        EXPECT_TRUE(form_->ValidateCaseSuffix(add));
        EXPECT_FALSE(add);
        EXPECT_EQ(form_->AlternateID->Text(), "ALT-CD-12");
        EXPECT_EQ(Field(dm_->Case1_, "Client Code"), "CD");
        EXPECT_TRUE(form_->CaseChosen());
        EXPECT_TRUE(ShownTexts().empty());
    }
    form_->CaseSuffix->SetText("99");
    bool add = false;
    EXPECT_FALSE(form_->ValidateCaseSuffix(add));
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"No such case."});
}

TEST_F(LookupForm, CaseSuffixWithoutAClientSelectsTheClientOfTheCase)
{
    Enter(form_->CaseSuffix);
    EXPECT_EQ(dm_->Case1_->IndexName(), "5");
    EXPECT_TRUE(form_->Timer1->Enabled());
    TypeText("74");
    timers_->Advance(25);
    TypeKey(VK_TAB);
    PumpMessages();
    EXPECT_TRUE(ShownTexts().empty());
    EXPECT_EQ(Trim(form_->ClientCode->Text()), "CD");
    EXPECT_EQ(form_->ClientName->Text(), "Baker, Bob");
    EXPECT_EQ(form_->CaseSuffix->Text(), "745    ");
    EXPECT_EQ(form_->AlternateID->Text(), "ALT-CD-745");
    EXPECT_EQ(dm_->Case1_->IndexName(), "4") << "the list becomes the client's";
    EXPECT_TRUE(form_->CaseChosen());
    EXPECT_TRUE(Focused(form_->AlternateID));
    SaveWindowToPng(form_->Handle(), "ClientCaseLookF_case.png");
}

TEST_F(LookupForm, TypeAheadCompletesATypedPrefixOnItsTimer)
{
    Enter(form_->CaseSuffix);
    TypeText("7");
    EXPECT_TRUE(TypeAheadActive);
    EXPECT_EQ(TypeAheadBuffer, "7");
    for (int pass = 0; pass < 2; ++pass) {
        timers_->Advance(25);
        EXPECT_EQ(TrimRight(form_->CaseSuffix->Text()), "745") << "pass " << pass;
        EXPECT_EQ(form_->CaseSuffix->SelStart(), 1);
        EXPECT_EQ(TrimRight(form_->CaseSuffix->SelText()), "45");
        form_->CaseSuffix->SetText("7");
    }
    form_->CaseSuffix->CloseUp(false);
}

TEST_F(LookupForm, UnknownAlternateIdentifierKeepsTheFocusWithoutABox)
{
    Enter(form_->AlternateID);
    TypeAndTab("NOSUCH");
    EXPECT_TRUE(Focused(form_->AlternateID));
    EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(LookupForm, KnownAlternateIdentifierSelectsTheCaseAndItsClient)
{
    Enter(form_->AlternateID);
    TypeAndTab("ALT-CD-12");
    EXPECT_TRUE(ShownTexts().empty());
    EXPECT_EQ(Trim(form_->ClientCode->Text()), "CD");
    EXPECT_EQ(form_->ClientName->Text(), "Baker, Bob");
    EXPECT_EQ(Trim(form_->CaseSuffix->Text()), "12");
    EXPECT_EQ(Field(dm_->Case1_, "Client Code"), "CD");
    EXPECT_EQ(Field(dm_->Case1_, "LeftJustCaseSuffix"), "12");
    EXPECT_FALSE(AltIDRangeSet);
    EXPECT_TRUE(form_->CaseChosen());
}

// Key codes through the case suffix's key handler (no client, not numeric order, the list dropped down): the numeric pad's digits, minus
// and period become their characters; the list's keys reset the type-ahead; keys that are no suffix characters are
// discarded.
TEST_F(LookupForm, CaseSuffixKeysConvertExtendResetOrDiscard)
{
    struct Case {
        Word Key;
        Word KeyAfter;
        std::string Buffer;
        bool Active;
    };
    const std::vector<Case> cases = {
        {VK_NUMPAD1, '1', "71", true}, {VK_NUMPAD9, '9', "79", true}, {VK_NUMPAD0, '0', "70", true},
        {VK_MULTIPLY, 0, "7", true},   {VK_SUBTRACT, 0, "7", true},   {VK_OEM_MINUS, '-', "7-", true},
        {VK_OEM_PERIOD, '.', ".", true}, {VK_DECIMAL, '.', ".", true}, {'K', 'K', "7K", true},
        {VK_BACK, VK_BACK, "", false}, {VK_DOWN, VK_DOWN, "", false}, {VK_NEXT, VK_NEXT, "", false},
        {VK_F1, 0, "7", true},         {VK_TAB, 0, "7", true},
    };
    Enter(form_->CaseSuffix);
    for (const Case& c : cases) {
        if (!form_->CaseSuffix->IsDroppedDown()) form_->CaseSuffix->DropDown();
        form_->CaseSuffix->SetText("7");
        form_->CaseSuffix->SetSelStart(1);
        TypeAheadBuffer = "7";
        TypeAheadActive = true;
        Word key = c.Key;
        form_->CaseSuffixKeyDown(form_->CaseSuffix, key, {});
        EXPECT_EQ(key, c.KeyAfter) << "key " << c.Key;
        EXPECT_EQ(TypeAheadBuffer, c.Buffer) << "key " << c.Key;
        EXPECT_EQ(TypeAheadActive, c.Active) << "key " << c.Key;
    }
    form_->CaseSuffix->CloseUp(false);
}

TEST_F(LookupForm, NumericOrderSpaceRightJustifiesAndRangesTheSuffix)
{
    NumericOrder = true;
    Enter(form_->CaseSuffix);
    EXPECT_EQ(dm_->Case1_->IndexName(), "6");
    form_->CaseSuffix->SetText("12");
    form_->CaseSuffix->SetSelStart(2);
    CaseKeyState = 1;
    Word key = VK_SPACE;
    form_->CaseSuffixKeyDown(form_->CaseSuffix, key, {});
    EXPECT_EQ(key, 0);
    EXPECT_EQ(form_->CaseSuffix->Text(), "     12");
    EXPECT_EQ(CaseKeyState, 2);
    EXPECT_TRUE(CaseRangeSet);
    EXPECT_EQ(Case1RangeValues.FromSuffix, "     12");
    EXPECT_EQ(Case1RangeValues.IndexName, "6");
    EXPECT_EQ(Field(dm_->Case1_, "LeftJustCaseSuffix"), "12");
    form_->CaseSuffix->CloseUp(false);
}

// The form's first field opened the client tables when the form was shown.
TEST_F(LookupForm, MissingClientSaveFileIsCreatedFromTheTemplate)
{
    ASSERT_TRUE(dm_->Client1_->Active());
    const std::string saveFile = Path("ClntSave.qf");
    ASSERT_TRUE(FileExists(saveFile));
    TvxBkTable saved(nullptr);
    saved.SetDatabaseName("VAVUZ");
    saved.SetTableName(saveFile + ";RES:YCLIENT");
    saved.Open();
    EXPECT_TRUE(saved.IsEmpty());
    EXPECT_NE(saved.FindField("Client Code"), nullptr);
    saved.Close();
    EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(LookupFormWithoutTemplate, MissingTemplateShowsTheErrorAndTheFormGoesOn)
{
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Your ClntSave.Qf file is missing and Ordavane was unable\r"
                                                     "to create a new one.\rPlease contact KDV, Inc. for "
                                                     "assistance."});
    EXPECT_FALSE(FileExists(Path("ClntSave.qf")));
    Enter(form_->ClientCode);
    TypeAndTab("AB");
    EXPECT_EQ(form_->ClientName->Text(), "Able, Ann");
}

TEST_F(LookupForm, WheelDoesNothingOnTheForm)
{
    Enter(form_->ClientCode);
    EXPECT_EQ(SendMessageA(form_->ClientCode->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0), 1)
        << "the form marks the wheel handled";
    form_->OnMouseWheel = nullptr;
    EXPECT_EQ(form_->ClientCode->Perform(CM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0), 0);
}

TEST_F(LookupForm, CoverEditClickNamesTheFieldAndMovesToTheAlternateIdentifier)
{
    form_->Edit2->SetVisible(true);
    form_->Edit2->BringToFront();
    PumpMessages();
    MouseClick(form_->Edit2, Point(10, 8));
    EXPECT_EQ(ShownTexts(),
              std::vector<std::string>{"Client Name cannot be changed here.\rUse Global Change utility instead"});
    EXPECT_TRUE(Focused(form_->AlternateID));
}

TEST_F(LookupForm, CreationSizesTheCaseFieldsAndColoursTheLists)
{
    EXPECT_EQ(form_->Width(), 765);
    EXPECT_EQ(form_->CaseSuffix->Font()->Name(), "Courier New");
    EXPECT_EQ(form_->ClientCode->Width(), form_->CaseSuffix->Width());
    EXPECT_EQ(form_->ClientCode->Left(), form_->CaseSuffix->Left());
    EXPECT_LT(form_->CaseSuffix->Width(), 120);
    EXPECT_EQ(form_->CaseSuffix->Left() + form_->CaseSuffix->Width(), 204) << "the right edge stays";
    for (TvxDBLookupCombo* field : {form_->ClientCode, form_->ClientName, form_->CaseSuffix, form_->AlternateID})
        EXPECT_EQ(field->DropDownGrid()->Color(), clYellow) << field->Name();
}

}  // namespace
