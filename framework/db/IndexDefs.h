// Index definitions of a table.
#pragma once

#include <string>

#include "db/DBTypes.h"
#include "db/DefCollection.h"

class TDataSet;

class TIndexDef : public TNamedItem {
    DUN_CLASS(TIndexDef, TNamedItem)
public:
    explicit TIndexDef(TCollection* collection) : TNamedItem(collection) {}
    static void Publish(TPublisher<TIndexDef>& p);

    std::string Fields;  // field names separated by ';'
    std::string CaseInsFields;
    std::string DescFields;
    std::string Expression;
    std::string Source;
    TIndexOptions Options;
    Integer GroupingLevel = 0;

    void Assign(TPersistent* source) override;

private:
    // Publishes a data member whose change is reported to the collection.
    template <class V>
    static typename TPublisher<TIndexDef>::TPropertyBuilder PublishMember(TPublisher<TIndexDef>& p,
                                                                          const char* name, V TIndexDef::*member);
};

class TIndexDefs : public TDefCollection {
    DUN_CLASS(TIndexDefs, TDefCollection)
public:
    explicit TIndexDefs(TDataSet* dataSet);

    TIndexDef* AddIndexDef();
    TIndexDef* Add(const std::string& name, const std::string& fields, TIndexOptions options);
    TIndexDef* Items(Integer index) const;
    // Raises "Index '%s' not found" when there is none.
    TIndexDef* Find(const std::string& name) const;
    // The first index whose leading fields are the given ones; raises "No index for fields '%s'" when none.
    TIndexDef* FindIndexForFields(const std::string& fields) const;
    // As FindIndexForFields with the same case-insensitivity; nullptr when none.
    TIndexDef* GetIndexForFields(const std::string& fields, bool caseInsensitive) const;
    // Reads the definitions from the dataset unless they are up to date.
    void Update();

protected:
    using TDefCollection::Update;
};
