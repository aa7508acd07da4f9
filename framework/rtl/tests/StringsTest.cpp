#include "rtl/Strings.h"

#include <gtest/gtest.h>

#include <vector>

#include "rtl/Streams.h"
#include "rtl/WinApi.h"

namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const TStrings& list)
{
    Lines result;
    for (Integer i = 0; i < list.Count(); ++i) result.push_back(list.Strings(i));
    return result;
}

void Fill(TStringList& list, const Lines& lines)
{
    for (const std::string& s : lines) list.Add(s);
}

template <class F>
std::string ListErrorOf(F f)
{
    try {
        f();
    } catch (const EListError& e) {
        return e.Message();
    }
    return "no error";
}

TObject* Tag(intptr_t n) { return reinterpret_cast<TObject*>(n); }

// The least a descendant must provide; everything else comes from TStrings.
class TMinimalStrings : public TStrings {
public:
    void Clear() override { items_.clear(); }
    void Delete(Integer index) override { items_.erase(items_.begin() + index); }
    void Insert(Integer index, const std::string& s) override
    {
        items_.insert(items_.begin() + index, {s, nullptr});
    }

protected:
    std::string Get(Integer index) const override
    {
        if (index < 0 || index >= GetCount()) ListIndexError(index);
        return items_[index].first;
    }
    Integer GetCount() const override { return Integer(items_.size()); }
    TObject* GetObject(Integer index) const override { return items_.at(index).second; }
    void PutObject(Integer index, TObject* object) override { items_.at(index).second = object; }

private:
    std::vector<std::pair<std::string, TObject*>> items_;
};

}  // namespace

TEST(TStringList, NamesAndValues)
{
    TStringList list;
    Fill(list, {"Path=C:\\data", "user=Smith", "plain", "=empty name", "Expr=a=b"});
    EXPECT_EQ(list.Values("PATH"), "C:\\data");  // names compare without regard to case
    EXPECT_EQ(list.Values("Expr"), "a=b");       // the first separator splits
    EXPECT_EQ(list.Values("plain"), "");
    EXPECT_EQ(list.Values(""), "empty name");
    EXPECT_EQ(list.IndexOfName("USER"), 1);
    EXPECT_EQ(list.IndexOfName("plain"), -1);
    EXPECT_EQ(list.Names(0), "Path");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.ValueFromIndex(4), "a=b");
    EXPECT_EQ(list.ValueFromIndex(2), "");  // a line without separator has no value
    EXPECT_EQ(list.ValueFromIndex(-1), "");

    list.SetValues("USER", "Jones");  // replaces the line, with the name as given
    list.SetValues("New", "1");       // appends
    list.SetValues("path", "");       // removes
    list.SetValues("missing", "");    // nothing to remove
    EXPECT_EQ(LinesOf(list), (Lines{"USER=Jones", "plain", "=empty name", "Expr=a=b", "New=1"}));

    TStringList sorted;
    sorted.SetSorted(true);
    Fill(sorted, {"b=2", "d=4"});
    sorted.SetValues("c", "3");
    sorted.SetValues("a", "");
    EXPECT_EQ(LinesOf(sorted), (Lines{"b=2", "c=3", "d=4"}));

    list.SetNameValueSeparator(':');
    list.SetValues("Key", "v");
    EXPECT_EQ(list.Values("key"), "v");
    EXPECT_EQ(list.Strings(list.Count() - 1), "Key:v");
    EXPECT_EQ(list.Values("USER"), "");
}

TEST(TStringList, CommaTextWritesQuotesWhereNeeded)
{
    struct Case { Lines lines; std::string text; };
    const std::vector<Case> cases = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", "", "b"}, "a,,b"},
        {{"one", "two words", "x,y", "say \"hi\"", "tab\there"},
         "one,\"two words\",\"x,y\",\"say \"\"hi\"\"\",\"tab\there\""},
        {{"semi;colon", "'single'"}, "semi;colon,'single'"},
    };
    for (const Case& c : cases) {
        TStringList list;
        Fill(list, c.lines);
        EXPECT_EQ(list.CommaText(), c.text);
        TStringList back;
        back.SetCommaText(c.text);
        EXPECT_EQ(LinesOf(back), c.lines) << c.text;
    }
}

TEST(TStringList, CommaTextReadsBlanksAsSeparators)
{
    struct Case { std::string text; Lines lines; };
    const std::vector<Case> cases = {
        {"a b,c", {"a", "b", "c"}},
        {"  a ,  b  ", {"a", "b"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {",,", {"", "", ""}},
        {"\"x y\"z,w", {"x y", "z", "w"}},
        {"\"a\"\"b\",c", {"a\"b", "c"}},
        {"\"unterminated", {"unterminated"}},
        {"\"\"", {""}},
        {"", {}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.Add("old");
        list.SetCommaText(c.text);
        EXPECT_EQ(LinesOf(list), c.lines) << c.text;
    }
}

TEST(TStringList, DelimitedTextUsesDelimiterAndQuoteChar)
{
    TStringList list;
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    Fill(list, {"a,b", "it's", "c"});
    EXPECT_EQ(list.DelimitedText(), "a,b;'it''s';c");
    EXPECT_EQ(list.CommaText(), "\"a,b\",it's,c");  // CommaText always uses ',' and '"'
    list.SetDelimitedText("'x;y';z w");
    EXPECT_EQ(LinesOf(list), (Lines{"x;y", "z", "w"}));
}

TEST(TStringList, TextJoinsWithCrLfAndSplitsAtAnyLineBreak)
{
    struct Case { std::string text; Lines lines; };
    const std::vector<Case> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\n\nb", {"a", "", "b"}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\r", {"a", ""}},
        {std::string("a\0b", 3), {"a"}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetText(c.text);
        EXPECT_EQ(LinesOf(list), c.lines);
    }
    TStringList list;
    Fill(list, {"x", "", "y"});
    EXPECT_EQ(list.Text(), "x\r\n\r\ny\r\n");
}

TEST(TStringList, SortsWithTheLocaleOrder)
{
    TStringList list;
    Fill(list, {"delta", "Bravo", "_under", "alpha2", "9", "charlie", "10", "Alpha"});
    list.SetSorted(true);
    EXPECT_EQ(LinesOf(list), (Lines{"_under", "10", "9", "Alpha", "alpha2", "Bravo", "charlie", "delta"}));
    EXPECT_EQ(list.IndexOf("BRAVO"), 5);
    EXPECT_EQ(list.IndexOf("bravissimo"), -1);
    Integer index = -1;
    EXPECT_FALSE(list.Find("beta", index));
    EXPECT_EQ(index, 5);  // where it would go
    EXPECT_EQ(list.Add("beta"), 5);

    TStringList cased;
    cased.SetCaseSensitive(true);
    Fill(cased, {"B", "b", "A", "a"});
    cased.SetSorted(true);
    EXPECT_EQ(LinesOf(cased), (Lines{"a", "A", "b", "B"}));
    EXPECT_EQ(cased.IndexOf("B"), 3);
}

TEST(TStringList, CaseSensitivityChangeReordersASortedList)
{
    TStringList list;
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    Fill(list, {"b", "B", "a", "A"});
    list.SetCaseSensitive(false);
    list.SetCaseSensitive(true);
    EXPECT_EQ(LinesOf(list), (Lines{"a", "A", "b", "B"}));
    for (const char* s : {"a", "A", "b", "B"}) EXPECT_GE(list.IndexOf(s), 0) << s;
}

TEST(TStringList, DuplicatesInASortedList)
{
    TStringList list;
    list.SetSorted(true);
    Fill(list, {"b", "a"});
    EXPECT_EQ(list.Add("A"), 0);  // dupIgnore: index of the line already there
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));

    list.SetDuplicates(dupAccept);
    list.Add("A");
    list.Add("b");
    EXPECT_EQ(list.Count(), 4);

    list.SetDuplicates(dupError);
    EXPECT_EQ(ListErrorOf([&] { list.Add("B"); }), "String list does not allow duplicates");
    EXPECT_EQ(list.Count(), 4);

    TStringList unsorted;
    unsorted.SetDuplicates(dupError);
    Fill(unsorted, {"x", "x"});  // only a sorted list checks
    EXPECT_EQ(unsorted.Count(), 2);
}

TEST(TStringList, RefusedEditsChangeNothing)
{
    TStringList list;
    Fill(list, {"c", "a", "b"});
    EXPECT_EQ(ListErrorOf([&] { list.Strings(3); }), "List index out of bounds (3)");
    EXPECT_EQ(ListErrorOf([&] { list.Objects(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ListErrorOf([&] { list.Delete(3); }), "List index out of bounds (3)");
    EXPECT_EQ(ListErrorOf([&] { list.Insert(4, "x"); }), "List index out of bounds (4)");
    EXPECT_EQ(ListErrorOf([&] { list.Exchange(0, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(ListErrorOf([&] { list.Move(0, 3); }), "List index out of bounds (3)");
    list.SetSorted(true);
    EXPECT_EQ(ListErrorOf([&] { list.Insert(0, "x"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(ListErrorOf([&] { list.SetStrings(0, "x"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(ListErrorOf([&] { list.Move(0, 2); }), "Operation not allowed on sorted list");
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "c"}));
}

TEST(TStringList, EditsCarryTheirObjects)
{
    TStringList list;
    list.AddObject("one", Tag(1));
    list.AddObject("two", Tag(2));
    list.AddObject("three", Tag(3));
    list.Move(0, 2);
    list.Exchange(0, 1);
    list.InsertObject(1, "zero", Tag(9));
    EXPECT_EQ(LinesOf(list), (Lines{"three", "zero", "two", "one"}));
    EXPECT_EQ(list.Objects(0), Tag(3));
    EXPECT_EQ(list.Objects(3), Tag(1));
    EXPECT_EQ(list.IndexOfObject(Tag(2)), 2);
    EXPECT_EQ(list.IndexOfObject(Tag(7)), -1);
    EXPECT_EQ(list.IndexOf("ZERO"), 1);

    TStringList copy;
    copy.Add("old");
    copy.Assign(&list);
    EXPECT_TRUE(copy.Equals(&list));
    EXPECT_EQ(copy.Objects(1), Tag(9));
    copy.Assign(&copy);  // assigning a list to itself keeps it
    EXPECT_TRUE(copy.Equals(&list));
    copy.SetStrings(1, "ZERO");
    EXPECT_FALSE(copy.Equals(&list));  // Equals compares case-sensitively

    copy.AddStrings(&list);
    EXPECT_EQ(copy.Count(), 8);
    EXPECT_EQ(copy.Objects(7), Tag(1));
}

TEST(TStringList, CustomSortOrdersByTheCallersComparison)
{
    TStringList list;
    Fill(list, {"ccc", "a", "bb", "dddd"});
    list.CustomSort([](TStringList* l, Integer i, Integer j) {
        return Integer(l->Strings(j).size()) - Integer(l->Strings(i).size());
    });
    EXPECT_EQ(LinesOf(list), (Lines{"dddd", "ccc", "bb", "a"}));
}

TEST(TStringList, ChangeEventsAndUpdates)
{
    TStringList list;
    std::string log;
    list.OnChanging = [&](TObject* sender) { log += sender == &list ? "<" : "?"; };
    list.OnChange = [&](TObject*) { log += ">"; };
    list.Add("a");
    list.SetStrings(0, "b");
    list.Delete(0);
    list.Clear();  // an empty list does not change
    EXPECT_EQ(log, "<><><>");

    log.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("x");
    list.Add("y");
    list.EndUpdate();
    EXPECT_EQ(log, "<");
    list.EndUpdate();
    EXPECT_EQ(log, "<>");

    log.clear();
    list.SetText("1\r\n2\r\n3");  // one change for the whole text
    EXPECT_EQ(log, "<>");
}

TEST(TStringList, StreamsAndFilesRoundTrip)
{
    TStringList list;
    Fill(list, {"first", "", "caf\xE9"});
    TMemoryStream stream;
    stream.Write("head", 4);
    list.SaveToStream(&stream);
    EXPECT_EQ(stream.Size(), 4 + 15);
    stream.SetPosition(4);
    TStringList loaded;
    loaded.LoadFromStream(&stream);  // from the position on
    EXPECT_TRUE(loaded.Equals(&list));

    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    const std::string fileName = std::string(path) + "dunsys-strings-test.txt";
    list.SaveToFile(fileName);
    TStringList fromFile;
    fromFile.LoadFromFile(fileName);
    EXPECT_TRUE(fromFile.Equals(&list));
    DeleteFileA(fileName.c_str());
    EXPECT_THROW(fromFile.LoadFromFile(fileName), EFOpenError);
}

TEST(TStrings, DescendantsGetEditsFromTheBasicOperations)
{
    TMinimalStrings list;
    list.AddObject("a=1", Tag(1));
    list.AddObject("b=2", Tag(2));
    list.AddObject("c=3", Tag(3));
    list.SetStrings(0, "A=1");  // replaces the line, keeps its object
    list.Exchange(0, 2);
    list.Move(2, 1);
    EXPECT_EQ(LinesOf(list), (Lines{"c=3", "A=1", "b=2"}));
    EXPECT_EQ(list.Objects(0), Tag(3));
    EXPECT_EQ(list.Objects(1), Tag(1));
    EXPECT_EQ(list.Objects(2), Tag(2));
    EXPECT_EQ(ListErrorOf([&] { list.Move(0, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(list.Count(), 3);

    list.SetValues("a", "one");
    list.SetValues("d", "4");
    EXPECT_EQ(list.IndexOf("C=3"), 0);
    EXPECT_EQ(list.CommaText(), "c=3,a=one,b=2,d=4");
    EXPECT_EQ(list.Objects(1), Tag(1));
}
