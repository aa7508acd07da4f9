// Reading a dataset's LookupFields and LookupLinks lines.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/MemDataSet.h"
#include "vxdata/Vxcommon.h"

namespace {

class TLinkedTable : public TMemDataSet {
    DUN_CLASS(TLinkedTable, TMemDataSet)
public:
    explicit TLinkedTable(TComponent* owner)
        : TMemDataSet(owner), fields_(std::make_unique<TStringList>()), links_(std::make_unique<TStringList>())
    {
    }
    TStrings* LookupFields() const { return fields_.get(); }
    void SetLookupFields(TStrings* value) { fields_->Assign(value); }
    TStrings* LookupLinks() const { return links_.get(); }
    void SetLookupLinks(TStrings* value) { links_->Assign(value); }
    static void Publish(TPublisher<TLinkedTable>& p)
    {
        p.Property("LookupFields", &TLinkedTable::LookupFields, &TLinkedTable::SetLookupFields);
        p.Property("LookupLinks", &TLinkedTable::LookupLinks, &TLinkedTable::SetLookupLinks);
    }

private:
    std::unique_ptr<TStringList> fields_;
    std::unique_ptr<TStringList> links_;
};

TEST(LookupLinks, TheLinesOfACalculatedField)
{
    TLinkedTable table(nullptr);
    table.LookupFields()->Add("ClientName;DATA;client.qc;Name;ByNumber");
    table.LookupFields()->Add("clientname;DATA;other;Other;ByCode");
    table.LookupFields()->Add("Short;DATA;client.qc");
    table.LookupFields()->Add("Matter;DATA;case.qc;Title;Client;Suffix;N");
    table.LookupLinks()->Add("Client;Number");
    table.LookupLinks()->Add("Code;Code");
    table.LookupLinks()->Add("X;Y");
    struct TCase {
        std::string field, link, result;
    };
    const std::vector<TCase> cases = {
        {"ClientName", "Client;Number", "Name"},
        {"clientname", "Code;Code", "Other"},  // names are compared exactly
        {"CLIENTNAME", "", ""},
        {"Short", "X;Y", ""},                   // a line of three items has no result field
        {"Matter", "", "Title"},                // no link line of that index
    };
    for (const TCase& c : cases) {
        std::string link = "stale", result = "stale";
        vxFindLookupLink(&table, c.field, link);
        vxFindLookupResultField(&table, c.field, result);
        EXPECT_EQ(link, c.link) << c.field;
        EXPECT_EQ(result, c.result) << c.field;
    }
}

TEST(LookupLinks, ADataSetWithoutTheLinesAnswersEmpty)
{
    TMemDataSet table(nullptr);
    std::string link = "stale", result = "stale";
    vxFindLookupLink(&table, "ClientName", link);
    vxFindLookupResultField(&table, "ClientName", result);
    EXPECT_EQ(link, "");
    EXPECT_EQ(result, "");
}

}  // namespace
