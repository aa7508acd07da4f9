// The host record files as the readable sources in resources/ describe them: each file's layout and keys, and the
// record manager's create request made from them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/layoutc/LayoutSource.h"

struct THostKey {
    int Number = 0;
    bool Duplicates = false;
    bool CaseInsensitive = false;
    std::vector<std::string> Fields;
};

struct THostFileDef {
    std::vector<std::string> FileNames;  // a name with "<id>" stands for a family of files
    Layoutc::TLayout Layout;
    std::vector<THostKey> Keys;
};

class THostFileDefs {
public:
    // Raises Layoutc::ELayoutError naming the source line of the first fault.
    THostFileDefs(const std::string& layoutsText, const std::string& keysText);

    // The definitions from resources/HostLayouts.layout and resources/HostFiles.keys, built into the program.
    static const THostFileDefs& Builtin();

    const std::vector<Layoutc::TLayout>& Layouts() const { return layouts_; }
    const std::vector<THostFileDef>& Files() const { return files_; }
    // By layout name or file name, case ignored; raises Layoutc::ELayoutError when unknown.
    const Layoutc::TLayout& Layout(const std::string& name) const;
    const THostFileDef& ForFile(const std::string& fileName) const;

private:
    const Layoutc::TLayout* FindLayout(const std::string& name) const;
    void ParseKeys(const std::string& keysText);

    std::vector<Layoutc::TLayout> layouts_;
    std::vector<THostFileDef> files_;
};

const Layoutc::TField& FieldOf(const Layoutc::TLayout& layout, const std::string& fieldName);

// The create request of the record manager (file specification and one specification per key segment), keys
// numbered as given; every key but one on an autoincrement field is modifiable.
std::vector<uint8_t> CreateSpecification(const THostFileDef& file);

// The same file as a description file of the maintenance tool Butil.
std::string ButilDescription(const THostFileDef& file);
