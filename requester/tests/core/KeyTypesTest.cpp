// Each key type and flag orders its values as the type means them.
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace reqtest;

namespace {

template <typename T>
std::string Bytes(T v) {
  return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

std::string Date(int day, int month, int year) {
  return std::string{char(day), char(month)} + Bytes<uint16_t>(static_cast<uint16_t>(year));
}

std::string Time(int hour, int minute, int second, int hundredths) {
  return std::string{char(hundredths), char(second), char(minute), char(hour)};
}

std::string Padded(const std::string& s, size_t n) {
  std::string out(n, '\0');
  std::memcpy(out.data(), s.data(), std::min(n, s.size()));
  return out;
}

template <size_t N>
std::string Raw(const char (&s)[N]) {
  return std::string(s, N - 1);
}

std::string LString(const std::string& s, size_t n) { return Padded(std::string(1, char(s.size())) + s, n); }

struct TypeCase {
  const char* name;
  uint8_t type;
  uint16_t flags;
  std::vector<std::string> ascending;  // values of the key, in key order
};

std::vector<std::vector<uint8_t>> UpperFirstCollating() {
  // A collating sequence that sorts every letter ignoring case, lower case after upper case.
  std::vector<uint8_t> t(265, 0);
  t[0] = CollatingSignature;
  std::memcpy(t.data() + 1, "UPPERFST", 8);
  for (int c = 0; c < 256; ++c) t[9 + c] = static_cast<uint8_t>(c);
  for (int c = 'a'; c <= 'z'; ++c) t[9 + c] = static_cast<uint8_t>(c - 32);
  return {t};
}

const TypeCase kCases[] = {
    {"signed integer", KeyType::Integer, 0, {Bytes<int16_t>(-300), Bytes<int16_t>(-5), Bytes<int16_t>(0),
                                             Bytes<int16_t>(3), Bytes<int16_t>(300)}},
    {"unsigned", KeyType::Unsigned, 0, {Bytes<uint16_t>(1), Bytes<uint16_t>(255), Bytes<uint16_t>(256),
                                        Bytes<uint16_t>(65535)}},
    {"float", KeyType::Float, 0, {Bytes(-1e10), Bytes(-1.5), Bytes(-0.25), Bytes(0.0), Bytes(2.0), Bytes(100.0)}},
    {"date", KeyType::Date, 0, {Date(31, 12, 1999), Date(1, 1, 2000), Date(2, 1, 2000), Date(1, 2, 2000)}},
    {"time", KeyType::Time, 0, {Time(0, 0, 0, 99), Time(0, 0, 1, 0), Time(0, 1, 0, 0), Time(9, 0, 0, 0),
                                Time(23, 59, 59, 99)}},
    {"decimal", KeyType::Decimal, 0, {Raw("\x01\x2D"), Raw("\x00\x5D"), Raw("\x00\x0C"), Raw("\x00\x1C"),
                                     Raw("\x00\x9F"), Raw("\x12\x3C")}},
    {"money", KeyType::Money, 0, {Raw("\x00\x5B"), Raw("\x00\x0F"), Raw("\x05\x0F")}},
    {"zero-terminated", KeyType::ZString, 0, {Padded("", 2), Padded("a\0z", 2), Padded("ab", 2), Padded("b", 2)}},
    {"length-prefixed", KeyType::LString, 0, {LString("", 2), LString("a", 2), LString("b", 2)}},
    {"descending", KeyType::Integer, KeyFlag::Descending, {Bytes<int16_t>(9), Bytes<int16_t>(2), Bytes<int16_t>(-1)}},
    {"case-insensitive", KeyType::String, KeyFlag::NoCase, {"ab", "AC", "b\xe0", "B\xe1"}},
    {"collating", KeyType::String, KeyFlag::AltCollating, {"AB", "ac", "Ad", "b_"}},
};

}  // namespace

TEST(KeyTypes, ValuesComeBackInKeyOrder) {
  TempDir dir;
  for (const auto& c : kCases) {
    CoreStop();
    uint16_t length = static_cast<uint16_t>(c.ascending[0].size());
    std::string path = dir.File(std::string("t") + std::to_string(c.type) + "_" + std::to_string(c.flags) + ".dat");
    TestFile f;
    auto acs = (c.flags & KeyFlag::AltCollating) ? UpperFirstCollating() : std::vector<std::vector<uint8_t>>{};
    ASSERT_EQ(0, f.Create(path, CreateSpec(length, {{{1, length, c.flags, c.type}}}, 0, 4096, acs))) << c.name;
    ASSERT_EQ(0, f.Open(path)) << c.name;
    std::vector<std::string> shuffled(c.ascending.rbegin(), c.ascending.rend());
    std::rotate(shuffled.begin(), shuffled.begin() + shuffled.size() / 2, shuffled.end());
    for (const auto& v : shuffled) ASSERT_EQ(0, f.Insert(v)) << c.name;
    std::vector<std::string> walked;
    for (int16_t s = f.Read(Op::GetFirst, 0); s == 0; s = f.Read(Op::GetNext, 0)) walked.push_back(f.Record());
    EXPECT_EQ(c.ascending, walked) << c.name;
    // The key value comes back in key-buffer form and finds its record again.
    ASSERT_EQ(0, f.Read(Op::GetLast, 0));
    EXPECT_EQ(c.ascending.back(), std::string(reinterpret_cast<char*>(f.key), length)) << c.name;
    ASSERT_EQ(0, f.Read(Op::GetEqual, 0)) << c.name;
    EXPECT_EQ(c.ascending.back(), f.Record()) << c.name;
  }
  CoreStop();
}

TEST(KeyTypes, SegmentedKeyAndCaseInsensitiveEquality) {
  TempDir dir;
  CoreStop();
  TestFile f;
  std::string path = dir.File("seg.dat");
  // Key 0: name (case-insensitive) then number descending.
  ASSERT_EQ(0, f.Create(path, CreateSpec(6, {{{1, 4, KeyFlag::NoCase | KeyFlag::Duplicates},
                                              {5, 2, KeyFlag::Descending, KeyType::Integer}}})));
  ASSERT_EQ(0, f.Open(path));
  for (auto r : {std::string("abcd") + Bytes<int16_t>(1), std::string("ABCD") + Bytes<int16_t>(5),
                 std::string("abce") + Bytes<int16_t>(0)})
    ASSERT_EQ(0, f.Insert(r));
  std::vector<std::string> walked;
  for (int16_t s = f.Read(Op::GetFirst, 0); s == 0; s = f.Read(Op::GetNext, 0)) walked.push_back(f.Record());
  EXPECT_EQ((std::vector<std::string>{std::string("ABCD") + Bytes<int16_t>(5), std::string("abcd") + Bytes<int16_t>(1),
                                      std::string("abce") + Bytes<int16_t>(0)}),
            walked);
  f.SetKey(std::string("AbCd") + Bytes<int16_t>(1));
  ASSERT_EQ(0, f.Read(Op::GetEqual, 0));
  EXPECT_EQ(std::string("abcd") + Bytes<int16_t>(1), f.Record());
  CoreStop();
}
