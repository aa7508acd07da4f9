// layoutc OUTPUT_DIR SOURCE...: compiles every layout of the layout sources into OUTPUT_DIR/NAME.bin (the
// table-definition resource) and OUTPUT_DIR/NAME.rc (a script naming it as raw-data resource NAME, upper case).
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "tools/layoutc/LayoutResource.h"
#include "tools/layoutc/LayoutSource.h"

namespace fs = std::filesystem;
using namespace Layoutc;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) throw ELayoutError(path.string() + ": cannot be read");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// An unchanged file is left alone, so that what is built from it is not built again.
void WriteFile(const fs::path& path, const std::string& content)
{
    if (fs::exists(path) && ReadFile(path) == content) return;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    if (!file.flush()) throw ELayoutError(path.string() + ": cannot be written");
}

std::string RcString(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string UpperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

void WriteLayout(const TLayout& layout, const fs::path& outputDir)
{
    const std::vector<uint8_t> bytes = ResourceBytes(layout);
    const fs::path binary = fs::absolute(outputDir / (layout.Name + ".bin"));
    WriteFile(binary, std::string(bytes.begin(), bytes.end()));
    WriteFile(outputDir / (layout.Name + ".rc"),
              UpperCase(layout.Name) + " RCDATA " + RcString(binary.generic_string()) + "\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: layoutc OUTPUT_DIR SOURCE...\n";
        return 2;
    }
    try {
        const fs::path outputDir = argv[1];
        fs::create_directories(outputDir);
        std::set<std::string> written;
        for (int i = 2; i < argc; ++i) {
            for (const TLayout& layout : ParseLayouts(ReadFile(argv[i]), argv[i])) {
                if (!written.insert(UpperCase(layout.Name)).second) {
                    throw ELayoutError(std::string(argv[i]) + ": layout " + layout.Name + " is defined twice");
                }
                WriteLayout(layout, outputDir);
            }
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
