// A data directory of host record files made through the record manager: files created with the keys of their
// definition, records inserted from THostRecord. Used by the demo data maker and by tests for small fixtures.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "tools/mkdemo/HostFileDefs.h"
#include "tools/mkdemo/HostRecord.h"

class TWinBtr;

class THostDataDir {
public:
    // Creates the directory when missing; starts the record manager for the object's lifetime.
    explicit THostDataDir(const std::string& directory, const THostFileDefs& defs = THostFileDefs::Builtin());
    ~THostDataDir();
    THostDataDir(const THostDataDir&) = delete;
    THostDataDir& operator=(const THostDataDir&) = delete;

    const std::string& Directory() const { return directory_; }
    std::string PathOf(const std::string& fileName) const;

    // Makes an empty file with the keys of its definition, replacing any file of that name.
    void MakeFile(const std::string& fileName);
    // A blank record of the file's layout.
    THostRecord NewRecord(const std::string& fileName) const;
    // Inserts into a created file; the record manager numbers a zero autoincrement field.
    void Insert(const std::string& fileName, const THostRecord& record);
    // Closes the files opened for inserts (the destructor does too).
    void CloseFiles();

private:
    TWinBtr& OpenFile(const std::string& fileName);

    std::string directory_;
    const THostFileDefs& defs_;
    std::map<std::string, std::unique_ptr<TWinBtr>> open_;
};
