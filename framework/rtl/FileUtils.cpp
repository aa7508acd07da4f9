#include "rtl/FileUtils.h"

#include "rtl/Exceptions.h"
#include "rtl/WinApi.h"

namespace {

// Index of the last character of `delimiters` in s, or npos.
size_t LastDelimiter(const char* delimiters, const std::string& s) { return s.find_last_of(delimiters); }

bool EndsWithBackslash(const std::string& s) { return !s.empty() && s.back() == '\\'; }

DWORD Attributes(const std::string& name) { return GetFileAttributesA(name.c_str()); }

}  // namespace

bool FileExists(const std::string& fileName)
{
    DWORD attributes = Attributes(fileName);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& directory)
{
    DWORD attributes = Attributes(directory);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& directory)
{
    if (directory.empty()) throw EInOutError("Unable to create directory");
    const std::string dir = ExcludeTrailingBackslash(directory);
    if (dir.size() < 3 || DirectoryExists(dir) || ExtractFilePath(dir) == dir) return true;
    return ForceDirectories(ExtractFilePath(dir)) && CreateDirectoryA(dir.c_str(), nullptr);
}

std::string ExtractFilePath(const std::string& fileName)
{
    size_t at = LastDelimiter("\\:", fileName);
    return at == std::string::npos ? "" : fileName.substr(0, at + 1);
}

std::string ExtractFileDir(const std::string& fileName)
{
    size_t at = LastDelimiter("\\:", fileName);
    if (at == std::string::npos) return "";
    if (at > 0 && fileName[at] == '\\' && fileName[at - 1] != '\\' && fileName[at - 1] != ':') return fileName.substr(0, at);
    return fileName.substr(0, at + 1);
}

std::string ExtractFileName(const std::string& fileName)
{
    size_t at = LastDelimiter("\\:", fileName);
    return at == std::string::npos ? fileName : fileName.substr(at + 1);
}

std::string ExtractFileExt(const std::string& fileName)
{
    size_t at = LastDelimiter(".\\:", fileName);
    return at != std::string::npos && fileName[at] == '.' ? fileName.substr(at) : "";
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension)
{
    size_t at = LastDelimiter(".\\:", fileName);
    if (at == std::string::npos || fileName[at] != '.') at = fileName.size();
    return fileName.substr(0, at) + extension;
}

std::string IncludeTrailingBackslash(const std::string& s) { return EndsWithBackslash(s) ? s : s + "\\"; }

std::string ExcludeTrailingBackslash(const std::string& s)
{
    return EndsWithBackslash(s) ? s.substr(0, s.size() - 1) : s;
}

std::string ExpandFileName(const std::string& fileName)
{
    char buffer[MAX_PATH];
    char* namePart = nullptr;
    DWORD length = GetFullPathNameA(fileName.c_str(), sizeof buffer, buffer, &namePart);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : fileName;
}

bool DeleteFile(const std::string& fileName) { return DeleteFileA(fileName.c_str()) != 0; }

bool RenameFile(const std::string& oldName, const std::string& newName)
{
    return MoveFileA(oldName.c_str(), newName.c_str()) != 0;
}

std::string GetCurrentDir()
{
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : "";
}
