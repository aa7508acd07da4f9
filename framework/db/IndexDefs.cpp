#include "db/IndexDefs.h"

#include "db/DBConsts.h"
#include "db/DBErrors.h"
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

void TIndexDef::Assign(TPersistent* source)
{
    auto* def = dynamic_cast<TIndexDef*>(source);
    if (!def) {
        TPersistent::Assign(source);
        return;
    }
    Name = def->Name;
    Fields = def->Fields;
    DescFields = def->DescFields;
    Expression = def->Expression;
    Source = def->Source;
    Options = def->Options;
}

TIndexDef* TIndexDefs::AddIndexDef()
{
    defs_.push_back(std::make_unique<TIndexDef>());
    return defs_.back().get();
}

TIndexDef* TIndexDefs::Add(const std::string& name, const std::string& fields, TIndexOptions options)
{
    TIndexDef* def = AddIndexDef();
    def->Name = name;
    if (options.Contains(ixExpression))
        def->Expression = fields;
    else
        def->Fields = fields;
    def->Options = options;
    return def;
}

TIndexDef* TIndexDefs::Items(Integer index) const
{
    if (index < 0 || index >= Count()) DatabaseError(dbconsts::SFieldIndexError);
    return defs_[index].get();
}

Integer TIndexDefs::IndexOf(const std::string& name) const
{
    for (Integer i = 0; i < Count(); ++i)
        if (AnsiCompareText(defs_[i]->Name, name) == 0) return i;
    return -1;
}

TIndexDef* TIndexDefs::Find(const std::string& name) const
{
    const Integer index = IndexOf(name);
    if (index < 0) DatabaseErrorFmt(dbconsts::SIndexNotFound, {name});
    return defs_[index].get();
}

TIndexDef* TIndexDefs::FindIndexForFields(const std::string& fields) const
{
    for (const auto& def : defs_)
        if (!def->Options.Contains(ixExpression) && LeadsWith(def->Fields, fields)) return def.get();
    DatabaseErrorFmt(dbconsts::SNoIndexForFields, {fields});
}

TIndexDef* TIndexDefs::GetIndexForFields(const std::string& fields, bool caseInsensitive) const
{
    for (const auto& def : defs_)
        if (!def->Options.Contains(ixExpression) && def->Options.Contains(ixCaseInsensitive) == caseInsensitive &&
            LeadsWith(def->Fields, fields))
            return def.get();
    return nullptr;
}

void TIndexDefs::Assign(TPersistent* source)
{
    auto* defs = dynamic_cast<TIndexDefs*>(source);
    if (!defs) {
        TPersistent::Assign(source);
        return;
    }
    defs_.clear();
    for (const auto& def : defs->defs_) AddIndexDef()->Assign(def.get());
}

void TIndexDefs::Update()
{
    if (updated_ || !dataSet_) return;
    dataSet_->IndexDefsUpdate();
    updated_ = true;
}
