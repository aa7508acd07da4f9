#include "db/IndexDefs.h"

#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DBTypInfo.h"
#include "db/DataSet.h"
#include "rtl/SysUtils.h"

namespace {

// True when the index's field list begins with the given ';'-separated names.
bool LeadsWith(const std::string& indexFields, const std::string& fields)
{
    const std::string a = AnsiUpperCase(indexFields);
    const std::string b = AnsiUpperCase(fields);
    if (b.empty() || a.compare(0, b.size(), b) != 0) return false;
    return a.size() == b.size() || a[b.size()] == ';';
}

}  // namespace

template <class V>
typename TPublisher<TIndexDef>::TPropertyBuilder TIndexDef::PublishMember(TPublisher<TIndexDef>& p, const char* name,
                                                                          V TIndexDef::*member)
{
    return p.Property<V>(
        name, [member](TIndexDef* def) { return def->*member; },
        [member](TIndexDef* def, V value) {
            def->*member = value;
            def->Changed(false);
        });
}

void TIndexDef::Publish(TPublisher<TIndexDef>& p)
{
    PublishMember(p, "CaseInsFields", &TIndexDef::CaseInsFields);
    PublishMember(p, "DescFields", &TIndexDef::DescFields);
    PublishMember(p, "Expression", &TIndexDef::Expression);
    PublishMember(p, "Fields", &TIndexDef::Fields);
    PublishMember(p, "Options", &TIndexDef::Options).Default(TIndexOptions());
    PublishMember(p, "Source", &TIndexDef::Source);
    PublishMember(p, "GroupingLevel", &TIndexDef::GroupingLevel).Default(0);
}

void TIndexDef::Assign(TPersistent* source)
{
    auto* def = dynamic_cast<TIndexDef*>(source);
    if (!def) {
        TNamedItem::Assign(source);
        return;
    }
    Name = def->Name;
    Fields = def->Fields;
    CaseInsFields = def->CaseInsFields;
    DescFields = def->DescFields;
    Expression = def->Expression;
    Source = def->Source;
    Options = def->Options;
    GroupingLevel = def->GroupingLevel;
    Changed(false);
}

TIndexDefs::TIndexDefs(TDataSet* dataSet) : TDefCollection(dataSet, dataSet, TIndexDef::StaticClass()) {}

TIndexDef* TIndexDefs::AddIndexDef()
{
    return static_cast<TIndexDef*>(TDefCollection::Add());
}

TIndexDef* TIndexDefs::Add(const std::string& name, const std::string& fields, TIndexOptions options)
{
    BeginUpdate();
    TIndexDef* def = nullptr;
    try {
        def = AddIndexDef();
        def->Name = name;
        if (options.Contains(ixExpression))
            def->Expression = fields;
        else
            def->Fields = fields;
        def->Options = options;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return def;
}

TIndexDef* TIndexDefs::Items(Integer index) const
{
    if (index < 0 || index >= Count()) DatabaseError(dbconsts::SFieldIndexError);
    return static_cast<TIndexDef*>(TDefCollection::Items(index));
}

TIndexDef* TIndexDefs::Find(const std::string& name) const
{
    auto* def = static_cast<TIndexDef*>(TDefCollection::Find(name));
    if (!def) DatabaseErrorFmt(dbconsts::SIndexNotFound, {name});
    return def;
}

TIndexDef* TIndexDefs::FindIndexForFields(const std::string& fields) const
{
    for (Integer i = 0; i < Count(); ++i) {
        TIndexDef* def = Items(i);
        if (!def->Options.Contains(ixExpression) && LeadsWith(def->Fields, fields)) return def;
    }
    DatabaseErrorFmt(dbconsts::SNoIndexForFields, {fields});
}

TIndexDef* TIndexDefs::GetIndexForFields(const std::string& fields, bool caseInsensitive) const
{
    for (Integer i = 0; i < Count(); ++i) {
        TIndexDef* def = Items(i);
        if (!def->Options.Contains(ixExpression) && def->Options.Contains(ixCaseInsensitive) == caseInsensitive &&
            LeadsWith(def->Fields, fields))
            return def;
    }
    return nullptr;
}

void TIndexDefs::Update()
{
    if (Updated() || !DataSet()) return;
    UpdateDefs([this] { DataSet()->IndexDefsUpdate(); });
}
