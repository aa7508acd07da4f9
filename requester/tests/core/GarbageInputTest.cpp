// Random operation codes, lengths, keys and key numbers only ever produce statuses, and the file stays readable.
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace reqtest;

TEST(GarbageInput, RandomCallsReturnStatuses) {
  CoreStop();
  TempDir dir;
  std::string path = dir.File("garbage.dat");
  TestFile f;
  ASSERT_EQ(0, f.Create(path, CreateSpec(24, {{{1, 4, 0, KeyType::Integer}},
                                              {{5, 8, KeyFlag::Duplicates | KeyFlag::Modifiable, KeyType::ZString},
                                               {13, 4, KeyFlag::Descending, KeyType::Float}},
                                              {{17, 4, KeyFlag::Duplicates, KeyType::Decimal}}})));
  ASSERT_EQ(0, f.Open(path));
  std::mt19937 rng(2024);
  auto byte = [&] { return static_cast<uint8_t>(rng()); };
  for (int i = 0; i < 20000; ++i) {
    uint16_t op = static_cast<uint16_t>(rng() % 50 + (rng() % 4 == 0 ? 200 : 0));
    if (op == Op::SetDirectory || op == Op::Stop || op == Op::Create || op == Op::Open || op == Op::Close) continue;
    std::vector<uint8_t> data(rng() % 600);
    for (auto& b : data) b = byte();
    f.data = data;
    for (auto& b : f.key) b = byte();
    uint8_t keyLen = byte();
    int8_t keyNum = static_cast<int8_t>(rng() % 8 - 4);
    uint16_t length = static_cast<uint16_t>(data.size());
    int16_t status = CoreCall(ClientKey::Default(), op, f.posBlock, f.data.data(), &length, f.key, keyLen, keyNum);
    ASSERT_LE(length, data.size()) << "op " << op;
    ASSERT_GE(status, 0) << "op " << op;
    if (op == Op::BeginTransaction || op == Op::EndTransaction || op == Op::AbortTransaction) continue;
  }
  f.Call(Op::AbortTransaction);
  // Random create requests are refused or make a file that opens.
  for (int i = 0; i < 2000; ++i) {
    std::vector<uint8_t> spec(16 + rng() % 120);
    for (auto& b : spec) b = byte();
    spec[0] = static_cast<uint8_t>(rng() % 64);
    spec[1] = 0;
    spec[4] = static_cast<uint8_t>(rng() % 4);
    spec[5] = 0;
    TestFile g;
    if (g.Create(dir.File("made.dat"), spec) == 0) {
      ASSERT_EQ(0, g.Open(dir.File("made.dat")));
      ASSERT_EQ(0, g.Close());
    }
  }
  // The file stays consistent: every key (some may have been dropped or added) walks over every record.
  CoreStop();
  TestFile check;
  ASSERT_EQ(0, check.Open(path));
  size_t physical = 0;
  for (int16_t s = check.Read(Op::StepFirst, 0); s == 0; s = check.Read(Op::StepNext, 0)) ++physical;
  auto stat = check.Stat();
  ASSERT_EQ(physical, static_cast<size_t>(stat[6] | stat[7] << 8));
  int keys = stat[4];
  for (size_t at = 16; keys > 0 && at + 16 <= stat.size(); at += 16) {
    if (stat[at + 4] & KeyFlag::Segmented) continue;  // the last segment of a key names it
    --keys;
    int8_t key = static_cast<int8_t>(stat[at + 14]);
    size_t count = 0;
    for (int16_t s = check.Read(Op::GetFirst, key); s == 0; s = check.Read(Op::GetNext, key)) ++count;
    EXPECT_EQ(physical, count) << int(key);
  }
  CoreStop();
}
