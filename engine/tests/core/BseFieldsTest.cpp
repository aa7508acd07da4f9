#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/BseFilt.h"
#include "engine/tests/support/CursorTestSupport.h"

namespace {

using Names = std::vector<std::string>;

// A cursor that describes N fields of 4 bytes on request, counting the requests, and keeps field states.
class TLazyFieldsTable : public TBaseTable {
    DUN_CLASS(TLazyFieldsTable, TBaseTable)
public:
    explicit TLazyFieldsTable(Word fieldCount) : TBaseTable(nullptr, nullptr, "lazy", "", 0, 0), count_(fieldCount)
    {
        RecordSize = SmallInt(4 * fieldCount);
    }
    bool HasFieldStates() override { return true; }
    void GetFieldDesc(Word number, const void*, Word& localSize, Word& localType, FLDDesc& descriptor) override
    {
        ++Requests;
        CheckCondition(number <= count_, DBIERR_INVALIDRECSTRUCT);
        descriptor = FLDDesc{};
        descriptor.szName[0] = char('A' + number - 1);
        descriptor.iFldType = fldINT32;
        descriptor.iOffset = Word(4 * (number - 1));
        descriptor.iLen = 4;
        descriptor.iNullOffset = Word(4 * count_ + 8 * (number - 1));
        localSize = 4;
        localType = fldINT32;
    }
    Integer Requests = 0;

private:
    Word count_;
};

std::unique_ptr<TLazyFieldsTable, TFreeObject> MakeLazy(Word count)
{
    return std::unique_ptr<TLazyFieldsTable, TFreeObject>(CreateObject<TLazyFieldsTable>(count));
}

TEST(FieldCache, FieldsAreCachedAtTheirOwnNumberWhateverTheOrderOfAsking)
{
    auto table = MakeLazy(3);
    EXPECT_EQ(ErrorOf([&] { table->FieldCache()->Field(0); }), DBIERR_INVALIDRECSTRUCT);
    EXPECT_EQ(table->FieldCache()->Field(3)->FieldName(), "C");
    EXPECT_EQ(table->FieldCache()->Field(1)->FieldName(), "A");
    EXPECT_EQ(table->FieldCache()->Field(2)->FieldNumber(), 2);
    EXPECT_EQ(table->Requests, 3);
    EXPECT_EQ(table->FieldCache()->FieldNumberByName("b"), 2);
    EXPECT_EQ(table->FieldCache()->FieldNumberByName("D"), 0);
    EXPECT_EQ(ErrorOf([&] { table->FieldCache()->Field(4); }), DBIERR_INVALIDRECSTRUCT);
}

TEST(FieldStates, InitRecordBlanksEveryFieldAndPutFieldMarksChanges)
{
    auto table = MakeLazy(2);
    table->FieldCache()->Field(2);
    EXPECT_EQ(table->GetRecordBufferSize(), 8 + 2 * 8 + 1);
    std::vector<Byte> record(table->GetRecordBufferSize(), 0xEE);
    table->InitRecord(record.data());
    EXPECT_EQ(table->GetLastInitRecord(), record.data());
    bool blank = false;
    table->GetField(1, record.data(), blank, nullptr);
    EXPECT_TRUE(blank);
    const Integer value = 7;
    table->PutField(2, record.data(), &value);
    table->GetField(2, record.data(), blank, nullptr);
    EXPECT_FALSE(blank);
    const TFieldState* states = reinterpret_cast<const TFieldState*>(record.data() + 8);
    EXPECT_EQ(states[1].Changed, -1);
    EXPECT_EQ(states[0].Changed, 0);
    table->PutField(2, record.data(), nullptr);
    EXPECT_EQ(states[1].Blank, -1);
    EXPECT_EQ(states[1].Changed, -1);
}

TEST(FieldDescriptions, CursorPropertiesFromTheFieldsAndTheShareMode)
{
    auto empty = MakeLazy(0);
    CURProps props{};
    EXPECT_EQ(ErrorOf([&] { empty->GetCursorProps(props); }), DBIERR_INVALIDRECSTRUCT);
    auto table = MakeNameCodeTable({"A"});
    table->AddFilter(0, 0, false, nullptr, EvenCodes);
    table->GetCursorProps(props);
    EXPECT_EQ(props.iFields, 3);
    EXPECT_EQ(props.iRecSize, 14);
    EXPECT_EQ(props.iRecBufSize, 14);
    EXPECT_EQ(props.iKeySize, 8);
    EXPECT_EQ(props.bBookMarkStable, 0);
    EXPECT_EQ(props.iFilters, 1);
    EXPECT_EQ(props.eprvRights, 255);
    table->SetShareMode(1);
    table->GetCursorProps(props);
    EXPECT_EQ(props.bBookMarkStable, -1);
}

TEST(FieldDescriptions, ByOffsetPrefersTheMatchingLengthAndNamesTheTableWhenNoneFits)
{
    auto table = MakeNameCodeTable({});
    FLDDesc descriptor{};
    table->GetFieldDescByOffset(9, 4, descriptor);
    EXPECT_STREQ(descriptor.szName, "CODE");
    EXPECT_EQ(descriptor.iUnUsed[1], 4);  // the local size
    try {
        table->GetFieldDescByOffset(10, 4, descriptor);
        ADD_FAILURE();
    } catch (const EBoreaEngineError& e) {
        EXPECT_EQ(e.Code(), DBIERR_INVALIDRECSTRUCT);
        EXPECT_EQ(e.Text(), "Table: fake");
    }
}

TEST(FieldValues, VerifyFieldLooksAtTheValueAlone)
{
    auto table = MakeNameCodeTable({});
    bool blank = false;
    const Integer code = 5;
    table->VerifyField(2, &code, blank);  // the value is 4 bytes: the field's offset 8 is not applied
    EXPECT_FALSE(blank);
    table->VerifyField(1, "", blank);
    EXPECT_TRUE(blank);
    table->VerifyField(1, "AB", blank);
    EXPECT_FALSE(blank);
    table->VerifyField(1, nullptr, blank);
    EXPECT_TRUE(blank);
}

// ---- value comparison

template <typename T>
Integer CompareAs(TBaseTable& table, Word type, T a, T b, Word length = sizeof(T))
{
    return table.CompareValues(type, nullptr, &a, &b, false, length);
}

// A BCD value of precision 32 with the given digits and decimals.
std::vector<Byte> Bcd(const std::string& digits, Byte places, bool negative)
{
    std::vector<Byte> bcd(34, 0);
    bcd[0] = 32;
    bcd[1] = Byte(places | (negative ? 0x80 : 0));
    const size_t start = 32 - digits.size();
    for (size_t i = 0; i < digits.size(); ++i) {
        const size_t at = start + i;
        bcd[2 + at / 2] |= Byte((digits[i] - '0') << (at % 2 == 0 ? 4 : 0));
    }
    return bcd;
}

TEST(CompareValues, NumbersDatesAndTimesOrderByValue)
{
    auto table = MakeNameCodeTable({});
    EXPECT_EQ(CompareAs<int8_t>(*table, fldINT16, -1, 1, 1), -1);
    EXPECT_EQ(CompareAs<int16_t>(*table, fldINT16, 300, -300), 1);
    EXPECT_EQ(CompareAs<int16_t>(*table, fldINT16, 300, -300, 4), 0);
    EXPECT_EQ(CompareAs<uint8_t>(*table, fldUINT16, 200, 100, 1), 1);
    EXPECT_EQ(CompareAs<int32_t>(*table, fldINT32, -5, 3), -1);
    EXPECT_EQ(CompareAs<uint32_t>(*table, fldUINT32, 0x80000000u, 1), 1);
    EXPECT_EQ(CompareAs<double>(*table, fldFLOAT, -2.5, -2.25), -1);
    EXPECT_EQ(CompareAs<int32_t>(*table, fldDATE, 256, 1), 1);
    EXPECT_EQ(CompareAs<int32_t>(*table, fldTIME, 255, 256), -1);
    EXPECT_EQ(CompareAs<double>(*table, fldTIMESTAMP, 6.3e13, 6.4e13), -1);
    EXPECT_EQ(CompareAs<int64_t>(*table, fldINT64, -1, 256), -1);
    EXPECT_EQ(CompareAs<int64_t>(*table, fldINT64, 0x100000000LL, 0xFF), 1);
    EXPECT_EQ(CompareAs<uint64_t>(*table, fldUINT64, 0x8000000000000000ULL, 1), 1);
}

TEST(CompareValues, BooleansCompareOnlyTheirTruth)
{
    auto table = MakeNameCodeTable({});
    EXPECT_EQ(CompareAs<uint8_t>(*table, fldBOOL, 1, 255, 1), 0);
    EXPECT_EQ(CompareAs<uint8_t>(*table, fldBOOL, 1, 0, 1), 1);
    EXPECT_EQ(CompareAs<uint8_t>(*table, fldBOOL, 0, 1, 1), 1);
    EXPECT_EQ(CompareAs<int16_t>(*table, fldBOOL, -1, 1, 2), 0);
    EXPECT_EQ(CompareAs<int16_t>(*table, fldBOOL, 0, 1, 3), 0);
}

TEST(CompareValues, BcdOrdersBySignAndMagnitude)
{
    auto table = MakeNameCodeTable({});
    auto compare = [&](const std::vector<Byte>& a, const std::vector<Byte>& b) {
        return table->CompareValues(fldBCD, nullptr, a.data(), b.data(), false, 34);
    };
    EXPECT_EQ(compare(Bcd("1000", 2, false), Bcd("999", 2, false)), 1);     // 10.00 > 9.99
    EXPECT_EQ(compare(Bcd("150", 2, false), Bcd("15", 1, false)), 0);       // 1.50 = 1.5
    EXPECT_EQ(compare(Bcd("500", 2, true), Bcd("1", 2, false)), -1);        // -5.00 < 0.01
    EXPECT_EQ(compare(Bcd("500", 2, true), Bcd("400", 2, true)), -1);       // -5.00 < -4.00
    EXPECT_EQ(compare(Bcd("0", 2, true), Bcd("0", 0, false)), 0);           // -0 = 0
    EXPECT_EQ(compare(Bcd("123", 3, false), Bcd("1235", 4, false)), -1);    // 0.123 < 0.1235
}

TEST(CompareValues, StringsUpToTheLengthWithOptionalCase)
{
    auto table = MakeNameCodeTable({});
    EXPECT_EQ(table->CompareValues(fldZSTRING, nullptr, "abcX", "abcY", false, 3), 0);
    EXPECT_EQ(table->CompareValues(fldZSTRING, nullptr, "abc", "ABC", false, 3), 1);
    EXPECT_EQ(table->CompareValues(fldZSTRING, nullptr, "abc", "ABD", true, 3), -1);
    EXPECT_EQ(table->CompareValues(fldZSTRING, nullptr, "ab", "abc", false, 8), -1);
    EXPECT_EQ(table->CompareValues(fldBYTES, nullptr, "\x01\xFF", "\x01\x02", false, 2), 1);
}

// ---- keys

TEST(CompareKeys, DescendingFieldInvertsTheDecidingResult)
{
    auto table = MakeFakeTable({{"CODE", fldINT32, 4}, {"NAME", fldZSTRING, 8}}, {{"Mixed", {1, 2}, {true, false}}});
    for (const auto& [code, name] : std::vector<std::pair<const char*, const char*>>{
                 {"1", "B"}, {"2", "A"}, {"2", "B"}, {"3", "A"}})
        table->Add({code, name});
    EXPECT_EQ(table->Column(1), (Names{"3", "2", "2", "1"}));
    EXPECT_EQ(table->Column(2), (Names{"A", "A", "B", "B"}));
    const auto high = table->MakeRecord({"1", "Z"});
    const auto low = table->MakeRecord({"3", "A"});
    Integer result = 0;
    table->CompareKeys(high.data(), low.data(), result, 0, 0);
    EXPECT_EQ(result, 1);
}

TEST(CompareKeys, FieldCountZeroWithALengthComparesTheFirstFieldOverThatLength)
{
    auto table = MakeNameCodeTable({});
    const auto wanted = NameKey("AB");
    const auto later = NameKey("AC");
    const auto same = NameKey("ABZ");
    Integer result = 0;
    table->CompareKeys(later.data(), wanted.data(), result, 2, 0);
    EXPECT_EQ(result, 1);
    table->CompareKeys(same.data(), wanted.data(), result, 2, 0);
    EXPECT_EQ(result, 0);
    table->CompareKeys(same.data(), wanted.data(), result, 0, 0);
    EXPECT_EQ(result, 1);
}

TEST(IndexNames, FieldListFindsTheIndexOnExactlyThoseFields)
{
    auto table = MakeFakeTable({{"NAME", fldZSTRING, 8}, {"CODE", fldINT32, 4}},
                               {{"NameCode", {1, 2}}, {"Name", {1}}, {"Code", {2}}});
    Word number = 99;
    std::string name;
    table->IndexNumberFromName("@NAME@", number, &name);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(name, "Name");
    table->IndexNumberFromName("@name@@Code@", number, &name);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(name, "NameCode");
    EXPECT_EQ(ErrorOf([&] { table->IndexNumberFromName("@CODE@@NAME@", number, &name); }), DBIERR_NOSUCHINDEX);
    EXPECT_EQ(ErrorOf([&] { table->IndexNumberFromName("@", number, &name); }), DBIERR_INVALIDINDEXNAME);
    number = 7;
    table->IndexNumberFromName("Some index name that is longer than thirty-one", number, &name);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(name, "Some index name that is longer ");
}

// ---- filter bookkeeping

TEST(FilterList, HandlesOfAnotherCursorAreRefusedOrIgnored)
{
    auto table = MakeNameCodeTable({"A"});
    auto other = MakeNameCodeTable({"A"});
    TFilterListItem* foreign = other->AddFilter(0, 0, false, nullptr, EvenCodes);
    EXPECT_EQ(ErrorOf([&] { table->DeactivateFilter(foreign); }), DBIERR_NOSUCHFILTER);
    EXPECT_EQ(ErrorOf([&] { table->ActivateFilter(foreign); }), DBIERR_NOSUCHFILTER);
    table->DropFilter(foreign);
    EXPECT_EQ(other->Filters()->Count(), 1);
}

uintptr_t clientDataSeen = 0;

Word __stdcall KeepClientData(uintptr_t clientData, void*, Integer)
{
    clientDataSeen = clientData;
    return 1;
}

TEST(FilterList, ClientDataReachesTheCallbackAndInfoWhole)
{
    // A pointer above 4 GB in the 64-bit build keeps its high half.
    const uintptr_t clientData = ~uintptr_t(0xF);
    auto table = MakeNameCodeTable({"A"});
    TFilterListItem* filter = table->AddFilter(clientData, 0, false, nullptr, KeepClientData);
    table->ActivateFilter(filter);
    Byte record[64] = {};
    EXPECT_TRUE(filter->Evaluate(record));
    EXPECT_EQ(clientDataSeen, clientData);
    FILTERInfo info{};
    table->GetFilterInfo(filter, info);
    EXPECT_EQ(info.iClientData, clientData);
}

TEST(FilterList, ActivationFollowsTheFiltersAndInfoDescribesThem)
{
    auto table = MakeNameCodeTable({"A"});
    FILTERInfo info{};
    table->GetFilterInfo(nullptr, info);
    EXPECT_EQ(info.hFilter, 0u);
    TFilterListItem* first = table->AddFilter(11, 3, true, nullptr, EvenCodes);
    TFilterListItem* second = table->AddFilter(22, 4, false, nullptr, AllBut);
    EXPECT_FALSE(table->FiltersActive());
    table->ActivateFilter(second);
    EXPECT_TRUE(table->FiltersActive());
    table->GetFilterInfo(second, info);
    EXPECT_EQ(info.iFilterId, 1);
    EXPECT_EQ(info.hFilter, reinterpret_cast<uintptr_t>(second));
    EXPECT_EQ(info.iClientData, 22u);
    EXPECT_EQ(info.iPriority, 4);
    EXPECT_EQ(info.bCanAbort, 0);
    EXPECT_EQ(info.pfFilter, reinterpret_cast<uintptr_t>(&AllBut));
    EXPECT_EQ(info.pCanExpr, 0u);
    EXPECT_EQ(info.bActive, 0xFFFF);
    table->GetFilterInfo(nullptr, info);
    EXPECT_EQ(info.hFilter, reinterpret_cast<uintptr_t>(first));
    EXPECT_EQ(info.bCanAbort, 0xFFFF);
    table->DeactivateFilter(second);
    EXPECT_FALSE(table->FiltersActive());
    table->ActivateFilter(nullptr);
    table->DropFilter(first);
    EXPECT_TRUE(table->FiltersActive());
    table->DropFilter(nullptr);
    EXPECT_FALSE(table->FiltersActive());
    EXPECT_EQ(table->Filters()->Count(), 0);
}

}  // namespace

namespace {

TEST(FieldCache, ItemsPublishTheirDescription)
{
    auto table = MakeNameCodeTable({});
    TFieldCacheItem* code = table->FieldCache()->Field(2);
    EXPECT_EQ(GetOrdProp(code, "FieldNumber"), 2);
    EXPECT_EQ(GetOrdProp(code, "FieldType"), fldINT32);
    EXPECT_EQ(GetOrdProp(code, "LocalSize"), 4);
    SetStrProp(code, "FieldName", std::string(40, 'x'));
    EXPECT_EQ(GetStrProp(code, "FieldName"), std::string(31, 'x'));
}

}  // namespace
