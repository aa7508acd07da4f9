// Record files of our requester (wbtrv32.dll beside the test program), made in a fresh folder for each test.
#pragma once

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/btrieve/BtrWObj.h"
#include "rtl/WinApi.h"

namespace KeyFlag {
constexpr Word Duplicates = 0x0001;
constexpr Word Modifiable = 0x0002;
constexpr Word Segmented = 0x0010;
constexpr Word AltCollating = 0x0020;
constexpr Word ExtendedType = 0x0100;
}  // namespace KeyFlag

// One key segment of a create request; a segment with KeyFlag::Segmented continues into the next one.
struct TSegmentSpec {
    Word Position;  // 1-based
    Word Length;
    Word Flags = 0;
    Word Type = BtrType::String;
};

// A create request: page size 4096, every segment of an extended type, optionally a variable-length tail and an
// upper-case alternate collating sequence.
struct TFileSpec {
    Word RecordLength;
    std::vector<TSegmentSpec> Segments;
    bool VariableLength = false;
    bool UpperCaseSequence = false;

    std::vector<Byte> Bytes() const
    {
        std::vector<Byte> spec(16 + Segments.size() * 16);
        Put16(spec, 0, RecordLength);
        Put16(spec, 2, 4096);
        Put16(spec, 4, KeyCount());
        Put16(spec, 10, VariableLength ? 1 : 0);
        for (size_t i = 0; i < Segments.size(); ++i) {
            const TSegmentSpec& segment = Segments[i];
            Put16(spec, 16 + i * 16, segment.Position);
            Put16(spec, 16 + i * 16 + 2, segment.Length);
            Put16(spec, 16 + i * 16 + 4, Word(segment.Flags | KeyFlag::ExtendedType));
            spec[16 + i * 16 + 10] = Byte(segment.Type);
        }
        if (UpperCaseSequence) AppendUpperCaseSequence(spec);
        return spec;
    }

private:
    Word KeyCount() const
    {
        Word keys = 0;
        for (size_t i = 0; i < Segments.size(); ++i)
            if (i == 0 || !(Segments[i - 1].Flags & KeyFlag::Segmented)) ++keys;
        return keys;
    }
    static void Put16(std::vector<Byte>& bytes, size_t offset, Word value) { std::memcpy(&bytes[offset], &value, 2); }
    static void AppendUpperCaseSequence(std::vector<Byte>& spec)
    {
        std::vector<Byte> sequence(265);
        sequence[0] = 0xAC;
        std::memcpy(&sequence[1], "UPPER   ", 8);
        for (int c = 0; c < 256; ++c) sequence[9 + c] = Byte(c >= 'a' && c <= 'z' ? c - 32 : c);
        spec.insert(spec.end(), sequence.begin(), sequence.end());
    }
};

// A fresh folder for record files; the requester is started by the test (or by the engine session it makes) and
// stopped at the end.
class RequesterFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  (std::string(test->test_suite_name()) + "_" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        while (IsBtrieveRequesterLoaded()) StopBtrieveRequester();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    std::string Directory() const { return folder_.string(); }

    // Creates the file name in the folder (the requester must be running) and returns its path.
    std::string MakeFile(const std::string& name, const TFileSpec& spec)
    {
        const std::string path = PathOf(name);
        std::vector<Byte> bytes = spec.Bytes();
        TWinBtr creator(nullptr);
        std::memcpy(creator.KeyBuffer(), path.c_str(), path.size() + 1);
        creator.ExecuteOnBuffer(14, bytes.data(), Word(bytes.size()));
        return path;
    }

    // Appends raw records to the file name in the folder.
    void InsertRaw(const std::string& name, const std::vector<std::vector<Byte>>& records)
    {
        TWinBtr file(nullptr);
        file.Open(PathOf(name), nullptr, 0);
        for (const std::vector<Byte>& record : records) {
            std::memcpy(file.OwnBuffer(), record.data(), record.size());
            file.Insert();
        }
        file.Close();
    }

private:
    std::filesystem::path folder_;
};

// The folder, with the requester started by the test itself.
class RequesterFilesTest : public RequesterFolderTest {
protected:
    void SetUp() override
    {
        const SmallInt status = StartBtrieveRequester("", nullptr);
        ASSERT_TRUE(status == 0 || status == BtrStatus::AlreadyInitialized) << status;
        RequesterFolderTest::SetUp();
    }
};
