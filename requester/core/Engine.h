#pragma once
// The core's process-wide state: clients, open handles (what a position block names) and the files they share.
#include "requester/core/BtrCall.h"
#include "requester/core/SharedFile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace reqcore {

// Where a handle stands: the last record it read on a key (or in physical order).
struct Cursor {
  enum class Kind { None, Keyed, Physical };
  Kind kind = Kind::None;
  int8_t keyNum = 0;
  IndexEntry entry;        // the key value of that record on keyNum (Keyed)
  uint32_t position = 0;   // the record
  bool current = false;    // the record stands as this handle last saw it (not deleted by it)
  uint64_t version = 0;    // the record's version when it was read
  KeyIndex::Pos hint;      // where entry stood in its index while the index's stamp is hintStamp
  uint64_t hintStamp = 0;
};

struct Handle {
  uint32_t id = 0;
  ClientKey client;
  std::shared_ptr<SharedFile> file;
  bool readOnly = false;
  bool exclusive = false;
  Cursor cursor;
  uint32_t lockedPosition = 0;
};

struct ClientState {
  bool inTransaction = false;
  std::vector<std::shared_ptr<SharedFile>> written;
  std::string directory;
};

// The arguments of one call.
struct Call {
  ClientKey client;
  uint16_t op = 0;
  bool lock = false;
  uint8_t* posBlock = nullptr;
  uint8_t* data = nullptr;
  uint16_t* dataLen = nullptr;
  uint8_t* key = nullptr;
  uint8_t keyLen = 0;
  int8_t keyNum = 0;

  uint16_t Offered() const { return dataLen ? *dataLen : 0; }
  void Returned(uint16_t n) const {
    if (dataLen) *dataLen = n;
  }
};

class Engine {
 public:
  static Engine& Instance();

  bool initialised = false;
  std::map<uint32_t, Handle> handles;
  std::map<std::pair<std::vector<uint8_t>, std::string>, std::weak_ptr<SharedFile>> files;
  std::vector<std::pair<ClientKey, ClientState>> clients;
  uint32_t nextHandleId = 1;

  ClientState& Client(const ClientKey& key);
  Handle* HandleOf(const Call& call);
  std::string ResolvePath(const Call& call, const std::string& name);
  // The client's connection to the file at path (an existing file), opening it when needed.
  std::shared_ptr<SharedFile> Connect(const ClientKey& client, const std::string& path, int16_t& status);
  void CloseHandle(uint32_t id);
  // An update or delete ends the writer's client's lock on that record.
  void ReleaseRecordLock(const Handle& writer, uint32_t position);
  void StopClient(const ClientKey& client);
  void StopAll();
};

// Operation groups (one file each).
int16_t DoOpen(Engine& engine, const Call& call);
int16_t DoClose(Engine& engine, const Call& call);
int16_t DoCreate(Engine& engine, const Call& call);
int16_t DoStat(Engine& engine, const Call& call);
int16_t DoSetDirectory(Engine& engine, const Call& call);
int16_t DoGetDirectory(Engine& engine, const Call& call);
int16_t DoTransaction(Engine& engine, const Call& call);
int16_t DoRead(Engine& engine, const Call& call);
int16_t DoInsert(Engine& engine, const Call& call);
int16_t DoUpdate(Engine& engine, const Call& call);
int16_t DoDelete(Engine& engine, const Call& call);
int16_t DoCreateIndex(Engine& engine, const Call& call);
int16_t DoDropIndex(Engine& engine, const Call& call);
int16_t DoUnlock(Engine& engine, const Call& call);

// Shared helpers of the operation groups.
std::string NameFromKeyBuffer(const Call& call);
// Brings the handle's file up to date; when writing, the handle must not be read-only.
int16_t Prepare(Handle& handle, bool write);
int16_t BeginWrite(Engine& engine, Handle& handle);
void ReleaseLock(Handle& handle);

}  // namespace reqcore
