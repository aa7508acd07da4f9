#pragma once
// The record manager's statuses: one table of numbers and short descriptions.
#include <cstdint>
#include <span>

namespace reqcore {

struct StatusEntry {
  int16_t number;
  const char* text;
};

namespace Status {
constexpr int16_t Ok = 0;
constexpr int16_t InvalidOperation = 1;
constexpr int16_t IoError = 2;
constexpr int16_t FileNotOpen = 3;
constexpr int16_t KeyNotFound = 4;
constexpr int16_t DuplicateKey = 5;
constexpr int16_t InvalidKeyNumber = 6;
constexpr int16_t DifferentKeyNumber = 7;
constexpr int16_t NoPosition = 8;
constexpr int16_t EndOfFile = 9;
constexpr int16_t KeyNotModifiable = 10;
constexpr int16_t InvalidFileName = 11;
constexpr int16_t FileNotFound = 12;
constexpr int16_t DiskFull = 18;
constexpr int16_t NotInitialised = 20;
constexpr int16_t KeyBufferTooShort = 21;
constexpr int16_t DataBufferTooShort = 22;
constexpr int16_t InvalidPageSize = 24;
constexpr int16_t InvalidKeyCount = 26;
constexpr int16_t InvalidKeyPosition = 27;
constexpr int16_t InvalidRecordLength = 28;
constexpr int16_t InvalidKeyLength = 29;
constexpr int16_t NotARecordFile = 30;
constexpr int16_t DirectoryError = 35;
constexpr int16_t TransactionActive = 37;
constexpr int16_t NoTransaction = 39;
constexpr int16_t OperationNotAllowed = 41;
constexpr int16_t InvalidPosition = 43;
constexpr int16_t InvalidKeyFlags = 45;
constexpr int16_t AccessDenied = 46;
constexpr int16_t InvalidCollatingSequence = 48;
constexpr int16_t InvalidKeyType = 49;
constexpr int16_t FileExists = 59;
constexpr int16_t RecordChanged = 80;
constexpr int16_t UnlockError = 81;
constexpr int16_t RecordLocked = 84;
constexpr int16_t FileLocked = 85;
constexpr int16_t IncompatibleMode = 88;
constexpr int16_t AlreadyInitialised = 1016;
}  // namespace Status

// Every status the record manager returns, ascending by number.
std::span<const StatusEntry> StatusTable();

// The short description of a status, or nullptr when the table has none.
const char* StatusText(int16_t number);

}  // namespace reqcore
