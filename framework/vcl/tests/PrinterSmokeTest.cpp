// The machine's default printer: present, Letter-sized, and printing a page into a file.
#include "rtl/WinApi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string DefaultPrinterName()
{
    char name[256];
    DWORD size = sizeof name;
    return GetDefaultPrinterA(name, &size) ? std::string(name) : std::string();
}

std::string ReadFile(const char* path)
{
    std::string text;
    if (FILE* f = std::fopen(path, "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

}  // namespace

TEST(PrinterSmoke, DefaultPrinterPrintsAPageToAFile)
{
    const std::string printer = DefaultPrinterName();
    ASSERT_FALSE(printer.empty()) << "no default printer";

    HDC dc = CreateDCA("WINSPOOL", printer.c_str(), nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    EXPECT_EQ(dpi, 600);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), dpi * 17 / 2);  // Letter: 8.5 by 11 inches
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), dpi * 11);

    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    GetTempFileNameA(path, "prn", 0, path);
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = "smoke";
    doc.lpszOutput = path;
    ASSERT_GT(StartDocA(dc, &doc), 0);
    StartPage(dc);
    TextOutA(dc, 100, 100, "Hello", 5);
    EndPage(dc);
    EndDoc(dc);
    DeleteDC(dc);

    const std::string output = ReadFile(path);
    DeleteFileA(path);
    EXPECT_EQ(output.rfind("%!PS-Adobe", 0), 0u);
    EXPECT_NE(output.find("%%Pages: 1"), std::string::npos);
}
