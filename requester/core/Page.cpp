#include "requester/core/Page.h"

#include "requester/core/ByteOrder.h"
#include "requester/core/Checksum.h"

#include <algorithm>
#include <cstring>

namespace reqcore {

namespace {

constexpr char LogMagics[2][8] = {{'D', 'U', 'N', 'R', 'E', 'C', '0', '1'}, {'D', 'U', 'N', 'R', 'E', 'C', '0', '2'}};

// Meta page layout.
constexpr size_t MetaChecksumAt = 8;
constexpr size_t MetaBodyAt = 16;
constexpr size_t RefSize = 12;
constexpr size_t RootSize = RefSize + 8;
constexpr size_t KeyRootSize = 1 + RootSize;

uint64_t PageSum(const uint8_t* page, size_t from, uint32_t number) {
  return Checksum(std::string_view(reinterpret_cast<const char*>(page) + from, PageSize - from), number + 1ull);
}

void PutRef(uint8_t*& at, PageRef ref) {
  PutLittle(at, ref.page);
  PutLittle(at + 4, ref.commit);
  at += RefSize;
}

PageRef GetRef(const uint8_t*& at) {
  PageRef ref{GetLittle<uint32_t>(at), GetLittle<uint64_t>(at + 4)};
  at += RefSize;
  return ref;
}

void PutRoot(uint8_t*& at, const TreeRoot& root) {
  PutRef(at, root.ref);
  PutLittle(at, root.count);
  at += 8;
}

TreeRoot GetRoot(const uint8_t*& at) {
  TreeRoot root;
  root.ref = GetRef(at);
  root.count = GetLittle<uint64_t>(at);
  at += 8;
  return root;
}

// A reference the meta page may hold: null or a page within the file written by a commit up to the meta's own.
bool Plausible(PageRef ref, const Meta& meta) {
  return ref.Null() || (ref.page >= 2 && ref.page < meta.pageCount && ref.commit >= 1 && ref.commit <= meta.counter);
}

}  // namespace

void SealPage(PageBuffer& page, PageRef ref, PageType type) {
  PutLittle(page.data() + 8, ref.commit);
  page[16] = static_cast<uint8_t>(type);
  std::fill(page.begin() + 17, page.begin() + PageHeaderSize, uint8_t{0});
  PutLittle(page.data(), PageSum(page.data(), 8, ref.page));
}

bool PageChecks(const PageBuffer& page, PageRef ref, PageType type) {
  return GetLittle<uint64_t>(page.data() + 8) == ref.commit && page[16] == static_cast<uint8_t>(type) &&
         GetLittle<uint64_t>(page.data()) == PageSum(page.data(), 8, ref.page);
}

uint32_t MetaPageOf(uint64_t counter) { return static_cast<uint32_t>(counter % 2); }

PageBuffer EncodeMeta(const Meta& meta) {
  PageBuffer page{};
  std::memcpy(page.data(), PagedMagic, sizeof PagedMagic);
  uint8_t* at = page.data() + MetaBodyAt;
  PutLittle(at, meta.counter);
  PutLittle(at + 8, meta.fileId);
  PutLittle(at + 16, meta.pageCount);
  PutLittle(at + 20, meta.nextPosition);
  PutLittle(at + 24, meta.nextSeq);
  at += 32;
  PutRef(at, meta.definition);
  PutRef(at, meta.freeList);
  PutRoot(at, meta.records);
  *at++ = static_cast<uint8_t>(meta.keys.size());
  for (const auto& [number, root] : meta.keys) {
    *at++ = number;
    PutRoot(at, root);
  }
  PutLittle(page.data() + MetaChecksumAt, PageSum(page.data(), MetaBodyAt, MetaPageOf(meta.counter)));
  return page;
}

bool DecodeMetaPage(std::string_view head, uint32_t number, Meta& meta) {
  if (head.size() < (number + 1) * PageSize) return false;
  const auto* page = reinterpret_cast<const uint8_t*>(head.data()) + number * PageSize;
  if (std::memcmp(page, PagedMagic, sizeof PagedMagic) != 0 ||
      GetLittle<uint64_t>(page + MetaChecksumAt) != PageSum(page, MetaBodyAt, number))
    return false;
  const uint8_t* at = page + MetaBodyAt;
  meta = Meta{};
  meta.counter = GetLittle<uint64_t>(at);
  meta.fileId = GetLittle<uint64_t>(at + 8);
  meta.pageCount = GetLittle<uint32_t>(at + 16);
  meta.nextPosition = GetLittle<uint32_t>(at + 20);
  meta.nextSeq = GetLittle<uint64_t>(at + 24);
  at += 32;
  meta.definition = GetRef(at);
  meta.freeList = GetRef(at);
  meta.records = GetRoot(at);
  size_t keys = *at++;
  if (keys * KeyRootSize > size_t(page + PageSize - at)) return false;
  for (size_t i = 0; i < keys; ++i) {
    uint8_t key = *at++;
    meta.keys[key] = GetRoot(at);
  }
  bool plausible = meta.counter != 0 && MetaPageOf(meta.counter) == number && meta.keys.size() == keys &&
                   !meta.definition.Null() && Plausible(meta.definition, meta) && Plausible(meta.freeList, meta) &&
                   Plausible(meta.records.ref, meta);
  for (const auto& [key, root] : meta.keys) plausible = plausible && Plausible(root.ref, meta);
  return plausible;
}

MetaState DecodeMetaPages(std::string_view head) {
  using Kind = MetaState::Kind;
  if (head.size() < sizeof PagedMagic) return {Kind::NotRecordFile, {}};
  for (const auto& magic : LogMagics)
    if (std::memcmp(head.data(), magic, sizeof magic) == 0) return {Kind::OldFormat, {}};
  if (std::memcmp(head.data(), PagedMagic, sizeof PagedMagic) != 0) return {Kind::NotRecordFile, {}};
  Meta a, b;
  if (!DecodeMetaPage(head, 0, a) || !DecodeMetaPage(head, 1, b) || a.fileId != b.fileId) return {Kind::Damaged, {}};
  return {Kind::Good, a.counter > b.counter ? a : b};
}

}  // namespace reqcore
