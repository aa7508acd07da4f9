#pragma once
// The pages of one paged record file as one connection reads and writes them: meta pages, checked pages through
// the shared cache, chains, and the commit being built (its new pages in memory until they are written, then the
// meta page of the new counter).
#include "requester/core/FileIo.h"
#include "requester/core/FreePages.h"
#include "requester/core/Page.h"
#include "requester/core/PageCache.h"

#include <exception>
#include <unordered_map>
#include <memory>
#include <optional>
#include <string>

namespace reqcore {

// A page that does not check: damage, or (for a reader behind the file's newest commit) a page reused since.
struct PageMismatch : std::exception {
  const char* what() const noexcept override { return "page does not check"; }
};

class PageFile {
 public:
  PageFile(FileIo& io, std::string canonicalPath, PageCache& cache = PageCache::Shared());
  ~PageFile();
  PageFile(const PageFile&) = delete;

  // The meta pages as the file holds them now.
  MetaState ReadMeta();
  // Pages are read as those of the file meta names (its identifier keys the cache).
  void Use(const Meta& meta);

  // A check of a page's contents beyond its checksum, made once when the page is read from the file.
  using ContentCheck = bool (*)(const PageBuffer& page, PageRef ref);
  PagePtr Read(PageRef ref, PageType type, ContentCheck check = nullptr);  // throws PageMismatch
  std::string ReadChain(PageRef first);      // throws PageMismatch

  // The commit after base: new pages live in memory until Commit writes them.
  void Begin(const Meta& base);  // throws PageMismatch (a damaged free list)
  bool Building() const { return free_.has_value(); }
  uint64_t BuildingCommit() const { return building_; }
  // A new page of the commit being built, zeroed, of the type.
  PageBuffer& NewPage(PageType type, PageRef& ref);
  // The page ref names, writable, when this commit wrote it (nullptr otherwise).
  PageBuffer* OwnPage(PageRef ref);
  void Free(PageRef ref);
  PageRef WriteChain(std::string_view bytes);
  void FreeChain(PageRef first);  // throws PageMismatch
  // Writes the new pages and the meta page of the next counter (set in meta, with the page count and free list).
  // 0, or 18/2 when a write failed (nothing of the commit counts then).
  int16_t Commit(Meta& meta);
  void Drop();

 private:
  struct NewPageEntry {
    PageType type;
    std::shared_ptr<PageBuffer> bytes;
  };

  PageRef WriteChainInto(const std::vector<uint32_t>& pages, std::string_view bytes);
  bool WritePages();
  bool Extend();

  FileIo& io_;
  std::string path_;
  PageCache& cache_;
  uint64_t fileKey_ = 0;
  uint32_t pageCount_ = 2;
  uint64_t building_ = 0;
  std::optional<FreePages> free_;
  std::unordered_map<uint32_t, NewPageEntry> new_;
  // The checksums and counters of the meta pages last decoded, and what they said.
  std::string metaPrint_;
  MetaState metaState_;
};

}  // namespace reqcore
