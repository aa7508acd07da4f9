// Checksummed pages and meta pages: what checks, what does not, and which meta page is the file's state.
#include "requester/core/Page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace reqcore;

namespace {

PageBuffer SealedPage(PageRef ref, PageType type) {
  PageBuffer page{};
  for (size_t i = PageHeaderSize; i < PageSize; ++i) page[i] = static_cast<uint8_t>(i * 7);
  SealPage(page, ref, type);
  return page;
}

Meta SampleMeta(uint64_t counter) {
  Meta meta;
  meta.counter = counter;
  meta.fileId = 0x1234;
  meta.pageCount = 40;
  meta.nextPosition = 77;
  meta.nextSeq = 99;
  meta.definition = {2, 1};
  meta.freeList = {9, counter};
  meta.records = {{5, counter}, 1000};
  meta.keys[0] = {{6, counter}, 1000};
  meta.keys[118] = {{7, 1}, 3};
  return meta;
}

std::string Head(const Meta& a, const Meta& b) {
  PageBuffer pa = EncodeMeta(a), pb = EncodeMeta(b);
  std::string head(2 * PageSize, '\0');
  std::memcpy(head.data() + MetaPageOf(a.counter) * PageSize, pa.data(), PageSize);
  std::memcpy(head.data() + MetaPageOf(b.counter) * PageSize, pb.data(), PageSize);
  return head;
}

}  // namespace

TEST(Page, ChecksOnlyAtItsPlaceFromItsCommitWithItsType) {
  PageRef ref{12, 5};
  PageBuffer page = SealedPage(ref, PageType::Node);
  EXPECT_TRUE(PageChecks(page, ref, PageType::Node));
  EXPECT_FALSE(PageChecks(page, PageRef{13, 5}, PageType::Node)) << "another place";
  EXPECT_FALSE(PageChecks(page, PageRef{12, 4}, PageType::Node)) << "another commit";
  EXPECT_FALSE(PageChecks(page, ref, PageType::Chain)) << "another type";
  for (size_t at : {size_t{0}, size_t{9}, size_t{16}, PageHeaderSize, PageSize - 1}) {
    PageBuffer flipped = page;
    flipped[at] ^= 0x10;
    EXPECT_FALSE(PageChecks(flipped, ref, PageType::Node)) << at;
  }
  PageBuffer zero{};
  EXPECT_FALSE(PageChecks(zero, PageRef{12, 0}, PageType::Node));
}

TEST(Page, NewestMetaPageIsTheStateAndEitherDamagedIsDamage) {
  Meta older = SampleMeta(6), newer = SampleMeta(7);
  newer.nextPosition = 78;
  std::string head = Head(older, newer);
  MetaState state = DecodeMetaPages(head);
  ASSERT_EQ(MetaState::Kind::Good, state.kind);
  EXPECT_EQ(newer, state.meta);
  for (size_t at : {size_t{20}, PageSize + 20, size_t{8}, PageSize + 500, PageSize - 1}) {
    std::string damaged = head;
    damaged[at] ^= 1;
    EXPECT_EQ(MetaState::Kind::Damaged, DecodeMetaPages(damaged).kind) << at;
  }
  struct {
    std::string head;
    MetaState::Kind kind;
  } cases[] = {
      {"", MetaState::Kind::NotRecordFile},
      {"DUNREC0", MetaState::Kind::NotRecordFile},
      {std::string("DUNREC01") + std::string(600, '\0'), MetaState::Kind::OldFormat},
      {std::string("DUNREC02") + std::string(600, '\0'), MetaState::Kind::OldFormat},
      {std::string("NOTOURS!") + head.substr(8), MetaState::Kind::NotRecordFile},
      {head.substr(0, PageSize + 100), MetaState::Kind::Damaged},
      {Head(older, [&] { Meta m = newer; m.fileId = 9; return m; }()), MetaState::Kind::Damaged},
      {Head(older, [&] { Meta m = newer; m.records.ref = {40, 7}; return m; }()), MetaState::Kind::Damaged},
      {Head(older, [&] { Meta m = newer; m.freeList = {3, 8}; return m; }()), MetaState::Kind::Damaged},
  };
  for (const auto& c : cases) EXPECT_EQ(c.kind, DecodeMetaPages(c.head).kind) << c.head.substr(0, 8);
}
