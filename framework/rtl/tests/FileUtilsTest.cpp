#include "rtl/FileUtils.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "rtl/Exceptions.h"
#include "rtl/WinApi.h"

namespace {

TEST(FileNamesTest, PartsOfAFileName)
{
    struct Case { const char* name; const char* path; const char* dir; const char* file; const char* ext; };
    const Case cases[] = {
        {"c:\\data\\clients.btr", "c:\\data\\", "c:\\data", "clients.btr", ".btr"},
        {"c:\\clients.btr", "c:\\", "c:\\", "clients.btr", ".btr"},
        {"c:clients", "c:", "c:", "clients", ""},
        {"clients.a.b", "", "", "clients.a.b", ".b"},
        {"c:\\dir.x\\file", "c:\\dir.x\\", "c:\\dir.x", "file", ""},
        {"\\\\server\\share\\f.txt", "\\\\server\\share\\", "\\\\server\\share", "f.txt", ".txt"},
        {"c:\\data\\", "c:\\data\\", "c:\\data", "", ""},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    }
}

TEST(FileNamesTest, ExtensionsAndBackslashes)
{
    EXPECT_EQ(ChangeFileExt("c:\\a\\notes.dat", ".bak"), "c:\\a\\notes.bak");
    EXPECT_EQ(ChangeFileExt("c:\\a.b\\notes", ".ini"), "c:\\a.b\\notes.ini");
    EXPECT_EQ(ChangeFileExt("x.y.z", ""), "x.y");
    EXPECT_EQ(IncludeTrailingBackslash("c:\\data"), "c:\\data\\");
    EXPECT_EQ(IncludeTrailingBackslash("c:\\data\\"), "c:\\data\\");
    EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
    EXPECT_EQ(ExcludeTrailingBackslash("c:\\data\\"), "c:\\data");
    EXPECT_EQ(ExcludeTrailingBackslash("c:\\data"), "c:\\data");
    EXPECT_EQ(ExpandFileName("c:\\a\\..\\b\\.\\f.txt"), "c:\\b\\f.txt");
    EXPECT_EQ(ExpandFileName("f.txt"), IncludeTrailingBackslash(GetCurrentDir()) + "f.txt");
}

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        root_ = IncludeTrailingBackslash(temp) + "rtl_files_" + std::to_string(GetCurrentProcessId());
    }
    void TearDown() override
    {
        DeleteFile(root_ + "\\a\\b\\f2.txt");
        RemoveDirectoryA((root_ + "\\a\\b").c_str());
        RemoveDirectoryA((root_ + "\\a").c_str());
        RemoveDirectoryA(root_.c_str());
    }
    std::string root_;
};

TEST_F(FileSystemTest, CreateFindRenameAndDelete)
{
    const std::string dir = root_ + "\\a\\b";
    EXPECT_FALSE(DirectoryExists(dir));
    ASSERT_TRUE(ForceDirectories(dir + "\\"));
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_TRUE(ForceDirectories(dir));  // already there

    const std::string file = dir + "\\f.txt";
    EXPECT_FALSE(FileExists(file));
    FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_TRUE(RenameFile(file, dir + "\\f2.txt"));
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(RenameFile(file, dir + "\\f3.txt"));
    EXPECT_TRUE(DeleteFile(dir + "\\f2.txt"));
    EXPECT_FALSE(DeleteFile(dir + "\\f2.txt"));
    EXPECT_THROW(ForceDirectories(""), EInOutError);
}

}  // namespace
