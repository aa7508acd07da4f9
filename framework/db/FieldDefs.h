// Field definitions: what a dataset's records hold, before fields are made for them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/DBTypes.h"
#include "rtl/Objects.h"

class TDataSet;
class TField;
class TComponent;

class TFieldDef : public TPersistent {
    DUN_CLASS(TFieldDef, TPersistent)
public:
    TFieldDef() = default;

    std::string Name;
    TFieldType DataType = ftUnknown;
    Integer Size = 0;
    Integer Precision = 0;
    Integer FieldNo = 0;
    TFieldAttributes Attributes;
    bool InternalCalcField = false;

    bool Required() const { return Attributes.Contains(faRequired); }
    void SetRequired(bool required);
    // The class of field made for this definition (the dataset's choice, see TDataSet::GetFieldClass).
    TClass FieldClass(TDataSet* dataSet) const;
    // Makes the field for this definition in dataSet, owned by owner.
    TField* CreateField(TComponent* owner, TDataSet* dataSet) const;
    void Assign(TPersistent* source) override;
};

// The field class the platform makes for a data type; nullptr for types without one.
TClass DefaultFieldClass(TFieldType type);

class TFieldDefs : public TPersistent {
    DUN_CLASS(TFieldDefs, TPersistent)
public:
    explicit TFieldDefs(TDataSet* dataSet) : dataSet_(dataSet) {}

    TFieldDef* AddFieldDef();
    TFieldDef* Add(const std::string& name, TFieldType dataType, Integer size = 0, bool required = false);
    void Clear() { defs_.clear(); }
    Integer Count() const { return Integer(defs_.size()); }
    TFieldDef* Items(Integer index) const;
    Integer IndexOf(const std::string& name) const;
    // Raises "Field '%s' not found" when there is none.
    TFieldDef* Find(const std::string& name) const;
    void Assign(TPersistent* source) override;
    // Reads the definitions from the dataset unless they are up to date.
    void Update();
    bool Updated() const { return updated_; }
    void SetUpdated(bool updated) { updated_ = updated; }
    bool HiddenFields() const { return hiddenFields_; }
    void SetHiddenFields(bool hidden) { hiddenFields_ = hidden; }
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

private:
    TDataSet* dataSet_;
    std::vector<std::unique_ptr<TFieldDef>> defs_;
    bool updated_ = false;
    bool hiddenFields_ = false;
    Integer updateCount_ = 0;
};
