#include "requester/core/PageFile.h"

#include "requester/core/ByteOrder.h"
#include "requester/core/Statuses.h"

#include <algorithm>
#include <cstring>

namespace reqcore {

namespace {

// A chain page: the next page's reference, the bytes used, the bytes.
constexpr size_t ChainHeader = 12 + 2;
constexpr size_t ChainCapacity = PageBodySize - ChainHeader;

// What tells whether the meta pages changed: the first page's magic, checksum and counter, the second's checksum
// and counter.
constexpr size_t MetaPrintSize = 24 + 16;

size_t ChainPages(size_t bytes) { return (bytes + ChainCapacity - 1) / ChainCapacity; }

}  // namespace

PageFile::PageFile(FileIo& io, std::string canonicalPath, PageCache& cache)
    : io_(io), path_(std::move(canonicalPath)), cache_(cache) {}

MetaState PageFile::ReadMeta() {
  // Meta pages whose magic, checksums and counters are those decoded last time say what they said then.
  char print[MetaPrintSize];
  if (!metaPrint_.empty() && io_.ReadHead(0, print, 24) && io_.ReadHead(PageSize + 8, print + 24, 16) &&
      metaPrint_.compare(0, std::string::npos, print, MetaPrintSize) == 0)
    return metaState_;
  std::string head(2 * PageSize, '\0');
  if (!io_.ReadHead(0, head.data(), head.size())) {
    // Shorter than two pages: what there is decides between foreign and damaged.
    head.resize(static_cast<size_t>(std::min<uint64_t>(io_.Size(), head.size())));
    if (!io_.ReadAt(0, head.data(), head.size())) return {MetaState::Kind::Damaged, {}};
  }
  metaState_ = DecodeMetaPages(head);
  metaPrint_.clear();
  if (metaState_.kind == MetaState::Kind::Good) metaPrint_ = head.substr(0, 24) + head.substr(PageSize + 8, 16);
  return metaState_;
}

PageFile::~PageFile() {
  if (fileKey_) cache_.Detach(fileKey_);
}

void PageFile::Use(const Meta& meta) {
  uint64_t key = cache_.FileKey(path_, meta.fileId);
  if (key != fileKey_) {
    if (fileKey_) cache_.Detach(fileKey_);
    cache_.Attach(key);
    fileKey_ = key;
  }
  pageCount_ = meta.pageCount;
}

PagePtr PageFile::Read(PageRef ref, PageType type, ContentCheck check) {
  if (Building() && ref.commit == building_) {
    auto it = new_.find(ref.page);
    if (it == new_.end() || it->second.type != type) throw PageMismatch();
    return it->second.bytes;
  }
  if (PagePtr cached = cache_.Find(fileKey_, ref)) {
    if ((*cached)[16] != static_cast<uint8_t>(type)) throw PageMismatch();
    return cached;
  }
  auto page = std::make_shared_for_overwrite<PageBuffer>();  // read over at once
  if (ref.page < 2 || ref.page >= pageCount_ || !io_.ReadAt(uint64_t{ref.page} * PageSize, page->data(), PageSize) ||
      !PageChecks(*page, ref, type) || (check && !check(*page, ref)))
    throw PageMismatch();
  cache_.Put(fileKey_, ref, page);
  return page;
}

std::string PageFile::ReadChain(PageRef first) {
  std::string bytes;
  size_t pages = 0;
  for (PageRef ref = first; !ref.Null(); ++pages) {
    if (pages >= pageCount_) throw PageMismatch();  // a loop
    PagePtr page = Read(ref, PageType::Chain);
    const uint8_t* body = PageBody(*page);
    PageRef next{GetLittle<uint32_t>(body), GetLittle<uint64_t>(body + 4)};
    uint16_t used = GetLittle<uint16_t>(body + 12);
    if (used > ChainCapacity || next.commit > ref.commit) throw PageMismatch();
    bytes.append(reinterpret_cast<const char*>(body + ChainHeader), used);
    ref = next;
  }
  return bytes;
}

void PageFile::Begin(const Meta& base) {
  Use(base);
  std::vector<uint32_t> listed;
  if (!base.freeList.Null() && !FreePages::Decode(ReadChain(base.freeList), base.pageCount, listed))
    throw PageMismatch();
  building_ = base.counter + 1;
  free_.emplace(std::move(listed), base.pageCount);
  new_.clear();
}

PageBuffer& PageFile::NewPage(PageType type, PageRef& ref) {
  ref = PageRef{free_->Allocate(), building_};
  auto bytes = std::make_shared<PageBuffer>();  // zeroed
  PageBuffer& page = *bytes;
  new_[ref.page] = NewPageEntry{type, std::move(bytes)};
  return page;
}

PageBuffer* PageFile::OwnPage(PageRef ref) {
  if (ref.commit != building_) return nullptr;
  auto it = new_.find(ref.page);
  return it == new_.end() ? nullptr : it->second.bytes.get();
}

void PageFile::Free(PageRef ref) {
  bool own = ref.commit == building_;
  if (own) new_.erase(ref.page);
  free_->Free(ref.page, own);
}

PageRef PageFile::WriteChainInto(const std::vector<uint32_t>& pages, std::string_view bytes) {
  PageRef next;
  for (size_t i = pages.size(); i-- > 0;) {
    auto page = std::make_shared<PageBuffer>();  // zeroed
    uint8_t* body = PageBody(*page);
    size_t from = std::min(bytes.size(), i * ChainCapacity);
    size_t used = std::min(bytes.size() - from, ChainCapacity);
    PutLittle(body, next.page);
    PutLittle(body + 4, next.commit);
    PutLittle(body + 12, static_cast<uint16_t>(used));
    std::memcpy(body + ChainHeader, bytes.data() + from, used);
    new_[pages[i]] = NewPageEntry{PageType::Chain, std::move(page)};
    next = PageRef{pages[i], building_};
  }
  return next;
}

PageRef PageFile::WriteChain(std::string_view bytes) {
  std::vector<uint32_t> pages(std::max<size_t>(1, ChainPages(bytes.size())));
  for (auto& page : pages) page = free_->Allocate();
  return WriteChainInto(pages, bytes);
}

void PageFile::FreeChain(PageRef first) {
  std::vector<PageRef> refs;
  for (PageRef ref = first; !ref.Null();) {
    if (refs.size() >= pageCount_ + new_.size()) throw PageMismatch();
    refs.push_back(ref);
    const uint8_t* body = PageBody(*Read(ref, PageType::Chain));
    ref = PageRef{GetLittle<uint32_t>(body), GetLittle<uint64_t>(body + 4)};
  }
  for (PageRef ref : refs) Free(ref);
}

int16_t PageFile::Commit(Meta& meta) {
  // The old free list's pages are freed by this commit; the new list is written to pages taken before it is made,
  // so it does not list them.
  if (!meta.freeList.Null()) FreeChain(meta.freeList);
  std::vector<uint32_t> listPages(ChainPages(free_->NextList().size() * 4));
  for (auto& page : listPages) page = free_->Allocate();
  std::vector<uint32_t> list = free_->NextList();
  meta.freeList = listPages.empty() ? PageRef{} : WriteChainInto(listPages, FreePages::Encode(list));
  meta.counter = building_;
  meta.pageCount = free_->PageCount();
  pageCount_ = meta.pageCount;
  PageBuffer metaPage = EncodeMeta(meta);
  bool written = WritePages() && Extend() &&
                 io_.WriteAt(uint64_t{MetaPageOf(meta.counter)} * PageSize, metaPage.data(), PageSize);
  if (written)
    for (auto& [number, entry] : new_) cache_.Put(fileKey_, PageRef{number, building_}, entry.bytes);
  Drop();
  return written ? Status::Ok : Status::DiskFull;
}

bool PageFile::WritePages() {
  // In page order, consecutive pages in one write.
  std::vector<uint32_t> numbers;
  numbers.reserve(new_.size());
  for (auto& [number, entry] : new_) {
    SealPage(*entry.bytes, PageRef{number, building_}, entry.type);
    numbers.push_back(number);
  }
  std::sort(numbers.begin(), numbers.end());
  std::vector<uint8_t> run;
  for (size_t i = 0; i < numbers.size(); ++i) {
    const PageBuffer& page = *new_.at(numbers[i]).bytes;
    run.insert(run.end(), page.begin(), page.end());
    if (i + 1 == numbers.size() || numbers[i + 1] != numbers[i] + 1) {
      uint32_t runStart = numbers[i] + 1 - static_cast<uint32_t>(run.size() / PageSize);
      if (!io_.WriteAt(uint64_t{runStart} * PageSize, run.data(), run.size())) return false;
      run.clear();
    }
  }
  return true;
}

bool PageFile::Extend() {
  // Pages taken at the end and freed again by the same commit are never written: the file still reaches them.
  uint64_t size = uint64_t{pageCount_} * PageSize;
  return io_.Size() >= size || io_.Truncate(size);
}

void PageFile::Drop() {
  free_.reset();
  new_.clear();
  building_ = 0;
}

}  // namespace reqcore
