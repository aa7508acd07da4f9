// Index definitions of a table.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/DBTypes.h"
#include "rtl/Objects.h"

class TDataSet;

class TIndexDef : public TPersistent {
    DUN_CLASS(TIndexDef, TPersistent)
public:
    TIndexDef() = default;

    std::string Name;
    std::string Fields;  // field names separated by ';'
    std::string DescFields;
    std::string Expression;
    std::string Source;
    TIndexOptions Options;

    void Assign(TPersistent* source) override;
};

class TIndexDefs : public TPersistent {
    DUN_CLASS(TIndexDefs, TPersistent)
public:
    explicit TIndexDefs(TDataSet* dataSet) : dataSet_(dataSet) {}

    TIndexDef* AddIndexDef();
    TIndexDef* Add(const std::string& name, const std::string& fields, TIndexOptions options);
    void Clear() { defs_.clear(); }
    Integer Count() const { return Integer(defs_.size()); }
    TIndexDef* Items(Integer index) const;
    Integer IndexOf(const std::string& name) const;
    // Raises "Index '%s' not found" when there is none.
    TIndexDef* Find(const std::string& name) const;
    // The first index whose leading fields are the given ones; raises "No index for fields '%s'" when none.
    TIndexDef* FindIndexForFields(const std::string& fields) const;
    // As FindIndexForFields with the same case-insensitivity; nullptr when none.
    TIndexDef* GetIndexForFields(const std::string& fields, bool caseInsensitive) const;
    void Assign(TPersistent* source) override;
    // Reads the definitions from the dataset unless they are up to date.
    void Update();
    bool Updated() const { return updated_; }
    void SetUpdated(bool updated) { updated_ = updated; }

private:
    TDataSet* dataSet_;
    std::vector<std::unique_ptr<TIndexDef>> defs_;
    bool updated_ = false;
};
