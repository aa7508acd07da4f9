// Values in Btrieve record form compared by the Btrieve cursor base.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrTable.h"
#include "engine/tests/support/FakeKeyedTable.h"

namespace {

using TBtrTablePtr = std::unique_ptr<TBtrTable, TFreeObject>;
using TBytes = std::vector<Byte>;

TFieldCacheItem* AddField(TBaseTable& table, Word btrType, Word size, SmallInt decimals = 0)
{
    auto* item = new TFieldCacheItem(table.FieldCache());
    item->LocalType = btrType;
    item->LocalSize = size;
    item->Descriptor.iUnits2 = decimals;
    item->Descriptor.iLen = size;
    return item;
}

TBytes Date(Word year, Byte month, Byte day)
{
    return {day, month, Byte(year), Byte(year >> 8)};
}

TBytes Time(Byte hour, Byte minute, Byte second, Byte hundredths)
{
    return {hundredths, second, minute, hour};
}

TBytes LString(const std::string& text, Byte filler)
{
    TBytes value(8, filler);
    value[0] = Byte(text.size());
    std::memcpy(&value[1], text.data(), text.size());
    return value;
}

TEST(BtrBaseTableValues, ComparesValuesInRecordForm)
{
    TBtrTablePtr table(CreateObject<TBtrTable>(nullptr, nullptr, nullptr, "values", "", 0, 0));
    TFieldCacheItem* lstring = AddField(*table, BtrType::LString, 8);
    TFieldCacheItem* decimal = AddField(*table, BtrType::Decimal, 4, 2);
    struct TCase {
        Word Type;
        TFieldCacheItem* Item;
        TBytes A;
        TBytes B;
        bool CaseInsensitive;
        Integer Expected;
    };
    const TCase cases[] = {
            {fldDATE, nullptr, Date(2020, 5, 1), Date(2020, 4, 30), false, 1},
            {fldDATE, nullptr, Date(2020, 4, 3), Date(2020, 4, 4), false, -1},
            {fldDATE, nullptr, Date(0xFFFF, 12, 31), Date(1, 1, 1), false, -1},
            {fldDATE, nullptr, Date(1999, 12, 31), Date(1999, 12, 31), false, 0},
            {fldTIME, nullptr, Time(10, 0, 0, 0), Time(9, 59, 59, 99), false, 1},
            {fldTIME, nullptr, Time(9, 59, 59, 98), Time(9, 59, 59, 99), false, -1},
            {fldZSTRING, lstring, LString("abc", 'x'), LString("abd", 'a'), false, -1},
            {fldZSTRING, lstring, LString("abc", 'x'), LString("abc", 'y'), false, 0},
            {fldZSTRING, lstring, LString("ab", 0), LString("abc", 0), false, -1},
            {fldZSTRING, lstring, LString("ABC", 0), LString("abc", 0), true, 0},
            {fldFLOAT, decimal, {0x00, 0x00, 0x50, 0x0D}, {0x00, 0x00, 0x30, 0x0F}, false, -1},
            {fldFLOAT, decimal, {0x00, 0x12, 0x34, 0x5F}, {0x00, 0x12, 0x34, 0x5C}, false, 0},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(table->CompareValues(c.Type, c.Item, c.A.data(), c.B.data(), c.CaseInsensitive, Word(c.A.size())),
                  c.Expected)
                << "type " << c.Type << " case " << (&c - cases);
    }
    const double small = -1.5, large = 2.25;
    EXPECT_EQ(table->CompareValues(fldFLOAT, nullptr, &small, &large, false, 8), -1);
}

}  // namespace
