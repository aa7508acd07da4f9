#pragma once
// A paged file on disk for the page units' tests: an empty first commit, and commits made with a callback.
#include "CoreTestSupport.h"
#include "requester/core/PageFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace reqtest {

class PagedFixtureFile {
 public:
  explicit PagedFixtureFile(const std::string& path) : path_(path) {
    FileIo::OpenResult result;
    io_ = FileIo::CreateNew(path, result);
    file_ = std::make_unique<PageFile>(*io_, path, cache_);
    meta.fileId = 42;
    // Both meta pages are written from the start.
    Commit([](PageFile& file, Meta& meta) { meta.definition = file.WriteChain("definition"); });
    Commit([](PageFile&, Meta&) {});
  }

  // Builds one commit on the newest meta; the meta it names is this object's afterwards.
  void Commit(const std::function<void(PageFile&, Meta&)>& change) {
    file_->Begin(meta);
    Meta next = meta;
    change(*file_, next);
    ASSERT_EQ(0, file_->Commit(next));
    meta = next;
  }

  // Another connection to the file, with a cache of its own: it reads what the disk holds.
  struct Reader {
    std::unique_ptr<FileIo> io;
    PageCache cache;
    std::unique_ptr<PageFile> file;
    Meta meta;
  };
  std::unique_ptr<Reader> OpenReader() const {
    auto reader = std::make_unique<Reader>();
    FileIo::OpenResult result;
    reader->io = FileIo::OpenExisting(path_, result);
    reader->file = std::make_unique<PageFile>(*reader->io, path_, reader->cache);
    MetaState state = reader->file->ReadMeta();
    EXPECT_EQ(MetaState::Kind::Good, state.kind);
    reader->meta = state.meta;
    reader->file->Use(state.meta);
    return reader;
  }

  PageFile& File() { return *file_; }
  Meta meta;

 private:
  std::string path_;
  std::unique_ptr<FileIo> io_;
  PageCache cache_;
  std::unique_ptr<PageFile> file_;
};

}  // namespace reqtest
