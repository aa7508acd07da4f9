// The shared data module's code and rate-code tables and its name and batch handlers.
#include "hostdata/DateFmtu.h"
#include "hostdata/HostDataModule.h"
#include "hostdata/OVWCon.h"
#include "rtl/CommandLine.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"

namespace {

std::string Text(TDataSet* table, const char* field) { return table->FieldByName(field)->AsString(); }
double Amount(TDataSet* table, const char* field) { return table->FieldByName(field)->AsFloat(); }

void ShowError(const std::string& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}, 0); }

// The first name, the last name and the result of the name fields a table carries.
struct TNameFields {
    TField* First;
    TField* Last;
};

TNameFields NameFieldsOf(TDataSet* dataSet)
{
    if (TField* first = dataSet->FindField("Client First Name"))
        return {first, dataSet->FieldByName("Client Last Name")};
    return {dataSet->FieldByName("Employee First Name"), dataSet->FieldByName("Employee Last Name")};
}

std::string BatchTypeText(const std::string& type, const std::string& subType)
{
    if (type == "A") return "Adjustment";
    if (type == "B") return "Retainer Billing";
    if (type == "C") return subType == "D" ? "Direct Cost" : "Indirect Cost";
    if (type == "F") return "Fee";
    if (type == "P") return "Payment";
    if (type == "R") return "Retainer Transfer";
    if (type == "T") return subType == "D" ? "Trust Debit" : "Trust Credit";
    return "";
}

}  // namespace

// --- Code and rate-code tables ----------------------------------------------------------------------------------------

void THostDataModule::OpenTableList(const std::vector<TvxBkTable*>& tables, const std::string& fileName,
                                    const std::string& layout, const std::string& firstIndex,
                                    const std::string& secondIndex)
{
    try {
        for (TvxBkTable* table : tables) {
            table->SetTableName(HostTableName(fileName, layout));
            table->Open();
            table->SetIndexName(table->Name().ends_with("1_") ? firstIndex : secondIndex);
        }
    } catch (const Exception&) {
        ShowError("Unable to access the file " + fileName + ".\r" + CallForAssistanceSuffix);
    }
}

void THostDataModule::ActivateCodeTables()
{
    const std::string program = UpperCase(ParamStr(0));
    if (program.find("CLIENT") != std::string::npos)
        OpenTableList({OffCodes1_, OffCodes2_, ClTypeOne1_, ClTypeOne2_, ClTypeTwo1_, ClTypeTwo2_}, "ytable.qf",
                      "SIMPLECD", "5", "4");
    else if (program.find("CASES") != std::string::npos)
        OpenTableList({DeptCodes1_, DeptCodes2_, CaTypeOne1_, CaTypeOne2_, CaTypeTwo1_, CaTypeTwo2_, CaTypeThree1_,
                       CaTypeThree2_, StMsg1_, StMsg2_},
                      "ytable.qf", "SIMPLECD", "5", "4");
}

void THostDataModule::ActivateRATables()
{
    OpenTableList({RAOne1_, RAOne2_, RATwo1_, RATwo2_, RAThree1_, RAThree2_}, "yempl.qf", "EMP", "1", "3");
}

void THostDataModule::OffCodes1_CalcFields(TDataSet* DataSet)
{
    DataSet->FieldByName("DescCode")
        ->SetAsString(Trim(Text(DataSet, "Description")) + "  (" + Trim(Text(DataSet, "code")) + ")");
}

void THostDataModule::FilterCodeList(TDataSet* dataSet, bool& accept, const char* list)
{
    accept = Text(dataSet, "type code") == list;
}

void THostDataModule::OffCodes1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "O"); }
void THostDataModule::ClTypeOne1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "L"); }
void THostDataModule::CaTypeOne1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "A"); }
void THostDataModule::CaTypeThree2_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "A"); }
void THostDataModule::DeptCodes1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "D"); }
void THostDataModule::StMsg1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "S"); }

// --- Client and employee names ------------------------------------------------------------------------------------

void THostDataModule::Client1_CalcFields(TDataSet* DataSet)
{
    const TNameFields names = NameFieldsOf(DataSet);
    const std::string first = Trim(names.First->AsString());
    const std::string last = Trim(names.Last->AsString());
    std::string result = last;
    if (!first.empty() && !last.empty())
        result = last + ", " + first;
    else if (!first.empty())
        result = first;
    DataSet->FieldByName("LastCommaFirst")->SetAsString(result);
}

void THostDataModule::Client1_SalesTaxSetText(TField*, const std::string&) {}
void THostDataModule::Client1_UnassignedSetText(TField*, const std::string&) {}

void THostDataModule::Client1_SalesTaxGetText(TField* Sender, std::string& Text, bool)
{
    Text = Sender->AsString();
    if (Trim(Text).empty()) Text = "0";
}

// --- Batch transactions -----------------------------------------------------------------------------------------------

void THostDataModule::Batch_NewRecord(TDataSet* DataSet) { DataSet->FieldByName("TrDate")->SetAsString("-1"); }

void THostDataModule::Batch_FilterRecord(TDataSet* DataSet, bool& Accept) { Accept = Text(DataSet, "Unassigned") != "S"; }

void THostDataModule::Batch_BeforeDelete(TDataSet* DataSet)
{
    if (BatchDesc_->RecordCount() < 2) return;
    const std::string sequence = Text(DataSet, "SeqNumber");
    BatchDesc_->FindNearest({sequence});
    while (!BatchDesc_->Eof() && Text(BatchDesc_, "SequenceNumber") == sequence) BatchDesc_->Delete();
}

void THostDataModule::Batch_CalcFields(TDataSet* DataSet)
{
    const std::string displayDate = HostDateToShortDisplayDate(Text(DataSet, "TrDate"), true);
    DataSet->FieldByName("DisplayDate")->SetAsString(HostDateError ? "********" : displayDate);
    HostDateError = false;

    const std::string type = Text(DataSet, "Trtype");
    const std::string subType = Text(DataSet, "SubType");
    const std::string invoice = Text(DataSet, "InvoiceNumber");
    if (!type.empty()) DataSet->FieldByName("TransTypeString")->SetAsString(BatchTypeText(type, subType));

    double amount = 0;
    std::string displayInvoice = invoice;
    if (type == "F" || type == "C" || type == "T") {
        amount = Amount(DataSet, type == "T" ? "ADollars" : "BDollars");
    } else if (Amount(DataSet, "BDollars") != 0) {
        amount = Amount(DataSet, "BDollars");
        displayInvoice = "multiple";
    } else {
        amount = Amount(DataSet, "FeeDollars") + Amount(DataSet, "DCDollars") + Amount(DataSet, "ICDollars") +
                 Amount(DataSet, "FCDollars") + Amount(DataSet, "STDollars");
        if (type != "R")
            amount += Amount(DataSet, "RetDollars");
        else if (Trim(invoice).empty())
            amount = Amount(DataSet, "RetDollars");
        displayInvoice = type == "B" && Trim(invoice).empty() ? "pending" : invoice;
    }
    if ((type == "P" || type == "R" || type == "T") && subType != "C") amount = -amount;
    DataSet->FieldByName("DisplayAmount")->SetAsFloat(amount);
    DataSet->FieldByName("DisplayInv")->SetAsString(displayInvoice);
}
