#include "requester/core/FileFormat.h"

#include "requester/core/Checksum.h"

#include <cstring>
#include <optional>

namespace reqcore {

namespace {

enum EntryType : uint8_t { FileDef = 1, Collating, KeyAdd, KeyDrop, Put, Delete };

class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}
  template <typename T>
  void Put(T value) {
    for (size_t i = 0; i < sizeof(T); ++i) out_.push_back(static_cast<char>(static_cast<uint64_t>(value) >> (8 * i)));
  }
  void Bytes(std::string_view b) { out_.append(b); }

 private:
  std::string& out_;
};

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}
  template <typename T>
  T Get() {
    uint64_t v = 0;
    if (!Need(sizeof(T))) return 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<uint64_t>(static_cast<uint8_t>(in_[at_ + i])) << (8 * i);
    at_ += sizeof(T);
    return static_cast<T>(v);
  }
  std::string_view Bytes(size_t n) {
    if (!Need(n)) return {};
    auto b = in_.substr(at_, n);
    at_ += n;
    return b;
  }
  bool Ok() const { return ok_; }
  bool AtEnd() const { return at_ >= in_.size(); }

 private:
  bool Need(size_t n) {
    if (at_ + n > in_.size()) ok_ = false;
    return ok_;
  }
  std::string_view in_;
  size_t at_ = 0;
  bool ok_ = true;
};

constexpr size_t EntryChecksumSize = 8;

void PutSegment(Writer& w, const Segment& s) {
  w.Put(s.offset);
  w.Put(s.length);
  w.Put(s.flags);
  w.Put(s.type);
  w.Put(s.nullValue);
  w.Put(s.collating);
}

Segment GetSegment(Reader& r) {
  Segment s;
  s.offset = r.Get<uint16_t>();
  s.length = r.Get<uint16_t>();
  s.flags = r.Get<uint16_t>();
  s.type = r.Get<uint8_t>();
  s.nullValue = r.Get<uint8_t>();
  s.collating = r.Get<uint8_t>();
  return s;
}

void EncodeBody(std::string& body, const LogEntry& entry) {
  Writer w(body);
  if (auto* e = std::get_if<FileDefEntry>(&entry)) {
    w.Put<uint8_t>(FileDef);
    w.Put(e->recordLength);
    w.Put(e->pageSize);
    w.Put(e->fileFlags);
  } else if (auto* e = std::get_if<CollatingEntry>(&entry)) {
    w.Put<uint8_t>(Collating);
    w.Bytes(std::string_view(reinterpret_cast<const char*>(e->table.data()), e->table.size()));
  } else if (auto* e = std::get_if<KeyAddEntry>(&entry)) {
    w.Put<uint8_t>(KeyAdd);
    w.Put(e->key.number);
    w.Put<uint8_t>(e->key.supplemental);
    w.Put(e->baseSeq);
    w.Put<uint8_t>(static_cast<uint8_t>(e->key.segments.size()));
    for (const auto& s : e->key.segments) PutSegment(w, s);
  } else if (auto* e = std::get_if<KeyDropEntry>(&entry)) {
    w.Put<uint8_t>(KeyDrop);
    w.Put(e->number);
  } else if (auto* e = std::get_if<PutEntry>(&entry)) {
    w.Put<uint8_t>(Put);
    w.Put(e->position);
    w.Put(e->version);
    w.Put<uint8_t>(static_cast<uint8_t>(e->seqs.size()));
    for (const auto& [key, seq] : e->seqs) {
      w.Put(key);
      w.Put(seq);
    }
    w.Put<uint32_t>(static_cast<uint32_t>(e->data.size()));
    w.Bytes(e->data);
  } else if (auto* e = std::get_if<DeleteEntry>(&entry)) {
    w.Put<uint8_t>(Delete);
    w.Put(e->position);
  }
}

std::optional<LogEntry> DecodeBody(Reader& r) {
  switch (r.Get<uint8_t>()) {
    case FileDef: {
      FileDefEntry e;
      e.recordLength = r.Get<uint16_t>();
      e.pageSize = r.Get<uint16_t>();
      e.fileFlags = r.Get<uint16_t>();
      return e;
    }
    case Collating: {
      CollatingEntry e;
      auto b = r.Bytes(e.table.size());
      if (b.size() == e.table.size()) std::memcpy(e.table.data(), b.data(), b.size());
      return e;
    }
    case KeyAdd: {
      KeyAddEntry e;
      e.key.number = r.Get<uint8_t>();
      e.key.supplemental = r.Get<uint8_t>() != 0;
      e.baseSeq = r.Get<uint64_t>();
      for (int n = r.Get<uint8_t>(); n > 0 && r.Ok(); --n) e.key.segments.push_back(GetSegment(r));
      return e;
    }
    case KeyDrop:
      return KeyDropEntry{r.Get<uint8_t>()};
    case Put: {
      PutEntry e;
      e.position = r.Get<uint32_t>();
      e.version = r.Get<uint64_t>();
      for (int n = r.Get<uint8_t>(); n > 0 && r.Ok(); --n) {
        uint8_t key = r.Get<uint8_t>();
        e.seqs.emplace_back(key, r.Get<uint64_t>());
      }
      e.data = std::string(r.Bytes(r.Get<uint32_t>()));
      return e;
    }
    case Delete:
      return DeleteEntry{r.Get<uint32_t>()};
    default:
      return std::nullopt;
  }
}

}  // namespace

void AppendEntry(std::string& out, const LogEntry& entry) {
  size_t start = out.size();
  std::string body;
  EncodeBody(body, entry);
  Writer w(out);
  w.Put<uint32_t>(static_cast<uint32_t>(body.size()));
  w.Bytes(body);
  w.Put(Checksum(std::string_view(out).substr(start)));
}

size_t DecodeEntries(std::string_view bytes, const std::function<bool(LogEntry&&)>& apply, bool& damaged) {
  size_t used = 0;
  damaged = false;
  while (bytes.size() - used >= 4) {
    Reader header(bytes.substr(used, 4));
    size_t size = header.Get<uint32_t>();
    if (bytes.size() - used - 4 < size + uint64_t{EntryChecksumSize}) break;
    Reader sum(bytes.substr(used + 4 + size, EntryChecksumSize));
    Reader r(bytes.substr(used + 4, size));
    auto entry = sum.Get<uint64_t>() == Checksum(bytes.substr(used, 4 + size)) ? DecodeBody(r) : std::nullopt;
    if (!entry || !r.Ok() || !r.AtEnd() || !apply(std::move(*entry))) {
      damaged = true;
      break;
    }
    used += 4 + size + EntryChecksumSize;
  }
  return used;
}

}  // namespace reqcore
