// File names and files. Names are ANSI paths with '\' between folders and ':' after the drive letter.
#pragma once

#include <string>

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& directory);
// Creates the directory and its missing parents; raises EInOutError for an empty name.
bool ForceDirectories(const std::string& directory);

// The part up to and including the last '\' or ':'.
std::string ExtractFilePath(const std::string& fileName);
// As ExtractFilePath without the final '\', unless that is the root's.
std::string ExtractFileDir(const std::string& fileName);
std::string ExtractFileName(const std::string& fileName);
// The extension with its dot, or empty.
std::string ExtractFileExt(const std::string& fileName);
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
std::string IncludeTrailingBackslash(const std::string& s);
std::string ExcludeTrailingBackslash(const std::string& s);
std::string ExpandFileName(const std::string& fileName);

bool DeleteFile(const std::string& fileName);
bool RenameFile(const std::string& oldName, const std::string& newName);
std::string GetCurrentDir();
