#include "requester/core/Engine.h"

#include "requester/core/Statuses.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace reqcore {

namespace {

constexpr uint8_t PosBlockTag[4] = {'R', 'Q', 'P', 'B'};
constexpr int MismatchRetries = 8;

std::vector<uint8_t> ClientBytes(const ClientKey& key) {
  std::vector<uint8_t> bytes(key.id.begin(), key.id.end());
  bytes.push_back(key.hasId);
  return bytes;
}

std::mutex& CoreMutex() {
  static std::mutex mutex;
  return mutex;
}

bool IsRead(uint16_t op) {
  switch (op) {
    case Op::GetEqual: case Op::GetNext: case Op::GetPrevious: case Op::GetGreater: case Op::GetGreaterOrEqual:
    case Op::GetLess: case Op::GetLessOrEqual: case Op::GetFirst: case Op::GetLast: case Op::GetPosition:
    case Op::GetDirect: case Op::StepNext: case Op::StepFirst: case Op::StepLast: case Op::StepPrevious:
    case Op::GetByPercentage: case Op::FindPercentage:
      return true;
    default:
      return false;
  }
}

int16_t Dispatch(Engine& engine, const Call& call) {
  if (IsRead(call.op)) return DoRead(engine, call);
  switch (call.op) {
    case Op::Open: return DoOpen(engine, call);
    case Op::Close: return DoClose(engine, call);
    case Op::Insert: return DoInsert(engine, call);
    case Op::Update: return DoUpdate(engine, call);
    case Op::Delete: return DoDelete(engine, call);
    case Op::Create: return DoCreate(engine, call);
    case Op::Stat: return DoStat(engine, call);
    case Op::SetDirectory: return DoSetDirectory(engine, call);
    case Op::GetDirectory: return DoGetDirectory(engine, call);
    case Op::BeginTransaction: case Op::EndTransaction: case Op::AbortTransaction:
      return DoTransaction(engine, call);
    case Op::Stop:
      engine.StopClient(call.client);
      return Status::Ok;
    case Op::Unlock: return DoUnlock(engine, call);
    case Op::CreateIndex: return DoCreateIndex(engine, call);
    case Op::DropIndex: return DoDropIndex(engine, call);
    default: return Status::InvalidOperation;
  }
}

}  // namespace

ClientKey ClientKey::FromId(const void* clientId) {
  ClientKey key;
  key.hasId = true;
  std::memcpy(key.id.data(), clientId, key.id.size());
  return key;
}

Engine& Engine::Instance() {
  static Engine engine;
  return engine;
}

ClientState& Engine::Client(const ClientKey& key) {
  for (auto& [k, state] : clients)
    if (k == key) return state;
  return clients.emplace_back(key, ClientState{}).second;
}

Handle* Engine::HandleOf(const Call& call) {
  if (!call.posBlock || std::memcmp(call.posBlock, PosBlockTag, 4) != 0) return nullptr;
  uint32_t id;
  std::memcpy(&id, call.posBlock + 4, 4);
  auto it = handles.find(id);
  if (it == handles.end() || !(it->second.client == call.client)) return nullptr;
  return &it->second;
}

std::string Engine::ResolvePath(const Call& call, const std::string& name) {
  if (Path::IsAbsolute(name)) return name;
  const std::string& directory = Client(call.client).directory;
  return Path::Join(directory.empty() ? Path::CurrentDirectory() : directory, name);
}

std::shared_ptr<SharedFile> Engine::Connect(const ClientKey& client, const std::string& path, int16_t& status) {
  std::string canonical = Path::Canonical(path);
  std::erase_if(files, [](const auto& entry) { return entry.second.expired(); });
  auto key = std::make_pair(ClientBytes(client), canonical);
  if (auto existing = files[key].lock()) {
    status = existing->Sync();
    return existing;
  }
  FileIo::OpenResult result;
  auto io = FileIo::OpenExisting(path, result);
  if (!io) {
    status = FileIo::StatusOf(result);
    return nullptr;
  }
  auto file = std::make_shared<SharedFile>(std::move(io), canonical);
  files[key] = file;
  status = Status::Ok;
  return file;
}

void Engine::CloseHandle(uint32_t id) {
  auto it = handles.find(id);
  if (it == handles.end()) return;
  Handle& handle = it->second;
  ReleaseLock(handle);
  handle.file->RemoveOpen(handle.exclusive);
  handles.erase(it);
}

void Engine::StopClient(const ClientKey& client) {
  ClientState& state = Client(client);
  for (auto& file : state.written) file->AbortTransaction();
  state.written.clear();
  state.inTransaction = false;
  std::vector<uint32_t> ids;
  for (auto& [id, handle] : handles)
    if (handle.client == client) ids.push_back(id);
  for (uint32_t id : ids) CloseHandle(id);
  std::erase_if(clients, [&](const auto& entry) { return entry.first == client; });
}

void Engine::ReleaseRecordLock(const Handle& writer, uint32_t position) {
  for (auto& [id, handle] : handles)
    if (handle.client == writer.client && handle.file == writer.file && handle.lockedPosition == position)
      ReleaseLock(handle);
}

void Engine::StopAll() {
  std::vector<ClientKey> keys;
  for (auto& [key, state] : clients) keys.push_back(key);
  for (auto& [id, handle] : handles) keys.push_back(handle.client);  // clients that only opened and read
  for (const auto& key : keys) StopClient(key);
  clients.clear();
  files.clear();
  initialised = false;
}

std::string NameFromKeyBuffer(const Call& call) {
  if (!call.key) return {};
  const char* text = reinterpret_cast<const char*>(call.key);
  std::string name(text, strnlen(text, KeyBufferSize));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

int16_t Prepare(Handle& handle, bool write) {
  if (write && handle.readOnly) return Status::AccessDenied;
  return handle.file->Sync();
}

int16_t BeginWrite(Engine& engine, Handle& handle) {
  if (handle.readOnly) return Status::AccessDenied;
  ClientState& client = engine.Client(handle.client);
  int16_t status = handle.file->BeginWrite(client.inTransaction);
  if (status == Status::Ok && client.inTransaction &&
      std::find(client.written.begin(), client.written.end(), handle.file) == client.written.end())
    client.written.push_back(handle.file);
  return status;
}

void ReleaseLock(Handle& handle) {
  if (handle.lockedPosition == 0) return;
  handle.file->UnlockRecord(handle.lockedPosition);
  handle.lockedPosition = 0;
}

int16_t DoOpen(Engine& engine, const Call& call) {
  std::string name = NameFromKeyBuffer(call);
  if (name.empty() || !call.posBlock) return Status::InvalidFileName;
  std::string path = Path::FindExisting(engine.ResolvePath(call, name));
  if (path.empty()) return Status::FileNotFound;
  int16_t status;
  auto file = engine.Connect(call.client, path, status);
  if (!file) return status;
  if (status != Status::Ok) return status;
  bool exclusive = call.keyNum == OpenMode::Exclusive;
  bool first = !file->Loaded();
  // The open lock comes first: a file is never read while another client rewrites it.
  status = file->AddOpen(exclusive);
  if (status != Status::Ok) return status;
  if (first) {
    status = file->Sync();
    if (status != Status::Ok) {
      file->RemoveOpen(exclusive);
      return status;
    }
  }
  Handle handle;
  handle.id = engine.nextHandleId++;
  handle.client = call.client;
  handle.file = file;
  handle.exclusive = exclusive;
  handle.readOnly = call.keyNum == OpenMode::ReadOnly || !file->Writable();
  std::memset(call.posBlock, 0, PosBlockSize);
  std::memcpy(call.posBlock, PosBlockTag, 4);
  std::memcpy(call.posBlock + 4, &handle.id, 4);
  engine.handles.emplace(handle.id, std::move(handle));
  return Status::Ok;
}

int16_t DoClose(Engine& engine, const Call& call) {
  Handle* handle = engine.HandleOf(call);
  if (!handle) return Status::FileNotOpen;
  engine.CloseHandle(handle->id);
  std::memset(call.posBlock, 0, 8);
  return Status::Ok;
}

int16_t DoSetDirectory(Engine& engine, const Call& call) {
  std::string name = NameFromKeyBuffer(call);
  if (name.empty()) return Status::DirectoryError;
  std::string path = Path::FindExisting(engine.ResolvePath(call, name));
  if (path.empty() || !Path::IsDirectory(path)) return Status::DirectoryError;
  engine.Client(call.client).directory = Path::Absolute(path);
  return Status::Ok;
}

int16_t DoGetDirectory(Engine& engine, const Call& call) {
  const std::string& own = engine.Client(call.client).directory;
  std::string directory = own.empty() ? Path::CurrentDirectory() : own;
  if (!call.key || directory.size() + 1 > std::min<size_t>(KeyBufferSize, call.keyLen + 1u))
    return Status::KeyBufferTooShort;
  std::memcpy(call.key, directory.c_str(), directory.size() + 1);
  return Status::Ok;
}

int16_t DoTransaction(Engine& engine, const Call& call) {
  ClientState& client = engine.Client(call.client);
  if (call.op == Op::BeginTransaction) {
    if (client.inTransaction) return Status::TransactionActive;
    client.inTransaction = true;
    return Status::Ok;
  }
  if (!client.inTransaction) return Status::NoTransaction;
  int16_t status = Status::Ok;
  for (auto& file : client.written) {
    if (call.op == Op::AbortTransaction) {
      file->AbortTransaction();
    } else {
      int16_t s = file->EndTransaction();
      if (status == Status::Ok) status = s;
    }
  }
  client.written.clear();
  client.inTransaction = false;
  return status;
}

int16_t DoUnlock(Engine& engine, const Call& call) {
  Handle* handle = engine.HandleOf(call);
  if (!handle) return Status::FileNotOpen;
  uint32_t position = 0;
  if (call.data && call.Offered() >= 4) std::memcpy(&position, call.data, 4);
  if (handle->lockedPosition == 0 || (position != 0 && position != handle->lockedPosition))
    return Status::UnlockError;
  ReleaseLock(*handle);
  return Status::Ok;
}

int16_t CoreInit(const char*) {
  std::lock_guard guard(CoreMutex());
  Engine& engine = Engine::Instance();
  if (engine.initialised) return Status::AlreadyInitialised;
  engine.initialised = true;
  return Status::Ok;
}

void SetPageCacheBytes(size_t bytes) {
  std::lock_guard guard(CoreMutex());
  PageCache::Shared().SetBudget(bytes);
}

int16_t CoreStop() {
  std::lock_guard guard(CoreMutex());
  Engine::Instance().StopAll();
  return Status::Ok;
}

int16_t CoreCall(const ClientKey& client, uint16_t op, void* posBlock, void* dataBuf, uint16_t* dataLen, void* keyBuf,
                 uint8_t keyLen, int8_t keyNum) {
  std::lock_guard guard(CoreMutex());
  Engine& engine = Engine::Instance();
  engine.initialised = true;
  Call call;
  call.client = client;
  call.op = op;
  if (op == Op::BeginTransaction + Op::ConcurrentTransaction) call.op = Op::BeginTransaction;
  if (op >= Op::LockBias && op < 2 * Op::LockBias && IsRead(op - Op::LockBias)) {
    call.op = op - Op::LockBias;
    call.lock = true;
  }
  call.posBlock = static_cast<uint8_t*>(posBlock);
  call.data = static_cast<uint8_t*>(dataBuf);
  call.dataLen = dataLen;
  call.key = static_cast<uint8_t*>(keyBuf);
  call.keyLen = keyLen;
  call.keyNum = keyNum;
  // Nothing escapes to the caller: a failure no status names (no memory, say) is an I/O error. A page that does
  // not check is damage unless the file moved on to a newer commit, on which the call runs again.
  try {
    for (int attempt = 0;; ++attempt) {
      try {
        return Dispatch(engine, call);
      } catch (const PageMismatch&) {
        Handle* handle = engine.HandleOf(call);
        if (!handle || attempt == MismatchRetries || !handle->file->MovedOnAfterMismatch()) return Status::IoError;
      }
    }
  } catch (...) {
    return Status::IoError;
  }
}

}  // namespace reqcore
