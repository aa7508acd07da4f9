#include "duntrack/ClientCaseLookupU.h"

#include <algorithm>

#include "duntrack/OVWDatModU.h"
#include "hostdata/OVWCon.h"
#include "rtl/CommandLine.h"
#include "rtl/FileUtils.h"
#include "rtl/Format.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "vcl/Dialogs.h"
#include "vxcontrols/Vxdbgrid.h"
#include "vxcontrols/vxdblook.h"

TCase1RangeValues Case1RangeValues;
bool CaseRangeSet = false;
bool AltIDRangeSet = false;
bool ClientListNeedsRefresh = false;
bool NameListNeedsRefresh = false;
std::string TypeAheadBuffer;
bool TypeAheadActive = false;
Integer CaseKeyState = 0;
bool NumericOrder = false;
bool HideInactiveClients = false;
bool HideClosedCases = false;
std::string AltIDCaption;

const char* const ActiveClientsFilter = "[Unassigned] < '8'";

namespace {

const std::string CaseFileMissingRange = "ZZZZZZZ";
const std::string AltIDRangeFrom = "                   0";
const std::string AltIDRangeTo = "zzzzzzzzzzzzzzzzzzzz";
const std::string CasePositionFailure =
    "An error was encountered while attempting to obtain a record position in the case file.";

// The mouse cursor is the hourglass while it lives.
class THourGlass {
public:
    THourGlass() : saved_(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(saved_); }

private:
    TCursor saved_;
};

std::string FieldText(TDataSet* table, const char* field)
{
    return table->FieldByName(field)->AsString();
}

std::string ClientKey(const std::string& code)
{
    return Format("%-7s", {code});
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

bool WholeTextSelected(TvxDBCustomLookupCombo* combo)
{
    return combo->SelLength() == Integer(combo->Text().size());
}

// Digits, letters, and the minus and period keys as the case suffix's key handler converts them.
bool IsSuffixCharacterKey(Word key)
{
    return key == '-' || key == '.' || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z');
}

// Page Up, Page Down, End, Home and the arrows: they move in the list and are no characters of a suffix.
bool IsListKey(Word key)
{
    return key >= VK_PRIOR && key <= VK_DOWN;
}

bool CaretAfterSeventh(TvxDBCustomLookupCombo* combo)
{
    return combo->Text().size() == 7 && combo->SelStart() == 7;
}

}  // namespace

void InformAtCombo(TControl* combo, const std::string& text, Integer dx, Integer dy)
{
    const TPoint origin = combo->ClientOrigin();
    MessageDlgPos(text, mtInformation, {mbOK}, 0, origin.x + dx, origin.y + dy);
}

void QueueKeyPress(Word key)
{
    keybd_event(BYTE(key), 0, 0, 0);
    keybd_event(BYTE(key), 0, KEYEVENTF_KEYUP, 0);
}

TClientCaseLookF::TClientCaseLookF(TComponent* owner) : TForm(owner) {}

void TClientCaseLookF::Publish(TPublisher<TClientCaseLookF>& p)
{
    using F = TClientCaseLookF;
    p.Field("ClientCode", &F::ClientCode);
    p.Field("ClientName", &F::ClientName);
    p.Field("CaseSuffix", &F::CaseSuffix);
    p.Field("AlternateID", &F::AlternateID);
    p.Field("Edit1", &F::Edit1);
    p.Field("Edit2", &F::Edit2);
    p.Field("Edit3", &F::Edit3);
    p.Field("vxDBGrid1", &F::vxDBGrid1);
    p.Field("Timer1", &F::Timer1);
    p.Field("Label1", &F::Label1);
    p.Field("Label2", &F::Label2);
    p.Field("Label3", &F::Label3);
    p.Field("Label4", &F::Label4);
    p.Method("FormCreate", &F::FormCreate);
    p.Method("FormDestroy", &F::FormDestroy);
    p.Method("FormMouseWheel", &F::FormMouseWheel);
    p.Method("ClientCodeEnter", &F::ClientCodeEnter);
    p.Method("ClientCodeChange", &F::ClientCodeChange);
    p.Method("ClientCodeExit", &F::ClientCodeExit);
    p.Method("ClientCodeCloseUp", &F::ClientCodeCloseUp);
    p.Method("ClientNameEnter", &F::ClientNameEnter);
    p.Method("ClientNameExit", &F::ClientNameExit);
    p.Method("ClientNameCloseUp", &F::ClientNameCloseUp);
    p.Method("ClientNameKeyPress", &F::ClientNameKeyPress);
    p.Method("CaseSuffixEnter", &F::CaseSuffixEnter);
    p.Method("CaseSuffixChange", &F::CaseSuffixChange);
    p.Method("CaseSuffixKeyDown", &F::CaseSuffixKeyDown);
    p.Method("CaseSuffixExit", &F::CaseSuffixExit);
    p.Method("AlternateIDEnter", &F::AlternateIDEnter);
    p.Method("AlternateIDExit", &F::AlternateIDExit);
    p.Method("Timer1Timer", &F::Timer1Timer);
    p.Method("Edit1Click", &F::Edit1Click);
}

void TClientCaseLookF::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    StripFormFrameStyle(params);
}

// ---- creation and destruction

void TClientCaseLookF::FormCreate(TObject*)
{
    caseChosen_ = false;
    SetWidth(765);
    CaseSuffix->SetMultiLine(true);
    CaseSuffix->Font()->SetName("Courier New");
    CaseSuffix->Font()->SetSize(9);
    CaseSuffix->Font()->SetPitch(fpFixed);
    SizeCaseFields();
    ColorLookupCombos(this);
}

// The case suffix is as wide as seven narrow letters of its font and its button; the client code is its twin.
void TClientCaseLookF::SizeCaseFields()
{
    TvxPopupGrid* grid = CaseSuffix->DropDownGrid();
    grid->Font()->Assign(CaseSuffix->Font());
    grid->HandleNeeded();
    const Integer button = std::max(GetSystemMetrics(SM_CXVSCROLL) + 4, 18);
    const Integer width = grid->Canvas()->TextWidth("iiiiiii") + button + 4;
    const Integer right = CaseSuffix->Left() + CaseSuffix->Width();
    CaseSuffix->SetBounds(right - width, CaseSuffix->Top(), width, CaseSuffix->Height());
    ClientCode->SetBounds(CaseSuffix->Left(), ClientCode->Top(), width, ClientCode->Height());
    ClientCode->Font()->Assign(CaseSuffix->Font());
    AlternateID->Font()->SetSize(CaseSuffix->Font()->Size());
    AlternateID->DropDownGrid()->Font()->SetSize(CaseSuffix->Font()->Size() - 1);
}

void TClientCaseLookF::FormDestroy(TObject*)
{
    try {
        for (TvxBkTable* table : {Client1, Client2, Case1, Case2})
            if (table && table->Active()) table->Close();
    } catch (...) {
    }
}

void TClientCaseLookF::FormMouseWheel(TObject*, TShiftState, Integer, TPoint, bool& Handled)
{
    Handled = true;
}

// ---- opening the lookup tables

bool TClientCaseLookF::ClientTablesOpen() const
{
    return Client1 && Client1->Active() && Client2 && Client2->Active();
}

void TClientCaseLookF::OpenClientTables()
{
    THourGlass hourglass;
    const std::string tableName = DM->DataDirectory + "\\yclient.qf;RES:YCLIENT";
    Client1 = DM->Client1_;
    Client2 = DM->Client2_;
    for (TvxBkTable* table : {Client1, Client2}) {
        table->SetTableName(tableName);
        if (HideInactiveClients) {
            table->SetFilter(ActiveClientsFilter);
            table->SetFiltered(true);
        }
        table->Open();
    }
    Client1->SetIndexName("1");
    Client2->SetIndexName("3");
    const std::string saveFile = DM->DataDirectory + "\\ClntSave.qf";
    if (!FileExists(saveFile) &&
        !CopyFileA((ExtractFilePath(ParamStr(0)) + "Yclient.clo").c_str(), saveFile.c_str(), TRUE))
        MessageDlg("Your ClntSave.Qf file is missing and Ordavane was unable\rto create a new one.\r" +
                       ContactForAssistanceText,
                   mtError, {mbOK}, 0);
}

void TClientCaseLookF::OpenCaseTables()
{
    THourGlass hourglass;
    if (!ClientTablesOpen()) OpenClientTables();
    const std::string tableName = DM->DataDirectory + "\\ycase.qf;RES:YCASE";
    Case1 = DM->Case1_;
    Case1->AfterOpen = [this](TDataSet*) { AlternateID->SetCharCase(AltIDCaption == "Y" ? ecUpperCase : ecNormal); };
    Case1->SetTableName(tableName);
    Case2 = DM->Case2_;
    Case2->SetTableName(tableName);
    Case2->Open();
    Case2->SetIndexName("3");
    Case2->SetRange({AltIDRangeFrom}, {AltIDRangeTo});
    AltIDRangeSet = true;
}

// ---- client fields

void TClientCaseLookF::ClientCodeEnter(TObject*)
{
    if (!DM) return;
    if (!ClientTablesOpen()) OpenClientTables();
    ClientCode->SelectAll();
}

void TClientCaseLookF::ClientNameEnter(TObject*)
{
    if (!ClientTablesOpen()) OpenClientTables();
}

void TClientCaseLookF::ClientCodeChange(TObject*)
{
    if (CaretAfterSeventh(ClientCode)) QueueKeyPress(VK_TAB);
}

void TClientCaseLookF::ClientNameKeyPress(TObject* Sender, char& Key)
{
    if (Key == '\r') QueueKeyPress(VK_TAB);
    if (Sender == CaseSuffix && (TypeAheadActive || CaseKeyState == 2) && Key != '\b') Key = 0;
}

void TClientCaseLookF::RefreshListWhenFlagged(bool& flag, TvxBkTable* table)
{
    if (!flag) return;
    flag = false;
    table->CancelRange();
    table->Refresh();
}

void TClientCaseLookF::ClientCodeCloseUp(TObject*, TDataSet*, TDataSet*, bool)
{
    RefreshListWhenFlagged(ClientListNeedsRefresh, Client1);
}

void TClientCaseLookF::ClientNameCloseUp(TObject*, TDataSet*, TDataSet*, bool)
{
    RefreshListWhenFlagged(NameListNeedsRefresh, Client2);
}

void TClientCaseLookF::ClientCodeExit(TObject*)
{
    if (ValidateClientCode()) return;
    ClientCode->SetFocus();
    ClientCode->SelectAll();
}

void TClientCaseLookF::ClientNameExit(TObject*)
{
    ValidateClientName();
}

std::string TClientCaseLookF::TypedClient() const
{
    return Trim(ClientCode->Text());
}

bool TClientCaseLookF::ValidateClientCode()
{
    if (ClientCode->Modified())
        for (TvxDBLookupCombo* field : {ClientName, CaseSuffix, AlternateID}) field->SetText("");
    RefreshListWhenFlagged(ClientListNeedsRefresh, Client1);
    if (!ClientCode->AutoDropDown()) SetLookupComboSearch(ClientCode, true);
    if (TypedClient().empty()) {
        ClientName->SetText("");
        return true;
    }
    const bool liftFilter = HideInactiveClients && Client1->Filtered();
    if (liftFilter) Client1->SetFiltered(false);
    bool found = false;
    bool accepted = true;
    try {
        accepted = FindTypedClient(ClientCode->Text(), found);
    } catch (...) {
        if (liftFilter) Client1->SetFiltered(true);
        throw;
    }
    if (liftFilter) {
        Client1->SetFilter(ActiveClientsFilter);
        Client1->SetFiltered(true);
    }
    if (found) Client1->GotoCurrent(Client2);
    return accepted;
}

bool TClientCaseLookF::FindTypedClient(const std::string& code, bool& found)
{
    Client1->FindNearest({ClientKey(code)});
    const bool sameCode = TrimRight(FieldText(Client1, "Client Code")) == TrimRight(code);
    const bool inactive = HideInactiveClients && FieldText(Client1, "Unassigned") > "777777";
    if (sameCode && !inactive) {
        ClientName->SetText(FieldText(Client1, "LastCommaFirst"));
        Client2->GotoCurrent(Client1);
        found = true;
        return true;
    }
    if (!sameCode) {
        InformAtCombo(ClientCode, "No such client.", 20, 30);
        return false;
    }
    InformAtCombo(ClientCode, "This client is inactive.  Please select from the dropdown list.", 20, 30);
    for (TvxDBLookupCombo* field : {ClientCode, ClientName, CaseSuffix, AlternateID}) field->SetText("");
    return true;
}

bool TClientCaseLookF::ValidateClientName()
{
    if (ClientName->Modified())
        for (TvxDBLookupCombo* field : {ClientCode, CaseSuffix, AlternateID}) field->SetText("");
    RefreshListWhenFlagged(NameListNeedsRefresh, Client2);
    ClientName->PerformSearch();
    const std::string name = ClientName->Text();
    if (!SameText(TrimRight(name), TrimRight(FieldText(Client2, "LastCommaFirst")))) {
        if (Trim(name).empty()) {
            ClientCode->SetText("");
            return true;
        }
        RefuseField(ClientName, "No such client or inactive.  Please select from the list.", -20);
        return false;
    }
    const std::string code = Trim(FieldText(Client2, "Client Code"));
    if (TypedClient() != code) {
        ClientCode->SetText(code);
        Client1->GotoCurrent(Client2);
        Application->ProcessMessages();
    }
    return true;
}

void TClientCaseLookF::RefuseField(TvxDBCustomLookupCombo* combo, const std::string& text, Integer dx)
{
    InformAtCombo(combo, text, dx, 30);
    combo->SetFocus();
    combo->SelectAll();
}

// ---- the case-suffix list and its range

void TClientCaseLookF::SetCaseRange()
{
    if (CaseRangeSet) return;
    const std::string client = ClientKey(FieldText(Client1, "Client Code"));
    Case1->SetRange({client, ""}, {client, CaseFileMissingRange});
    CaseRangeSet = true;
    Case1RangeValues = {client, "", client, CaseFileMissingRange, Case1->IndexName()};
}

void TClientCaseLookF::ClearCaseRange()
{
    Case1RangeValues = TCase1RangeValues{};
    if (!CaseRangeSet) return;
    CaseRangeSet = false;
    if (Case1 && Case1->Active()) {
        Case1->CancelRange();
        Case1->Refresh();
    }
}

void TClientCaseLookF::CaseSuffixEnter(TObject*)
{
    PrepareCaseList();
}

void TClientCaseLookF::PrepareCaseList()
{
    if (!Case2 || !Case2->Active()) OpenCaseTables();
    const std::string client = TypedClient();
    const std::string listField = CaseSuffix->LookupField();
    if (caseChosen_ && !client.empty() && (listField == "LeftJustCaseSuffix" || listField == "RJCaseClient")) {
        const std::string current = ClientKey(FieldText(Client1, "Client Code"));
        const TCase1RangeValues& range = Case1RangeValues;
        if (range.FromClient != current || !range.FromSuffix.empty() || range.ToSuffix != CaseFileMissingRange) {
            ClearCaseRange();
            SetCaseRange();
        }
        if (listField == "LeftJustCaseSuffix") CaseSuffix->CloseUp(true);
        return;
    }
    THourGlass hourglass;
    const std::string kept = CaseSuffix->Text();
    Case1->Close();
    ClearCaseRange();
    Case1->SetTableName("");
    Case1->SetIndexName("");
    CaseSuffix->Selected()->Clear();
    Case1->SetTableName(DM->DataDirectory + "\\ycase.qf;RES:YCASE");
    Case1->Open();
    const bool withClient = !client.empty();
    std::vector<std::string> lines;
    std::string index, lookupField;
    if (withClient) {
        Timer1->SetEnabled(false);
        SetLookupComboSearch(CaseSuffix, !NumericOrder);
        index = NumericOrder ? "1" : "4";
        lookupField = NumericOrder ? "RJCaseClient" : "LeftJustCaseSuffix";
        lines = {NumericOrder ? "RJCaseClient\t7\t" : "LeftJustCaseSuffix\t9\t", "Description Line 1\t30\t",
                 "Case Status 1\t3\t", "Resp Atty 1\t6\t"};
    } else if (NumericOrder) {
        Timer1->SetEnabled(false);
        SetLookupComboSearch(CaseSuffix, false);
        index = "6";
        lookupField = "RJCaseClient";
        lines = {"RJCaseClient\t7\t", "ClientName\t35\tClientName", "Description Line 1\t30\t", "Case Status 1\t3\t",
                 "Resp Atty 1\t6\t"};
    } else {
        Timer1->SetEnabled(true);
        index = "5";
        lookupField = "CaseClient";
        lines = {"CaseClient\t7\tCaseClient", "ClientName\t35\tClientName",
                 "Description Line 1\t30\tDescription Line 1", "Case Status 1\t3\t", "Resp Atty 1\t6\t"};
    }
    Case1->SetIndexName(index);
    if (withClient)
        SetCaseRange();
    else if (Trim(kept).empty())
        Case1->First();
    for (const std::string& line : lines) CaseSuffix->Selected()->Add(line);
    CaseSuffix->SetLookupField(lookupField);
    if (!withClient || NumericOrder) {
        TypeAheadBuffer.clear();
        TypeAheadActive = false;
    }
    CaseSuffix->DropDownGrid()->Font()->SetName("Courier New");
    CaseSuffix->SetText(kept);
    if (CaseSuffix->SelLength() > 7) CaseSuffix->SetSelLength(7);
}

void TClientCaseLookF::CaseSuffixChange(TObject*)
{
    if (CaretAfterSeventh(CaseSuffix) && CaseSuffix->Text()[6] != ' ' && !NumericOrder) QueueKeyPress(VK_TAB);
}

// ---- case-suffix keys and type-ahead

void TClientCaseLookF::CaseSuffixKeyDown(TObject*, Word& Key, TShiftState)
{
    const bool wasOpen = CaseSuffix->IsDroppedDown();
    const bool wholeSelected = WholeTextSelected(CaseSuffix);
    if (wholeSelected) TypeAheadBuffer.clear();
    if (Key == VK_RIGHT && (CaseSuffix->SelStart() == 7 || wholeSelected)) Key = 0;
    if (Key >= 96 && Key <= 109) Key -= 48;
    if (Key == 189) Key = 45;
    if (Key == 190 || Key == 110) Key = VK_DELETE;
    if (NumericOrder && Key == VK_SPACE && !Trim(CaseSuffix->Text()).empty()) {
        Key = 0;
        RightJustifyCaseSuffix();
        return;
    }
    if (NumericOrder && (Key == VK_TAB || Key == VK_RETURN)) {
        TypeAheadBuffer.clear();
        if (CaseSuffix->Text().size() > 7) {
            const bool selection = CaseSuffix->SelLength() > 0;
            CaseSuffix->SetText(CaseSuffix->Text().substr(0, 7));
            if (selection) CaseSuffix->SelectAll();
        }
    }
    LookupComboKeyFilter(CaseSuffix, Key);
    const bool closedAfterOpen = !CaseSuffix->IsDroppedDown() && (wasOpen || !NumericOrder) &&
                                 CaseSuffix->SelText() != CaseSuffix->Text();
    const bool listKey = Key == VK_BACK || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN ||
                         Key == VK_DELETE;
    if (closedAfterOpen || listKey) ResetTypeAhead();
    if (Key == VK_LEFT || Key == VK_RIGHT) return;
    if (IsSuffixCharacterKey(Key))
        ExtendTypeAhead(Key, wholeSelected);
    else if (Key != VK_BACK && !IsListKey(Key))
        Key = 0;
}

void TClientCaseLookF::ResetTypeAhead()
{
    TypeAheadBuffer.clear();
    TypeAheadActive = false;
    if (NumericOrder) CaseSuffix->SetText("");
}

void TClientCaseLookF::ExtendTypeAhead(Word key, bool wholeSelected)
{
    TypeAheadActive = true;
    if (wholeSelected) TypeAheadBuffer.clear();
    TypeAheadBuffer += char(key);
    CaseSuffix->SetLookupValue(TypeAheadBuffer);
    if (!NumericOrder) {
        CaseSuffix->SetSeqSearchOptions({ssoEnabled});
        CaseSuffix->SetShowMatchText(true);
        CaseSuffix->PerformSearch();
        CaseSuffix->SetSeqSearchOptions({});
        CaseSuffix->SetShowMatchText(false);
        const std::string listSuffix = FieldText(Case1, "LeftJustCaseSuffix");
        if (StartsWith(listSuffix, TypeAheadBuffer)) {
            CaseSuffix->SetText(listSuffix.substr(0, 7));
            CaseSuffix->SetSelStart(Integer(TypeAheadBuffer.size()));
            CaseSuffix->SetSelLength(7 - Integer(TypeAheadBuffer.size()));
        }
    }
    if (CaseSuffix->SelStart() == 0) CaseSuffix->SetSelStart(Integer(TypeAheadBuffer.size()));
}

void TClientCaseLookF::Timer1Timer(TObject*)
{
    CompleteTypeAhead();
}

void TClientCaseLookF::CompleteTypeAhead()
{
    if (!TypeAheadActive || !Case1 || !Case1->Active()) return;
    const std::string listSuffix = FieldText(Case1, "LeftJustCaseSuffix");
    if (!StartsWith(listSuffix, TypeAheadBuffer)) return;
    const std::string completed = listSuffix.substr(0, 7);
    const Integer typed = Integer(TypeAheadBuffer.size());
    if (CaseSuffix->Text() == completed && CaseSuffix->SelStart() == typed) return;
    CaseSuffix->SetText(completed);
    CaseSuffix->SetSelStart(typed);
    CaseSuffix->SetSelLength(7 - typed);
}

void TClientCaseLookF::RangeCaseList(const std::string& index, const std::string& fromClient,
                                     const std::string& fromSuffix, const std::string& toClient,
                                     const std::string& toSuffix)
{
    Case1->SetIndexName(index);
    if (index == "6")
        Case1->SetRange({fromSuffix, fromClient}, {toSuffix, toClient});
    else
        Case1->SetRange({fromClient, fromSuffix}, {toClient, toSuffix});
    Case1RangeValues = {fromClient, fromSuffix, toClient, toSuffix, index};
}

// Space in a numeric-order case field: the suffix right-justified, the list ranged from it and dropped down.
void TClientCaseLookF::RightJustifyCaseSuffix()
{
    const std::string suffix = Format("%7s", {SuffixOf(CaseSuffix->Text())});
    CaseSuffix->SetText(suffix);
    const TCase1RangeValues& range = Case1RangeValues;
    const std::string client = TypedClient();
    if (!client.empty()) {
        const std::string key = ClientKey(client);
        if (range.FromClient != key || range.FromSuffix != suffix || range.ToClient != key ||
            range.ToSuffix != CaseFileMissingRange)
            RangeCaseList("1", key, suffix, key, CaseFileMissingRange);
    } else if (range.FromSuffix != suffix || range.IndexName != "6") {
        RangeCaseList("6", "", suffix, CaseFileMissingRange, CaseFileMissingRange);
    }
    CaseRangeSet = true;
    CaseSuffix->DropDown();
    if (CaseKeyState == 0) {
        QueueKeyPress(VK_DOWN);
        QueueKeyPress(VK_UP);
    } else {
        CaseKeyState = CaseKeyState == 1 ? 2 : 0;
    }
}

// ---- validating the case suffix

std::string TClientCaseLookF::SuffixOf(const std::string& text)
{
    return Trim(text.substr(0, 7));
}

void TClientCaseLookF::CaseSuffixExit(TObject*)
{
    bool addRequested = false;
    ValidateCaseSuffix(addRequested);
}

bool TClientCaseLookF::ValidateCaseSuffix(bool& addRequested)
{
    addRequested = false;
    if (Case1 && Case1->State() == dsInsert) return true;
    const std::string text = CaseSuffix->Text();
    if (Trim(text).empty()) {
        AlternateID->SetText("");
        return true;
    }
    return TypedClient().empty() ? ValidateSuffixWithoutClient(text) : ValidateSuffixOfClient(text);
}

bool TClientCaseLookF::ValidateSuffixOfClient(const std::string& suffixText)
{
    const std::string client = ClientKey(TypedClient());
    if (CaseRangeSet && Case1RangeValues.FromClient != client) ClearCaseRange();
    const std::string index = Case1->IndexName();
    const bool leftJustified = index == "4" || index == "5";
    const std::string suffix = SuffixOf(suffixText);
    const std::string key = Format(leftJustified ? "%-7s" : "%7s", {suffix});
    if (index < "5")
        Case1->FindNearest({client, key});
    else
        Case1->FindNearest({key, client});
    if (Trim(FieldText(Case1, "LeftJustCaseSuffix")) != suffix ||
        Trim(FieldText(Case1, "Client Code")) != TypedClient()) {
        RefuseField(CaseSuffix, "No such case.", 20);
        return false;
    }
    if (index == "5") Case1->SetIndexName("4");
    if (index == "6") Case1->SetIndexName("1");
    CaseFound(Case1);
    caseChosen_ = true;
    return true;
}

// The case on caseTable is chosen: the alternate-identifier list moves to it and shows its identifier.
void TClientCaseLookF::CaseFound(TvxBkTable* caseTable)
{
    CancelAltIDRange();
    try {
        Case2->GotoCurrent(caseTable);
    } catch (const Exception&) {
    }
    AlternateID->SetText(FieldText(Case2, "Alternate ID"));
}

void TClientCaseLookF::CancelAltIDRange()
{
    if (!AltIDRangeSet) return;
    AltIDRangeSet = false;
    Case2->CancelRange();
    Case2->Refresh();
}

bool TClientCaseLookF::ValidateSuffixWithoutClient(const std::string& suffixText)
{
    if (CaseRangeSet) ClearCaseRange();
    const std::string suffix = SuffixOf(suffixText);
    const std::string shown = Format(NumericOrder ? "%7s" : "%-7s", {suffix});
    CaseSuffix->SetText(shown);
    auto listSuffix = [](TDataSet* table) { return Trim(FieldText(table, "LeftJustCaseSuffix")); };
    if (suffix != listSuffix(Case1) && suffix == listSuffix(Case2)) {
        try {
            Case1->GotoCurrent(Case2);
        } catch (const Exception& e) {
            MessageDlg(CasePositionFailure + "\r\r" + e.Message() +
                           "\r\rPlease try your selection again.  If this error persists, please "
                           "contact KDV, Inc. for assistance.",
                       mtError, {mbOK}, 0);
            return false;
        }
    }
    if (suffix != listSuffix(Case1)) {
        RefuseField(CaseSuffix, "No such case or client for this case is inactive.  Please select from the list.",
                    -20);
        return false;
    }
    CaseFound(Case1);
    SelectClientOfCase(CaseSuffix);
    CaseSuffix->SetText(shown);
    if (caseChosen_) AlternateID->SetFocus();
    return true;
}

bool TClientCaseLookF::SelectClientOfCase(TvxDBCustomLookupCombo* caller)
{
    if (!ClientTablesOpen()) OpenClientTables();
    RefreshListWhenFlagged(ClientListNeedsRefresh, Client1);
    if (Client1->IsEmpty()) {
        MessageDlg("There are no active clients in your database!  Nothing to do until one or more clients are "
                   "made active.",
                   mtInformation, {mbOK}, 0);
        caller->SetFocus();
        return false;
    }
    const std::string caseClient = ClientKey(FieldText(Case2, "Client Code"));
    Client1->Last();
    bool found = caseClient <= ClientKey(FieldText(Client1, "Client Code"));
    if (found) {
        Client1->FindNearest({caseClient});
        found = ClientKey(FieldText(Client1, "Client Code")) == caseClient;
    }
    if (!found) {
        InformAtCombo(caller,
                      "The client assigned to this matter could not be located.  Another user may be altering the "
                      "record or the client may be inactive. Try your request again later or call KDV, Inc. for "
                      "assistance.",
                      -40, 30);
        caller->SetFocus();
        return false;
    }
    ClientCode->SetText(Trim(FieldText(Client1, "Client Code")));
    ClientName->SetText(FieldText(Client1, "LastCommaFirst"));
    if (caller == CaseSuffix) {
        const std::string index = Case1->IndexName();
        if (index == "6") Case1->SetIndexName("1");
        if (index == "5") Case1->SetIndexName("4");
        SetCaseRange();
        MoveCase1ToCase2(true);
    }
    caseChosen_ = true;
    return true;
}

void TClientCaseLookF::MoveCase1ToCase2(bool report)
{
    try {
        Case1->GotoCurrent(Case2);
    } catch (const Exception& e) {
        if (report) MessageDlg(CasePositionFailure + "\r\r" + e.Message(), mtError, {mbOK}, 0);
    }
}

// ---- alternate identifier

void TClientCaseLookF::AlternateIDEnter(TObject*)
{
    PrepareAlternateIDList();
}

void TClientCaseLookF::PrepareAlternateIDList()
{
    if (!Case2 || !Case2->Active()) {
        OpenCaseTables();
        Case1->Open();
    }
    if (caseChosen_ && caseEntryMode_) return;
    if (Case2->IndexName() != "3") {
        if (AltIDRangeSet) Case2->CancelRange();
        AltIDRangeSet = false;
        Case2->SetIndexName("3");
    }
    if (AltIDRangeSet) return;
    Case2->SetRange({AltIDRangeFrom}, {AltIDRangeTo});
    AltIDRangeSet = true;
}

void TClientCaseLookF::AlternateIDExit(TObject*)
{
    ValidateAlternateID();
}

bool TClientCaseLookF::ValidateAlternateID()
{
    if (!AlternateID->Modified() || !Case2) return true;
    const std::string text = Trim(AlternateID->Text());
    auto altID = [](TDataSet* table) { return Trim(FieldText(table, "Alternate ID")); };
    if (text != altID(Case2) && HideClosedCases && Case1 && Case1->Active() && text == altID(Case1))
        Case2->GotoCurrent(Case1);
    if (text != altID(Case2)) {
        if (text.empty()) {
            for (TvxDBLookupCombo* field : {ClientCode, ClientName, CaseSuffix}) field->SetText("");
            return true;
        }
        AlternateID->SetFocus();
        AlternateID->SelectAll();
        return false;
    }
    if (text.empty()) return true;
    ClearCaseRange();
    MoveCase1ToCase2(false);
    CancelAltIDRange();
    Case2->SetFiltered(false);
    try {
        Case2->GotoCurrent(Case1);
    } catch (const Exception&) {
    }
    SelectClientOfCase(AlternateID);
    CaseSuffix->SetText(Trim(FieldText(Case2, "LeftJustCaseSuffix")));
    return true;
}

// ---- the account form's reset and the cover edits

void TClientCaseLookF::UnlockFields()
{
    if (Case1 && (Case1->State() == dsEdit || Case1->State() == dsInsert)) Case1->Cancel();
    for (TEdit* cover : {Edit1, Edit2, Edit3}) cover->SetVisible(false);
    ClientCode->SetEnabled(true);
    ClientCode->SetVisible(true);
    ClientName->SetEnabled(true);
    CaseSuffix->SetEnabled(true);
    SetLookupComboSearch(ClientCode, true);
    SetLookupComboSearch(CaseSuffix, true);
    CaseSuffix->SetShowButton(true);
    CaseSuffix->SetShowMatchText(false);
    AlternateID->SetEnabled(true);
    SetLookupComboSearch(AlternateID, true);
    AlternateID->SetDropDownCount(8);
    AlternateID->SetShowButton(true);
}

void TClientCaseLookF::Edit1Click(TObject* Sender)
{
    static const char* const fieldNames[] = {"Client Code", "Client Name", "Case Suffix"};
    const Integer tag = static_cast<TComponent*>(Sender)->Tag();
    if (tag < 1 || tag > 3) return;
    MessageDlg(std::string(fieldNames[tag - 1]) + " cannot be changed here.\rUse Global Change utility instead",
               mtInformation, {mbOK}, 0);
    AlternateID->SetFocus();
}
