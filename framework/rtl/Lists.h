// Pointer lists and bit arrays: TList, TThreadList, TBits.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"

enum TDuplicates { dupIgnore, dupAccept, dupError };
enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Negative when item1 sorts before item2, zero when equal, positive after.
using TListSortCompare = std::function<Integer(void* item1, void* item2)>;

class EBitsError : public Exception { public: using Exception::Exception; };

class TList : public TObject {
    DUN_CLASS(TList, TObject)
public:
    TList() = default;
    ~TList() override;

    Integer Add(void* item);
    void Insert(Integer index, void* item);
    void Delete(Integer index);
    Integer Remove(void* item);
    void* Extract(void* item);
    virtual void Clear();
    void Exchange(Integer index1, Integer index2);
    void Move(Integer curIndex, Integer newIndex);
    Integer IndexOf(void* item) const;
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    void Pack();
    void Sort(const TListSortCompare& compare);

    Integer Count() const { return Integer(items_.size()); }
    void SetCount(Integer count);
    Integer Capacity() const { return Integer(items_.capacity()); }
    void SetCapacity(Integer capacity);
    void* Items(Integer index) const;
    void SetItems(Integer index, void* item);

protected:
    // Called after an item was added and before it leaves the list.
    virtual void Notify(void* item, TListNotification action) {}

private:
    void CheckIndex(Integer index) const;

    std::vector<void*> items_;
};

// A TList behind a lock; LockList hands out the list until UnlockList.
class TThreadList : public TObject {
    DUN_CLASS(TThreadList, TObject)
public:
    TThreadList() = default;

    void Add(void* item);
    void Remove(void* item);
    void Clear();
    TList* LockList();
    void UnlockList();

    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }

private:
    TList list_;
    std::recursive_mutex lock_;
    TDuplicates duplicates_ = dupIgnore;
};

// An array of bits that grows when a bit past its end is set.
class TBits : public TObject {
    DUN_CLASS(TBits, TObject)
public:
    TBits() = default;

    Integer Size() const { return Integer(bits_.size()); }
    void SetSize(Integer size);
    bool Bits(Integer index) const;
    void SetBits(Integer index, bool value);
    // Index of the first clear bit; Size when every bit is set.
    Integer OpenBit() const;

private:
    std::vector<bool> bits_;
};
