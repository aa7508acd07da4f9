// Fixtures of the filter dialog's tests: an in-memory dataset that publishes SQL and "opens" a query on the tables
// of a small catalogue, a client-style dataset, and a scripted filter form in place of the real one.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classes/ClassRegistry.h"
#include "classes/TypInfo.h"
#include "db/DBErrors.h"
#include "db/DataSource.h"
#include "db/Field.h"
#include "db/FieldDefs.h"
#include "db/MemDataSet.h"
#include "rtl/StringRoutines.h"
#include "vcl/TestHelpers.h"
#include "vxdata/Vxfltdlg.h"
#include "vxdata/Vxfltdum.h"

namespace filterdialog {

struct TColumn {
    std::string Name;
    TFieldType Type;
    Integer Size = 0;
};

// A dataset in memory with a published SQL text. Opened on "Select * from TABLE" it takes the columns of that table
// from Catalogue; on any other text it keeps its own field definitions. FailOpen makes opening fail.
class TSqlMemDataSet : public TMemDataSet {
    DUN_CLASS(TSqlMemDataSet, TMemDataSet)
public:
    explicit TSqlMemDataSet(TComponent* owner) : TMemDataSet(owner), sql_(std::make_unique<TStringList>()) {}
    static void Publish(TPublisher<TSqlMemDataSet>& p)
    {
        p.Property("SQL", &TSqlMemDataSet::SQL, &TSqlMemDataSet::SetSQL);
        p.Property("DatabaseName", &TSqlMemDataSet::DatabaseName);
        p.Property("ParamCheck", &TSqlMemDataSet::ParamCheck);
        p.Property("ControlType", &TSqlMemDataSet::ControlType, &TSqlMemDataSet::SetControlType);
    }
    TStrings* ControlType() const { return controlType_.get(); }
    void SetControlType(TStrings* value) { controlType_->Assign(value); }

    TStrings* SQL() const { return sql_.get(); }
    void SetSQL(TStrings* value)
    {
        sql_->Assign(value);
        if (OnSqlAssigned) OnSqlAssigned();
    }
    std::string DatabaseName;
    bool ParamCheck = true;
    std::function<void()> OnSqlAssigned;
    Integer Opens = 0;

    static inline std::map<std::string, std::vector<TColumn>> Catalogue;
    static inline bool FailOpen = false;

protected:
    void InternalOpen() override
    {
        const std::string text = sql_->Count() == 1 ? Trim(sql_->Strings(0)) : std::string();
        if (StartsWithSelectAll(text)) {
            auto table = Catalogue.find(UpperCase(text.substr(14)));
            if (table == Catalogue.end()) DatabaseError("Table not found: " + text.substr(14));
            FieldDefs()->Clear();
            for (const TColumn& column : table->second) FieldDefs()->Add(column.Name, column.Type, column.Size);
        }
        if (FailOpen) DatabaseError("Invalid SQL");
        ++Opens;
        TMemDataSet::InternalOpen();
    }

private:
    static bool StartsWithSelectAll(const std::string& text)
    {
        return UpperCase(text.substr(0, 14)) == "SELECT * FROM ";
    }
    std::unique_ptr<TStringList> sql_;
    std::unique_ptr<TStringList> controlType_ = std::make_unique<TStringList>();
};

// A dataset of the name the library reads its field list ("FieldInfo") and filtering (Filtered) from.
class TvxClientDataSet : public TSqlMemDataSet {
    DUN_CLASS(TvxClientDataSet, TSqlMemDataSet)
public:
    explicit TvxClientDataSet(TComponent* owner) : TSqlMemDataSet(owner), fieldInfo_(std::make_unique<TStringList>())
    {
    }
    static void Publish(TPublisher<TvxClientDataSet>& p)
    {
        p.Property("FieldInfo", &TvxClientDataSet::FieldInfo, &TvxClientDataSet::SetFieldInfo);
    }
    TStrings* FieldInfo() const { return fieldInfo_.get(); }
    void SetFieldInfo(TStrings* value) { fieldInfo_->Assign(value); }

private:
    std::unique_ptr<TStringList> fieldInfo_;
};

inline const bool FixtureClassesRegistered = [] {
    RegisterClasses<TSqlMemDataSet, TvxClientDataSet>();
    return true;
}();

// The filter form's stand-in: its working criteria and Changed flag come from the test; the modal result from the
// dialog service's script.
class TScriptedFilterForm : public TForm, public IvxFilterForm {
    DUN_CLASS(TScriptedFilterForm, TForm)
public:
    explicit TScriptedFilterForm(TComponent* owner) : TForm(owner) {}

    TCustomForm* Window() override { return this; }
    void FillFieldList(bool all) override { FilledAll = all; }
    bool CriteriaChanged() override { return ChangedFlag; }
    const TvxFieldInfoList& Criteria() override { return WorkingCriteria; }

    bool FilledAll = false;
    bool ChangedFlag = true;
    TvxFieldInfoList WorkingCriteria;
};

// Installs a maker of scripted forms while it lives; each form made is given the next answer.
class TScriptedFilterForms {
public:
    struct TAnswer {
        TModalResult Result = mrOk;
        bool Changed = true;
        std::vector<TvxFieldInfo> Criteria;
    };

    explicit TScriptedFilterForms(TScriptedDialogs& dialogs) : dialogs_(dialogs)
    {
        previous_ = vxSetFilterFormMaker([this](TvxFilterDialog* dialog) -> IvxFilterForm* {
            auto* form = CreateObject<TScriptedFilterForm>(Application);
            ++Made;
            const TAnswer answer = answers_.empty() ? TAnswer{} : answers_.front();
            if (!answers_.empty()) answers_.erase(answers_.begin());
            form->ChangedFlag = answer.Changed;
            for (const TvxFieldInfo& criterion : answer.Criteria)
                form->WorkingCriteria.push_back(std::make_unique<TvxFieldInfo>(criterion));
            const TModalResult result = answer.Result;
            dialogs_.AnswerNextModalForm([result, this, dialog](TCustomForm* shown) {
                SeenCaption = shown->Caption();
                SeenForm = dialog->Form() ? dialog->Form()->Window() : nullptr;
                shown->SetModalResult(result);
            });
            return form;
        });
    }
    ~TScriptedFilterForms() { vxSetFilterFormMaker(previous_); }

    void Answer(TModalResult result, bool changed, std::vector<TvxFieldInfo> criteria = {})
    {
        answers_.push_back({result, changed, std::move(criteria)});
    }

    Integer Made = 0;
    std::string SeenCaption;
    TCustomForm* SeenForm = nullptr;

private:
    TScriptedDialogs& dialogs_;
    TvxFilterFormMaker previous_;
    std::vector<TAnswer> answers_;
};

// A criterion as the form hands it back (by label; FieldName is looked up when the dialog copies it).
inline TvxFieldInfo Value(const std::string& label, TvxFilterMatchType type, const std::string& value,
                          bool caseSensitive = false, bool nonMatching = false)
{
    TvxFieldInfo criterion;
    criterion.DisplayLabel = label;
    criterion.MatchType = type;
    criterion.Value = value;
    criterion.CaseSensitive = caseSensitive;
    criterion.NonMatching = nonMatching;
    return criterion;
}

inline TvxFieldInfo Bounds(const std::string& label, const std::string& minValue, const std::string& maxValue,
                           bool caseSensitive = false)
{
    TvxFieldInfo criterion = Value(label, fdMatchRange, "", caseSensitive);
    criterion.MinValue = minValue;
    criterion.MaxValue = maxValue;
    return criterion;
}

// Puts the criteria in force on the dialog, as an applied OK does.
inline void SetCriteria(TvxFilterDialog* dialog, const std::vector<TvxFieldInfo>& criteria)
{
    dialog->Criteria().clear();
    for (const TvxFieldInfo& criterion : criteria)
        dialog->Criteria().push_back(std::make_unique<TvxFieldInfo>(criterion));
}

// A dialog on an open in-memory dataset: Name (string 10), Qty (integer), Day (date), Price (float), Notes (memo),
// with boxes and modal forms scripted.
class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TSqlMemDataSet::FailOpen = false;
        data = new TSqlMemDataSet(nullptr);
        data->FieldDefs()->Add("Name", ftString, 10);
        data->FieldDefs()->Add("Qty", ftInteger);
        data->FieldDefs()->Add("Day", ftDate);
        data->FieldDefs()->Add("Price", ftFloat);
        data->FieldDefs()->Add("Notes", ftMemo);
        data->Open();
        source = new TDataSource(nullptr);
        source->SetDataSet(data);
        dialog = new TvxFilterDialog(nullptr);
        dialog->SetDataSource(source);
    }
    void TearDown() override
    {
        dialog->Free();
        source->Free();
        data->Free();
    }

    // Name, then (field, text) pairs; fields not named stay empty.
    void Add(const std::string& name, const std::map<std::string, std::string>& values = {})
    {
        data->Append();
        if (!name.empty()) data->FieldByName("Name")->SetAsString(name);
        for (const auto& [field, text] : values) data->FieldByName(field)->SetAsString(text);
        data->Post();
    }

    // The names of the records the dataset shows, in order ("" for an empty name).
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (data->First(); !data->Eof(); data->Next()) names.push_back(data->FieldByName("Name")->AsString());
        return names;
    }

    TScriptedDialogs boxes;
    TSqlMemDataSet* data = nullptr;
    TDataSource* source = nullptr;
    TvxFilterDialog* dialog = nullptr;
};

}  // namespace filterdialog
