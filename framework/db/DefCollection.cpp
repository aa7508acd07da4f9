#include "db/DefCollection.h"

#include "classes/TypInfo.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DataSet.h"
#include "rtl/SysUtils.h"

void TNamedItem::Publish(TPublisher<TNamedItem>& p)
{
    p.Property<std::string>(
        "Name", [](TNamedItem* item) { return item->Name; },
        [](TNamedItem* item, std::string name) { item->SetName(name); });
}

void TNamedItem::SetName(const std::string& name)
{
    if (name == Name) return;
    auto* defs = dynamic_cast<TDefCollection*>(Collection());
    if (defs && !name.empty() && !SameText(name, Name) && defs->IndexOf(name) >= 0)
        DatabaseErrorFmt(dbconsts::SDuplicateName, {name, defs->ClassName()});
    Name = name;
    Changed(false);
}

TDefCollection::TDefCollection(TDataSet* dataSet, TPersistent* owner, TClass itemClass)
        : TOwnedCollection(owner, itemClass), dataSet_(dataSet)
{
}

TNamedItem* TDefCollection::Find(const std::string& name) const
{
    const Integer index = IndexOf(name);
    return index < 0 ? nullptr : static_cast<TNamedItem*>(Items(index));
}

Integer TDefCollection::IndexOf(const std::string& name) const
{
    for (Integer i = 0; i < Count(); ++i)
        if (AnsiCompareText(static_cast<TNamedItem*>(Items(i))->Name, name) == 0) return i;
    return -1;
}

void TDefCollection::GetItemNames(TStrings* list) const
{
    list->BeginUpdate();
    list->Clear();
    for (Integer i = 0; i < Count(); ++i) list->Add(static_cast<TNamedItem*>(Items(i))->Name);
    list->EndUpdate();
}

void TDefCollection::Update(TCollectionItem* item)
{
    if (HoldsChanges()) return;
    if (dataSet_ && !dataSet_->ComponentState().Contains(csLoading)) dataSet_->DefChanged(this);
    if (OnUpdate) OnUpdate(this);
}
