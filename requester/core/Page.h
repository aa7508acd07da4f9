#pragma once
// Fixed-size checksummed pages of a paged record file, and its two meta pages.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>

namespace reqcore {

constexpr size_t PageSize = 4096;
constexpr size_t PageHeaderSize = 24;  // checksum, commit, type, zeros
constexpr size_t PageBodySize = PageSize - PageHeaderSize;
constexpr char PagedMagic[8] = {'D', 'U', 'N', 'R', 'E', 'C', '0', '3'};

enum class PageType : uint8_t { Node = 1, Chain = 2 };  // tree node (leaf or branch), chain

// A page as the commit that wrote it left it: number and commit name one content.
struct PageRef {
  uint32_t page = 0;
  uint64_t commit = 0;
  bool Null() const { return page == 0; }
  bool operator==(const PageRef&) const = default;
};

using PageBuffer = std::array<uint8_t, PageSize>;
using PagePtr = std::shared_ptr<const PageBuffer>;

// Fills in the header (commit, type) and the checksum of a page to be written at ref.page.
void SealPage(PageBuffer& page, PageRef ref, PageType type);
// Whether page, read at ref.page, checks, was written by ref.commit and is of the type.
bool PageChecks(const PageBuffer& page, PageRef ref, PageType type);
inline uint8_t* PageBody(PageBuffer& page) { return page.data() + PageHeaderSize; }
inline const uint8_t* PageBody(const PageBuffer& page) { return page.data() + PageHeaderSize; }

// A tree's root and the entries beneath it.
struct TreeRoot {
  PageRef ref;
  uint64_t count = 0;
  bool operator==(const TreeRoot&) const = default;
};

// The state of a file as one commit left it.
struct Meta {
  uint64_t counter = 0;
  uint64_t fileId = 0;        // chosen at create: tells apart files that reuse a name
  uint32_t pageCount = 2;     // pages 0 and 1 are the meta pages
  uint32_t nextPosition = 1;
  uint64_t nextSeq = 1;
  PageRef definition;         // chain of the file definition
  PageRef freeList;           // chain of free page numbers
  TreeRoot records;
  std::map<uint8_t, TreeRoot> keys;
  bool operator==(const Meta&) const = default;
};

// The meta page that holds meta (page counter % 2).
uint32_t MetaPageOf(uint64_t counter);
PageBuffer EncodeMeta(const Meta& meta);

struct MetaState {
  enum class Kind { Good, NotRecordFile, OldFormat, Damaged };
  Kind kind = Kind::NotRecordFile;
  Meta meta;  // the newest, when Good
};
// What the first two pages (or fewer bytes, when the file is shorter) say. Either meta page that does not check
// is damage: the file never goes back silently to the other's older commit.
MetaState DecodeMetaPages(std::string_view head);
// Meta page number of head (0 or 1) when it checks on its own.
bool DecodeMetaPage(std::string_view head, uint32_t number, Meta& meta);

}  // namespace reqcore
