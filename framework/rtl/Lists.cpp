#include "rtl/Lists.h"

#include <algorithm>

#include "rtl/IntConv.h"
#include "rtl/QuickSort.h"

namespace {

[[noreturn]] void ListError(const char* text, Integer value)
{
    throw EListError(std::string(text) + " (" + std::to_string(value) + ")");
}

}  // namespace

TList::~TList()
{
    Clear();
}

Integer TList::Add(void* item)
{
    items_.push_back(item);
    if (item) Notify(item, lnAdded);
    return Count() - 1;
}

void TList::Insert(Integer index, void* item)
{
    if (index < 0 || index > Count()) ListError("List index out of bounds", index);
    items_.insert(items_.begin() + index, item);
    if (item) Notify(item, lnAdded);
}

void TList::Delete(Integer index)
{
    CheckIndex(index);
    void* item = items_[index];
    items_.erase(items_.begin() + index);
    if (item) Notify(item, lnDeleted);
}

Integer TList::Remove(void* item)
{
    const Integer index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* item)
{
    const Integer index = IndexOf(item);
    if (index < 0) return nullptr;
    items_.erase(items_.begin() + index);
    Notify(item, lnExtracted);
    return item;
}

void TList::Clear()
{
    SetCount(0);
    SetCapacity(0);
}

void TList::Exchange(Integer index1, Integer index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[index1], items_[index2]);
}

void TList::Move(Integer curIndex, Integer newIndex)
{
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    void* item = items_[curIndex];
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, item);
}

Integer TList::IndexOf(void* item) const
{
    const auto found = std::find(items_.begin(), items_.end(), item);
    return found == items_.end() ? -1 : Integer(found - items_.begin());
}

void TList::Pack()
{
    for (Integer i = Count() - 1; i >= 0; --i)
        if (!items_[i]) Delete(i);
}

void TList::Sort(const TListSortCompare& compare)
{
    if (Count() < 2) return;
    QuickSortRange(
            0, Count() - 1, [&](Integer a, Integer b) { return compare(items_[a], items_[b]); },
            [&](Integer a, Integer b) { std::swap(items_[a], items_[b]); });
}

void TList::SetCount(Integer count)
{
    if (count < 0) ListError("List count out of bounds", count);
    if (count > Count()) {
        items_.resize(count, nullptr);
        return;
    }
    for (Integer i = Count() - 1; i >= count; --i) Delete(i);
}

void TList::SetCapacity(Integer capacity)
{
    if (capacity < Count()) ListError("List capacity out of bounds", capacity);
    if (capacity > Capacity()) items_.reserve(capacity);
    else items_.shrink_to_fit();
}

void* TList::Items(Integer index) const
{
    CheckIndex(index);
    return items_[index];
}

void TList::SetItems(Integer index, void* item)
{
    CheckIndex(index);
    void* old = items_[index];
    if (item == old) return;
    items_[index] = item;
    if (old) Notify(old, lnDeleted);
    if (item) Notify(item, lnAdded);
}

void TList::CheckIndex(Integer index) const
{
    if (index < 0 || index >= Count()) ListError("List index out of bounds", index);
}

void TThreadList::Add(void* item)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (duplicates_ == dupAccept || list_.IndexOf(item) < 0) {
        list_.Add(item);
        return;
    }
    if (duplicates_ == dupError) {
        throw EListError("List does not allow duplicates ($0" + HexDigits(reinterpret_cast<uintptr_t>(item), 1) + ")");
    }
}

void TThreadList::Remove(void* item)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    list_.Remove(item);
}

void TThreadList::Clear()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    list_.Clear();
}

TList* TThreadList::LockList()
{
    lock_.lock();
    return &list_;
}

void TThreadList::UnlockList()
{
    lock_.unlock();
}

void TBits::SetSize(Integer size)
{
    if (size < 0) throw EBitsError("Bits index out of range");
    bits_.resize(size, false);
}

bool TBits::Bits(Integer index) const
{
    if (index < 0 || index >= Size()) throw EBitsError("Bits index out of range");
    return bits_[index];
}

void TBits::SetBits(Integer index, bool value)
{
    if (index < 0) throw EBitsError("Bits index out of range");
    if (index >= Size()) SetSize(index + 1);
    bits_[index] = value;
}

Integer TBits::OpenBit() const
{
    const auto found = std::find(bits_.begin(), bits_.end(), false);
    return Integer(found - bits_.begin());
}
