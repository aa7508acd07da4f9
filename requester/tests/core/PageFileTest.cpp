// The page file: commits written and read back by another connection, chains, and when freed pages are reused.
#include "PagedTestSupport.h"

#include <gtest/gtest.h>

using namespace reqtest;

TEST(PageFile, CommitIsReadBackByAnotherConnection) {
  TempDir dir;
  PagedFixtureFile f(dir.File("pages.dat"));
  std::string longBytes(10000, '\0');
  for (size_t i = 0; i < longBytes.size(); ++i) longBytes[i] = static_cast<char>(i * 31);
  PageRef chain, node;
  f.Commit([&](PageFile& file, Meta& meta) {
    chain = file.WriteChain(longBytes);
    PageBody(file.NewPage(PageType::Node, node))[0] = 0x5A;
    meta.nextPosition = 12;
    meta.records = {node, 1};
  });
  auto reader = f.OpenReader();
  EXPECT_EQ(f.meta, reader->meta);
  EXPECT_EQ(longBytes, reader->file->ReadChain(chain));
  EXPECT_EQ("definition", reader->file->ReadChain(reader->meta.definition));
  EXPECT_EQ(0x5A, PageBody(*reader->file->Read(node, PageType::Node))[0]);
  struct {
    PageRef ref;
    PageType type;
  } refused[] = {
      {{node.page, node.commit + 1}, PageType::Node},  // another commit's
      {node, PageType::Chain},                         // another type
      {{f.meta.pageCount, node.commit}, PageType::Node},  // beyond the file
      {{0, 1}, PageType::Node},                           // a meta page
  };
  for (const auto& r : refused) EXPECT_THROW(reader->file->Read(r.ref, r.type), PageMismatch) << r.ref.page;
}

TEST(PageFile, FreedPagesAreReusedFromTheNextCommitOnAndTheFileStopsGrowing) {
  TempDir dir;
  PagedFixtureFile f(dir.File("pages.dat"));
  std::vector<PageRef> pages(5);
  f.Commit([&](PageFile& file, Meta&) {
    for (auto& ref : pages) file.NewPage(PageType::Node, ref);
  });
  std::vector<PageRef> second(5);
  f.Commit([&](PageFile& file, Meta&) {
    for (auto& ref : pages) file.Free(ref);
    for (auto& ref : second) file.NewPage(PageType::Node, ref);
  });
  for (const auto& ref : second)
    for (const auto& old : pages) EXPECT_NE(old.page, ref.page) << "reused by the commit that freed it";
  uint32_t pageCount = f.meta.pageCount;
  for (int round = 0; round < 20; ++round) {
    f.Commit([&](PageFile& file, Meta&) {
      for (auto& ref : second) {
        file.Free(ref);
        file.NewPage(PageType::Node, ref);
      }
    });
  }
  EXPECT_LE(f.meta.pageCount, pageCount + 6);
  auto reader = f.OpenReader();
  for (const auto& ref : second) EXPECT_NO_THROW(reader->file->Read(ref, PageType::Node));
}

TEST(PageFile, DroppedCommitLeavesTheFileAsItWas) {
  TempDir dir;
  PagedFixtureFile f(dir.File("pages.dat"));
  Meta before = f.meta;
  f.File().Begin(f.meta);
  PageRef ref;
  f.File().NewPage(PageType::Node, ref);
  f.File().Drop();
  EXPECT_EQ(before, f.OpenReader()->meta);
}
