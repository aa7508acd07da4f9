// TClientCaseLookF: the form through which an account is named, a client by code or name and optionally one of its
// cases by case suffix or alternate identifier. It opens the client and case lookup tables of the data module,
// keeps their key ranges, completes typed case suffixes and validates each field when the focus leaves it. The
// account form inherits it.
#pragma once

#include <string>

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class TDataSet;
class TvxBkTable;
class TvxDBCustomLookupCombo;
class TvxDBLookupCombo;
class TvxDBGrid;

// The key range last set on the case-suffix list; IndexName "-1" when none is set.
struct TCase1RangeValues {
    std::string FromClient, FromSuffix, ToClient, ToSuffix;
    std::string IndexName = "-1";
};

// Program-wide state of the lookup fields, shared with the main window's key filter.
extern TCase1RangeValues Case1RangeValues;
extern bool CaseRangeSet;
extern bool AltIDRangeSet;
extern bool ClientListNeedsRefresh;
extern bool NameListNeedsRefresh;
// The characters typed into the case suffix since the last reset.
extern std::string TypeAheadBuffer;
extern bool TypeAheadActive;
// 0, 1 or 2: the case suffix's Space handling and the key filter's Tab rule hand it on.
extern Integer CaseKeyState;
// Settings read at start-up.
extern bool NumericOrder;
extern bool HideInactiveClients;
extern bool HideClosedCases;
extern std::string AltIDCaption;

// The filter that hides inactive clients.
extern const char* const ActiveClientsFilter;

class TClientCaseLookF : public TForm {
    DUN_CLASS(TClientCaseLookF, TForm)
public:
    explicit TClientCaseLookF(TComponent* owner);
    static void Publish(TPublisher<TClientCaseLookF>& p);

    TvxDBLookupCombo *ClientCode = nullptr, *ClientName = nullptr, *CaseSuffix = nullptr, *AlternateID = nullptr;
    TEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr;
    TvxDBGrid* vxDBGrid1 = nullptr;
    TTimer* Timer1 = nullptr;
    TLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;

    // Operations the account form calls.
    // Client1 (index "1") and Client2 (index "3") on the client file, filtered when inactive clients are hidden;
    // a missing ClntSave.qf is copied from the program's Yclient.clo.
    void OpenClientTables();
    // Case2, the alternate-identifier list (index "3", ranged); Case1 is opened by PrepareCaseList.
    void OpenCaseTables();
    // The exits of the four fields: true when the field's value is accepted. Refusals show their box (none for
    // the alternate identifier) and, except for the client code, take the focus back.
    bool ValidateClientCode();
    bool ValidateClientName();
    // addRequested stays false: adding a client is never allowed in this program.
    bool ValidateCaseSuffix(bool& addRequested);
    bool ValidateAlternateID();
    // Ranges Case1 over the cases of Client1's current client, unless a range is set.
    void SetCaseRange();
    void ClearCaseRange();
    void UnlockFields();
    void SetCaseChosen(bool value) { caseChosen_ = value; }
    void SetCaseEntryMode(bool value) { caseEntryMode_ = value; }
    bool CaseChosen() const { return caseChosen_; }

    // The enter of the case suffix: Case1 reopened on the index, range, columns and lookup field that fit the
    // typed client and numeric order, unless the chosen case keeps the client's list.
    void PrepareCaseList();
    // The enter of the alternate identifier: Case2 on index "3", ranged over the identifiers that are set.
    void PrepareAlternateIDList();
    // Takes the client of the case on Case2 into the client fields; false when it cannot be found.
    bool SelectClientOfCase(TvxDBCustomLookupCombo* caller);

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void FormMouseWheel(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled);
    void ClientCodeEnter(TObject* Sender);
    void ClientCodeChange(TObject* Sender);
    void ClientCodeExit(TObject* Sender);
    void ClientCodeCloseUp(TObject* Sender, TDataSet* LookupTable, TDataSet* FillTable, bool Modified);
    void ClientNameEnter(TObject* Sender);
    void ClientNameExit(TObject* Sender);
    void ClientNameCloseUp(TObject* Sender, TDataSet* LookupTable, TDataSet* FillTable, bool Modified);
    void ClientNameKeyPress(TObject* Sender, char& Key);
    void CaseSuffixEnter(TObject* Sender);
    void CaseSuffixChange(TObject* Sender);
    void CaseSuffixKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void CaseSuffixExit(TObject* Sender);
    void AlternateIDEnter(TObject* Sender);
    void AlternateIDExit(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void Edit1Click(TObject* Sender);

protected:
    void CreateParams(TCreateParams& params) override;

    bool caseEntryMode_ = false;
    bool caseChosen_ = false;
    TvxBkTable *Client1 = nullptr, *Client2 = nullptr, *Case1 = nullptr, *Case2 = nullptr;

private:
    void SizeCaseFields();
    bool ClientTablesOpen() const;
    // The client code, trimmed.
    std::string TypedClient() const;
    // The first 7 characters, trimmed.
    static std::string SuffixOf(const std::string& text);
    // Searches the typed client on Client1 (its filter lifted); accepted, or refused with its box. An inactive
    // client is refused with its own box and clears the fields, which leaves nothing to refuse.
    bool FindTypedClient(const std::string& code, bool& found);
    void RefreshListWhenFlagged(bool& flag, TvxBkTable* table);
    void RefuseField(TvxDBCustomLookupCombo* combo, const std::string& text, Integer dx);
    void CaseFound(TvxBkTable* caseTable);
    bool ValidateSuffixOfClient(const std::string& suffixText);
    bool ValidateSuffixWithoutClient(const std::string& suffixText);
    void RangeCaseList(const std::string& index, const std::string& fromClient, const std::string& fromSuffix,
                       const std::string& toClient, const std::string& toSuffix);
    void RightJustifyCaseSuffix();
    void ExtendTypeAhead(Word key, bool wholeSelected);
    void ResetTypeAhead();
    void CompleteTypeAhead();
    void CancelAltIDRange();
    void MoveCase1ToCase2(bool report);
};

// The dialog service's information box at the combo's client origin moved by (dx, dy).
void InformAtCombo(TControl* combo, const std::string& text, Integer dx, Integer dy);
// A key press through the input queue, as if typed.
void QueueKeyPress(Word key);
