#include "requester/core/Statuses.h"

#include <algorithm>

namespace reqcore {

namespace {
constexpr StatusEntry kStatuses[] = {
    {0, "The operation was successful"},
    {1, "The operation is not valid"},
    {2, "An I/O error occurred during a disk read or write, or the file is damaged"},
    {3, "The file is not open"},
    {4, "The key value was not found"},
    {5, "The record has a key value that is a duplicate of an existing key"},
    {6, "The key number is not valid"},
    {7, "The key number has changed"},
    {8, "The current position is not valid"},
    {9, "The operation encountered the end of the file"},
    {10, "The key field is not modifiable"},
    {11, "The file name is not valid"},
    {12, "The file was not found"},
    {18, "The disk is full"},
    {20, "The record manager is not initialised"},
    {21, "The key buffer is too short"},
    {22, "The data buffer is too short"},
    {24, "The page size is not valid"},
    {26, "The number of keys is not valid"},
    {27, "The key position is not valid"},
    {28, "The record length is not valid"},
    {29, "The key length is not valid"},
    {30, "The file is not a record file, or one of an earlier format"},
    {35, "The directory is not valid"},
    {37, "A transaction is already active"},
    {39, "No transaction is active"},
    {41, "The operation is not allowed"},
    {43, "The record position is not valid"},
    {45, "The key flags are not valid"},
    {46, "Access to the file is denied"},
    {48, "The alternate collating sequence is not valid"},
    {49, "The extended key type is not valid"},
    {59, "The file already exists"},
    {80, "The record changed since it was read"},
    {81, "The record is not locked by this client"},
    {84, "The record is locked by another client"},
    {85, "The file is locked by another client"},
    {88, "The open mode is incompatible with the file's other users"},
    {1016, "The record manager is already initialised"},
};
}  // namespace

std::span<const StatusEntry> StatusTable() { return kStatuses; }

const char* StatusText(int16_t number) {
  auto it = std::lower_bound(std::begin(kStatuses), std::end(kStatuses), number,
                             [](const StatusEntry& e, int16_t n) { return e.number < n; });
  return it != std::end(kStatuses) && it->number == number ? it->text : nullptr;
}

}  // namespace reqcore
