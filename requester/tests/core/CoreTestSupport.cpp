#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace reqtest {


TempDir::TempDir() {
  std::random_device random;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate = base / ("reqcore" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> Contents(TestFile& f) {
  std::vector<std::string> out;
  for (int16_t s = f.Read(Op::GetFirst, 1); s == 0; s = f.Read(Op::GetNext, 1)) out.push_back(f.Record());
  for (int16_t s = f.Read(Op::StepFirst, 0); s == 0; s = f.Read(Op::StepNext, 0)) {
    std::string record = f.Record();
    out.push_back(std::to_string(f.Position()) + ":" + record);
  }
  return out;
}

void MakeChurnedFile(const std::string& path, std::vector<std::string>& contents) {
  {
    TestFile f;
    ASSERT_EQ(0, f.Create(path, IdGroupSpec()));
    ASSERT_EQ(0, f.Open(path));
    ASSERT_EQ(0, f.Call(Op::BeginTransaction));
    for (int32_t id = 0; id < 2000; ++id) ASSERT_EQ(0, f.Insert(IdGroupRecord(id, static_cast<int16_t>(id % 5), 'a')));
    for (int round = 0; round < 15; ++round) {
      for (int32_t id = 0; id < 2000; ++id) {
        ASSERT_EQ(0, f.GetEqual(std::string(reinterpret_cast<char*>(&id), 4)));
        std::string record = IdGroupRecord(id, static_cast<int16_t>((id + round) % 5), static_cast<char>('b' + round));
        ASSERT_EQ(0, f.Update(record));
      }
    }
    ASSERT_EQ(0, f.Call(Op::EndTransaction));
  }
  CoreStop();
  {
    // A copy of a closed file is a complete file.
    std::string copy = path + ".copy";
    std::filesystem::copy_file(path, copy);
    TestFile f;
    ASSERT_EQ(0, f.Open(copy, OpenMode::ReadOnly));
    contents = Contents(f);
  }
  CoreStop();
}

}  // namespace reqtest
