#include "rtl/Streams.h"

#include <gtest/gtest.h>

#include "rtl/WinApi.h"

namespace {

std::string TempFile(const char* name)
{
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return std::string(path) + name;
}

std::string ReadAll(TStream& stream)
{
    std::string result(size_t(stream.Size()), '\0');
    stream.SetPosition(0);
    result.resize(stream.Read(result.data(), Integer(result.size())));
    return result;
}

std::string Contents(const TMemoryStream& stream)
{
    return std::string(static_cast<const char*>(stream.Memory()), size_t(const_cast<TMemoryStream&>(stream).Size()));
}

template <class E, class F>
std::string ErrorOf(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return "no error";
}

class FileStreamTest : public testing::Test {
protected:
    void TearDown() override { DeleteFileA(fileName.c_str()); }
    std::string fileName = TempFile("dunsys-stream-test.bin");
};

}  // namespace

TEST(TMemoryStream, GrowsOnWriteAndSeeksFreely)
{
    TMemoryStream stream;
    EXPECT_EQ(stream.Size(), 0);
    stream.WriteBuffer("hello", 5);
    EXPECT_EQ(stream.Position(), 5);
    EXPECT_EQ(stream.Seek(2, soFromBeginning), 2);
    stream.Write("LL", 2);
    EXPECT_EQ(stream.Seek(-1, soFromEnd), 4);
    EXPECT_EQ(stream.Seek(-2, soFromCurrent), 2);
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 8), 3);  // only what is there
    EXPECT_EQ(std::string(buffer), "LLo");
    EXPECT_EQ(stream.Read(buffer, 8), 0);

    stream.Seek(7, soFromBeginning);  // past the end: writing fills the gap with zeros
    stream.Write("!", 1);
    EXPECT_EQ(Contents(stream), std::string("heLLo\0\0!", 8));

    stream.SetSize(3);
    EXPECT_EQ(stream.Position(), 3);
    EXPECT_EQ(Contents(stream), "heL");
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(TStream, BufferRoutinesRaiseOnShortTransfers)
{
    TMemoryStream stream;
    stream.Write("abc", 3);
    stream.SetPosition(1);
    char buffer[4];
    EXPECT_EQ(ErrorOf<EReadError>([&] { stream.ReadBuffer(buffer, 4); }), "Stream read error");
    stream.ReadBuffer(buffer, 0);  // nothing asked, nothing missing

    TResourceStream readOnly(GetModuleHandleA(nullptr), "TestData", RT_RCDATA);
    EXPECT_EQ(ErrorOf<EStreamError>([&] { readOnly.WriteBuffer("x", 1); }),
              "Can't write to a read-only resource stream");

    TStringStream source("0123456789");
    source.SetPosition(7);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(&source, 0), 10);  // count 0: the whole source from its start
    EXPECT_EQ(Contents(target), "0123456789");
    source.SetPosition(2);
    EXPECT_EQ(target.CopyFrom(&source, 3), 3);
    EXPECT_EQ(Contents(target), "0123456789234");
    EXPECT_THROW(target.CopyFrom(&source, 6), EReadError);
}

TEST(TStringStream, OverwritesInPlaceAndKeepsThePositionInside)
{
    TStringStream stream("hello world");
    EXPECT_EQ(stream.Seek(6, soFromBeginning), 6);
    stream.WriteBuffer("W", 1);
    EXPECT_EQ(stream.DataString(), "hello World");  // the rest of the string stays
    stream.Seek(-2, soFromEnd);
    stream.WriteBuffer("LD!", 3);
    EXPECT_EQ(stream.DataString(), "hello WorLD!");
    EXPECT_EQ(stream.Seek(5, soFromEnd), 12);
    EXPECT_EQ(stream.Seek(-20, soFromCurrent), 0);
    stream.SetSize(5);
    EXPECT_EQ(ReadAll(stream), "hello");
}

TEST(TResourceStream, FindsRawDataByNameWithoutRegardToCase)
{
    for (const char* name : {"TestData", "TESTDATA", "testdata"}) {
        TResourceStream stream(GetModuleHandleA(nullptr), name, RT_RCDATA);
        EXPECT_EQ(ReadAll(stream), "Resource bytes") << name;
    }
    EXPECT_EQ(ErrorOf<EResNotFound>([] { TResourceStream(GetModuleHandleA(nullptr), "Nope", RT_RCDATA); }),
              "Resource Nope not found");
}

TEST_F(FileStreamTest, CreatesWritesAndReopens)
{
    {
        TFileStream stream(fileName, fmCreate);
        stream.WriteBuffer("0123456789", 10);
        stream.SetSize(6);
        EXPECT_EQ(stream.Size(), 6);
    }
    {
        TFileStream stream(fileName, fmOpenReadWrite);
        stream.Seek(0, soFromEnd);
        stream.WriteBuffer("ab", 2);
    }
    TMemoryStream memory;
    memory.LoadFromFile(fileName);
    EXPECT_EQ(Contents(memory), "012345ab");
    {
        TFileStream stream(fileName, fmCreate);  // empties an existing file
        EXPECT_EQ(stream.Size(), 0);
    }
    memory.SaveToFile(fileName);
    TFileStream reread(fileName, fmOpenRead);
    EXPECT_EQ(ReadAll(reread), "012345ab");
    EXPECT_EQ(reread.Write("x", 1), 0);  // opened for reading only
    EXPECT_EQ(ErrorOf<EWriteError>([&] { reread.WriteBuffer("x", 1); }), "Stream write error");
    EXPECT_EQ(reread.FileName(), fileName);
}

TEST_F(FileStreamTest, ShareModesDecideWhoElseMayOpen)
{
    TFileStream(fileName, fmCreate).WriteBuffer("data", 4);
    {
        TFileStream exclusive(fileName, fmOpenRead | fmShareExclusive);
        EXPECT_THROW(TFileStream(fileName, fmOpenRead | fmShareDenyNone), EFOpenError);
    }
    {
        TFileStream denyWrite(fileName, fmOpenRead | fmShareDenyWrite);
        TFileStream reader(fileName, fmOpenRead | fmShareDenyNone);
        EXPECT_THROW(TFileStream(fileName, fmOpenWrite | fmShareDenyNone), EFOpenError);
    }
    TFileStream denyNone(fileName, fmOpenReadWrite | fmShareDenyNone);
    TFileStream writer(fileName, fmOpenWrite | fmShareDenyNone);
}

TEST_F(FileStreamTest, FailuresNameTheFullPathAndTheReason)
{
    char directory[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, directory);
    const std::string missing = "no-such-dir\\missing.bin";
    const std::string full = std::string(directory) + "\\" + missing;

    const std::string openError = ErrorOf<EFOpenError>([&] { TFileStream(missing, fmOpenRead); });
    const std::string openPrefix = "Cannot open file \"" + full + "\". ";
    EXPECT_EQ(openError.substr(0, openPrefix.size()), openPrefix);
    EXPECT_GT(openError.size(), openPrefix.size());
    EXPECT_NE(openError.back(), '.');

    const std::string createError = ErrorOf<EFCreateError>([&] { TFileStream(missing, fmCreate); });
    const std::string createPrefix = "Cannot create file \"" + full + "\". ";
    EXPECT_EQ(createError.substr(0, createPrefix.size()), createPrefix);
    EXPECT_GT(createError.size(), createPrefix.size());
}
