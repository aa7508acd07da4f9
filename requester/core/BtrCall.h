#pragma once
// The call entry of the record manager core. The DLL's exports, the maintenance tool and the benchmark call
// these; the state of every open file lives in the core, the caller's position block only holds an identifier.
#include <array>
#include <cstddef>
#include <cstdint>

namespace reqcore {

constexpr int PosBlockSize = 128;
constexpr int KeyBufferSize = 256;
constexpr int ClientIdSize = 16;

// A client of this process: the default client (plain calls) or one named by a 16-byte identifier.
// Two clients of one process conflict over locks and transactions as two processes do.
struct ClientKey {
  bool hasId = false;
  std::array<uint8_t, ClientIdSize> id{};

  static ClientKey Default() { return {}; }
  static ClientKey FromId(const void* clientId);
  bool operator==(const ClientKey&) const = default;
};

namespace Op {
constexpr uint16_t Open = 0;
constexpr uint16_t Close = 1;
constexpr uint16_t Insert = 2;
constexpr uint16_t Update = 3;
constexpr uint16_t Delete = 4;
constexpr uint16_t GetEqual = 5;
constexpr uint16_t GetNext = 6;
constexpr uint16_t GetPrevious = 7;
constexpr uint16_t GetGreater = 8;
constexpr uint16_t GetGreaterOrEqual = 9;
constexpr uint16_t GetLess = 10;
constexpr uint16_t GetLessOrEqual = 11;
constexpr uint16_t GetFirst = 12;
constexpr uint16_t GetLast = 13;
constexpr uint16_t Create = 14;
constexpr uint16_t Stat = 15;
constexpr uint16_t SetDirectory = 17;
constexpr uint16_t GetDirectory = 18;
constexpr uint16_t BeginTransaction = 19;
constexpr uint16_t EndTransaction = 20;
constexpr uint16_t AbortTransaction = 21;
constexpr uint16_t GetPosition = 22;
constexpr uint16_t GetDirect = 23;
constexpr uint16_t StepNext = 24;
constexpr uint16_t Stop = 25;
constexpr uint16_t Unlock = 27;
constexpr uint16_t CreateIndex = 31;
constexpr uint16_t DropIndex = 32;
constexpr uint16_t StepFirst = 33;
constexpr uint16_t StepLast = 34;
constexpr uint16_t StepPrevious = 35;
constexpr uint16_t GetByPercentage = 44;
constexpr uint16_t FindPercentage = 45;
constexpr uint16_t LockBias = 200;                 // added to a read: single-record no-wait lock
constexpr uint16_t ConcurrentTransaction = 1000;   // added to begin transaction
}  // namespace Op

namespace OpenMode {
constexpr int8_t Normal = 0;
constexpr int8_t ReadOnly = -2;
constexpr int8_t Exclusive = -4;
}  // namespace OpenMode

namespace CreateMode {
constexpr int8_t Overwrite = 0;
constexpr int8_t RefuseExisting = -1;
}  // namespace CreateMode

// Key-segment flags (create, stat and create supplemental index).
namespace KeyFlag {
constexpr uint16_t Duplicates = 0x0001;
constexpr uint16_t Modifiable = 0x0002;
constexpr uint16_t Segmented = 0x0010;      // another segment of this key follows
constexpr uint16_t AltCollating = 0x0020;
constexpr uint16_t Descending = 0x0040;
constexpr uint16_t Supplemental = 0x0080;
constexpr uint16_t ExtendedType = 0x0100;
constexpr uint16_t NoCase = 0x0400;
}  // namespace KeyFlag

namespace FileFlag {
constexpr uint16_t VariableLength = 0x0001;
constexpr uint16_t KeyNumbersGiven = 0x0400;
}  // namespace FileFlag

namespace KeyType {
constexpr uint8_t String = 0;
constexpr uint8_t Integer = 1;
constexpr uint8_t Float = 2;
constexpr uint8_t Date = 3;
constexpr uint8_t Time = 4;
constexpr uint8_t Decimal = 5;
constexpr uint8_t Money = 6;
constexpr uint8_t Logical = 7;
constexpr uint8_t LString = 10;
constexpr uint8_t ZString = 11;
constexpr uint8_t Unsigned = 14;
constexpr uint8_t AutoIncrement = 15;
}  // namespace KeyType

// Create/stat layout sizes.
constexpr int FileSpecSize = 16;
constexpr int KeySpecSize = 16;
constexpr int CollatingSpecSize = 265;
constexpr uint8_t CollatingSignature = 0xAC;
// Key number that selects physical order where a call accepts it (percentages).
constexpr int8_t PhysicalKey = -1;
// Create supplemental index: key number k | 0x80 asks for exactly k.
constexpr uint8_t ExactKeyNumber = 0x80;

// Initialises the core for this process: 0, or 1016 when already initialised. Calls before it initialise implicitly.
int16_t CoreInit(const char* options);

// The bytes of file pages this process keeps cached for all its clients (4 MiB unless set).
void SetPageCacheBytes(size_t bytes);

// Ends every client of this process: closes its files, aborts its transactions, drops its locks. Returns 0.
int16_t CoreStop();

// One operation of a client. keyLen is the capacity of keyBuf; dataLen is in: bytes offered, out: bytes returned.
int16_t CoreCall(const ClientKey& client, uint16_t op, void* posBlock, void* dataBuf, uint16_t* dataLen, void* keyBuf,
                 uint8_t keyLen, int8_t keyNum);

}  // namespace reqcore
