#include "rtl/Lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void* P(intptr_t n) { return reinterpret_cast<void*>(n); }

class TRecordingList : public TList {
public:
    std::vector<std::string> Log;

protected:
    void Notify(void* item, TListNotification action) override
    {
        static const char* names[] = {"added", "extracted", "deleted"};
        Log.push_back(std::string(names[action]) + " " + std::to_string(reinterpret_cast<intptr_t>(item)));
    }
};

std::vector<intptr_t> Items(const TList& list)
{
    std::vector<intptr_t> result;
    for (Integer i = 0; i < list.Count(); ++i) result.push_back(reinterpret_cast<intptr_t>(list.Items(i)));
    return result;
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

}  // namespace

TEST(TList, IndexErrorsCarryThePlatformTexts)
{
    TList list;
    list.Add(P(1));
    list.Add(P(2));
    EXPECT_EQ(ListErrorOf([&] { list.Items(2); }), "List index out of bounds (2)");
    EXPECT_EQ(ListErrorOf([&] { list.Items(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ListErrorOf([&] { list.Delete(5); }), "List index out of bounds (5)");
    EXPECT_EQ(ListErrorOf([&] { list.Insert(3, P(9)); }), "List index out of bounds (3)");
    EXPECT_EQ(ListErrorOf([&] { list.Move(0, 2); }), "List index out of bounds (2)");
    EXPECT_EQ(ListErrorOf([&] { list.Exchange(0, 7); }), "List index out of bounds (7)");
    EXPECT_EQ(ListErrorOf([&] { list.SetCount(-1); }), "List count out of bounds (-1)");
    EXPECT_EQ(ListErrorOf([&] { list.SetCapacity(1); }), "List capacity out of bounds (1)");
    EXPECT_EQ(ListErrorOf([&] { TList().First(); }), "List index out of bounds (0)");
    EXPECT_EQ(Items(list), (std::vector<intptr_t>{1, 2}));  // nothing was lost on the way
    list.Insert(2, P(3));                                  // inserting at Count appends
    EXPECT_EQ(Items(list), (std::vector<intptr_t>{1, 2, 3}));
}

TEST(TList, EditsKeepOrder)
{
    TList list;
    for (intptr_t n : {1, 2, 3, 4}) list.Add(P(n));
    list.Move(0, 3);
    EXPECT_EQ(Items(list), (std::vector<intptr_t>{2, 3, 4, 1}));
    list.Exchange(0, 3);
    EXPECT_EQ(Items(list), (std::vector<intptr_t>{1, 3, 4, 2}));
    EXPECT_EQ(list.Remove(P(4)), 2);
    EXPECT_EQ(list.Remove(P(4)), -1);
    list.SetCount(5);
    list.SetItems(3, P(7));
    EXPECT_EQ(Items(list), (std::vector<intptr_t>{1, 3, 2, 7, 0}));
    list.Pack();
    EXPECT_EQ(Items(list), (std::vector<intptr_t>{1, 3, 2, 7}));
    list.Sort([](void* a, void* b) { return Integer(reinterpret_cast<intptr_t>(a) - reinterpret_cast<intptr_t>(b)); });
    EXPECT_EQ(Items(list), (std::vector<intptr_t>{1, 2, 3, 7}));
    EXPECT_EQ(list.IndexOf(P(7)), 3);
    EXPECT_EQ(list.Last(), P(7));
}

TEST(TList, NotifiesAdditionsAndRemovalsOfNonNilItems)
{
    TRecordingList list;
    list.Add(P(1));
    list.Add(nullptr);
    list.Insert(0, P(2));
    list.SetItems(0, P(3));
    list.Extract(P(1));
    list.Delete(0);
    list.Add(P(4));
    list.Clear();
    EXPECT_EQ(list.Log, (std::vector<std::string>{"added 1", "added 2", "deleted 2", "added 3", "extracted 1",
                                                  "deleted 3", "added 4", "deleted 4"}));
    EXPECT_EQ(list.Count(), 0);
}

TEST(TThreadList, DuplicatesFollowTheSetting)
{
    TThreadList list;
    list.Add(P(5));
    list.Add(P(5));
    EXPECT_EQ(list.LockList()->Count(), 1);
    list.UnlockList();

    list.SetDuplicates(dupAccept);
    list.Add(P(5));
    EXPECT_EQ(list.LockList()->Count(), 2);
    list.UnlockList();

    list.SetDuplicates(dupError);
    EXPECT_EQ(ListErrorOf([&] { list.Add(P(0x1A)); }), "no error");
    EXPECT_EQ(ListErrorOf([&] { list.Add(P(0x1A)); }), "List does not allow duplicates ($01A)");
    list.Remove(P(5));
    TList* locked = list.LockList();
    EXPECT_EQ(Items(*locked), (std::vector<intptr_t>{5, 0x1A}));
    list.UnlockList();
    list.Clear();
    EXPECT_EQ(list.LockList()->Count(), 0);
    list.UnlockList();
}

TEST(TBits, GrowsOnSetAndRefusesReadsPastTheEnd)
{
    TBits bits;
    EXPECT_EQ(bits.OpenBit(), 0);
    bits.SetBits(9, true);
    EXPECT_EQ(bits.Size(), 10);
    EXPECT_TRUE(bits.Bits(9));
    EXPECT_FALSE(bits.Bits(0));
    for (Integer i = 0; i < 9; ++i) bits.SetBits(i, true);
    EXPECT_EQ(bits.OpenBit(), 10);
    bits.SetBits(4, false);
    EXPECT_EQ(bits.OpenBit(), 4);
    EXPECT_THROW(bits.Bits(10), EBitsError);
    EXPECT_THROW(bits.SetBits(-1, true), EBitsError);
    try {
        bits.Bits(-1);
        FAIL();
    } catch (const EBitsError& e) {
        EXPECT_EQ(e.Message(), "Bits index out of range");
    }
    bits.SetSize(3);
    EXPECT_EQ(bits.Size(), 3);
    EXPECT_EQ(bits.OpenBit(), 3);
}
