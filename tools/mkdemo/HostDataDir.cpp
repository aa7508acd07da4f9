#include "tools/mkdemo/HostDataDir.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/btrieve/BtrWObj.h"

namespace {

constexpr Word CreateOperation = 14;
constexpr Word InsertOperation = 2;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

}  // namespace

THostDataDir::THostDataDir(const std::string& directory, const THostFileDefs& defs) : directory_(directory), defs_(defs)
{
    std::filesystem::create_directories(directory_);
    const SmallInt status = StartBtrieveRequester(nullptr, nullptr);
    if (status != BtrStatus::Ok && status != BtrStatus::AlreadyInitialized) throw EBtrieveEngineError(status);
}

THostDataDir::~THostDataDir()
{
    CloseFiles();
    StopBtrieveRequester();
}

std::string THostDataDir::PathOf(const std::string& fileName) const
{
    return (std::filesystem::path(directory_) / fileName).string();
}

void THostDataDir::MakeFile(const std::string& fileName)
{
    open_.erase(Lower(fileName));
    const std::string path = PathOf(fileName);
    std::filesystem::remove(path);
    std::vector<uint8_t> spec = CreateSpecification(defs_.ForFile(fileName));
    TWinBtr creator(nullptr);
    if (path.size() >= size_t(TWinBtr::KeyBufferSize)) throw EBtrieveEngineError(BtrStatus::InvalidFileName, path);
    std::memcpy(creator.KeyBuffer(), path.c_str(), path.size() + 1);
    creator.ExecuteOnBuffer(CreateOperation, spec.data(), Word(spec.size()));
}

THostRecord THostDataDir::NewRecord(const std::string& fileName) const
{
    return THostRecord(defs_.ForFile(fileName).Layout);
}

TWinBtr& THostDataDir::OpenFile(const std::string& fileName)
{
    std::unique_ptr<TWinBtr>& file = open_[Lower(fileName)];
    if (!file) {
        auto opened = std::make_unique<TWinBtr>(nullptr);
        opened->Open(PathOf(fileName), nullptr, 0);
        file = std::move(opened);
    }
    return *file;
}

void THostDataDir::Insert(const std::string& fileName, const THostRecord& record)
{
    std::string bytes = record.Bytes();
    OpenFile(fileName).ExecuteOnBuffer(InsertOperation, bytes.data(), Word(bytes.size()));
}

void THostDataDir::CloseFiles()
{
    open_.clear();
}
