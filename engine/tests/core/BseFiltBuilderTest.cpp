// Filter blocks written by the dataset framework's filter-text parser, evaluated by a cursor.
#include <gtest/gtest.h>

#include "db/ExprParser.h"
#include "engine/core/BseFilt.h"
#include "engine/tests/support/CursorTestSupport.h"
#include "rtl/StringRoutines.h"

namespace {

using Names = std::vector<std::string>;

std::optional<TFilterField> NameCodeFields(const std::string& name)
{
    for (const TFilterField& field : {TFilterField{"NAME", 1, ftString, 8}, TFilterField{"CODE", 2, ftInteger, 0},
                                      TFilterField{"NUM", 3, ftSmallint, 0}})
        if (SameText(field.FieldName, name)) return field;
    return std::nullopt;
}

Names Visible(const std::string& text, TFilterOptions options = {})
{
    auto table = MakeNameCodeTable({"Ann", "bob", "", "Dave", "Dan"});
    const std::vector<Byte> block = TExprParser(NameCodeFields, text, options).FilterData();
    table->ActivateFilter(table->AddFilter(0, 0, false, block.data(), nullptr));
    return Rest(*table);
}

TEST(FilterTexts, ParsedFiltersSelectTheRecordsTheySay)
{
    const std::pair<const char*, Names> cases[] = {
            {"NAME = 'bob'", {"bob"}},
            {"CODE > 2 and not (NAME = 'Dave')", {"", "Dan"}},
            {"CODE <= 2 or NAME = 'Dan'", {"Ann", "Dan", "bob"}},
            {"NAME = 'Da*'", {"Dan", "Dave"}},
            {"NAME <> 'Da*'", {"", "Ann", "bob"}},
            {"NAME is null", {""}},
            {"NUM = 0 and CODE >= 5", {"Dan"}},
    };
    for (const auto& [text, names] : cases) EXPECT_EQ(Visible(text), names) << text;
}

TEST(FilterTexts, CaseInsensitiveOption)
{
    EXPECT_EQ(Visible("NAME = 'BOB'", {foCaseInsensitive}), (Names{"bob"}));
    EXPECT_EQ(Visible("NAME = 'BOB'"), (Names{}));
}

}  // namespace
