// The engine's abstract session: the databases opened through it, its configuration records and list cursors,
// its directories, OEM/ANSI translation, database-name resolution and the session, system and client information.
// A session must be made with CreateObject (AfterCreate runs from there) and freed with Free.
#pragma once

#include <string>

#include "engine/core/BseBase.h"
#include "engine/core/BseSessRecords.h"

class TBaseDatabase;
class TBaseTable;
class TRegistry;

// The driver type every database is described with unless the driver says otherwise.
constexpr const char* StandardDbType = "STANDARD";
// Session properties.
constexpr Cardinal sesCURRENTDIR = 0x20002;
constexpr Cardinal sesPROPVALUE = 0x20003;
constexpr Cardinal sesPROPVALUE2 = 0x2000C;
// Length of the text buffer a caller of the current-directory property provides.
constexpr Word CurrentDirBufferSize = 261;

// The registry location of a session's configuration, handed to list cursors.
struct TRegistryLocation {
    HKEY Root = nullptr;
    std::string Path;
};

// Options of OpenDatabase: count descriptors (name and offset of each value in Values).
struct TDatabaseOptions {
    Word Count = 0;
    const FLDDesc* Descriptors = nullptr;
    const Byte* Values = nullptr;
};

class TBaseSession : public TBapiListItem {
    DUN_CLASS(TBaseSession, TBapiListItem)
public:
    TBaseSession(TBapiListItem* owner, const std::string& netDir, const std::string& name,
                 TBoreaCollection* collection);
    ~TBaseSession() override;
    void AfterConstruction() override;

    // Fields.
    TRegistryLocation& RegistryLocation() { return registry_; }
    bool IgnoreAnsiOem = false;
    bool IgnoreOemAnsi = false;
    SmallInt LockWait = 0;
    bool NoTrailingBackslash = false;
    TBoreaCollection* Databases() { return &databases_; }
    TBoreaCollection* ConfigRecords() { return &configRecords_; }
    TBoreaCollection* ListCursors() { return &listCursors_; }
    const std::string& Name() const { return name_; }
    const std::string& NetDir() const { return netDir_; }
    const std::string& PrivateDir() const { return privateDir_; }
    void SetPrivateDir(const std::string& directory);
    SmallInt Tag() const { return tag_; }

    // TBapiListItem
    void GetProp(Cardinal property, void* buffer, Word& length, Word maxLength) override;
    void SetProp(Cardinal property, uintptr_t value) override;

    virtual void SetTag(SmallInt value) { tag_ = value; }
    // Sets the registry location; the last step of construction.
    virtual void AfterCreate() = 0;
    virtual void FillSesInfo(SESInfo& information);
    virtual std::string GetDriverName() { return "BOREA"; }
    virtual void FillDefaultDbType(bool keepType, DBDesc& description);
    // Resolves a directory or an alias; an unknown alias raises DBIERR_UNKNOWNDB with the name.
    virtual void GetDatabaseDesc(const std::string& name, DBDesc& description, bool keepType);
    void GetDatabaseDescByName(const std::string& name, DBDesc& description);
    // The driver makes and opens its database object here.
    virtual TBaseDatabase* CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                          Integer shareMode, const TDatabaseOptions& options);
    virtual TBaseDatabase* OpenDatabase(const char* name, const char* type, Integer openMode, Integer shareMode,
                                        const char* password, const TDatabaseOptions& options);
    virtual TBaseTable* OpenDatabaseList();
    virtual void CloseList(TBaseTable*& cursor);
    void* GetSessionWordAddress() { return &sessionWord_; }
    // With all: the open cursors of the table over every database (each must have one).
    virtual void CountOpenTables(bool all, const std::string& name, Integer& count);
    virtual void NativeToAnsi(char* dest, bool& dataLoss, Word length, const char* source);
    virtual void AnsiToNative(char* dest, bool& dataLoss, Word length, const char* source);
    virtual void RegisterCallBack();
    virtual void GetSysVersion(SYSVersion& version);
    virtual void GetClientInfo(CLIENTInfo& information);
    virtual void GetSysInfo(SYSInfo& information);
    virtual void GetSesInfo(SESInfo& information);
    virtual void GetNetUserName(std::string& dest);

    // Aliases and configuration records.
    virtual void AddAlias(bool persistent, const std::string& name, const std::string& driverType,
                          const std::string& parameters);
    // Removes an alias added to the session (its configuration record); DBIERR_RECNOTFOUND when there is none.
    virtual void DeleteAlias(const std::string& name);
    virtual void WriteParams(TRegistry& registry, const std::string& parameters);
    // Raises DBIERR_WRITEERR with the name when the alias key or one of its values cannot be written.
    virtual void AddRegistryAlias(const std::string& name, const std::string& parameters);
    virtual void DeleteRegistryAlias(const std::string& name);
    // Fills an opened configuration list named by a configuration path.
    virtual void FillConfigList(TBaseTable* list);
    virtual void ConfigPathExists(const std::string& path);
    // Raises the end-of-data error when no record has exactly that path.
    virtual void GetConfigRecord(const std::string& path, Byte* values, FLDDesc* descriptors, Integer& count);
    virtual void AddConfigRecord(const std::string& path, const Byte* values, const FLDDesc* descriptors,
                                 Integer count);
    virtual void ModifyConfigRecord(const std::string& path, const Byte* values, const FLDDesc* descriptors,
                                    Integer count);
    // Destroys every record whose path is exactly path; none raises DBIERR_RECNOTFOUND with the path.
    virtual void DeleteConfigRecords(const std::string& path);

    // The alias key of a name below RegistryPath.
    std::string AliasKey(const std::string& name) const;

protected:
    // Frees the databases, configuration records and list cursors (the destructor does it too).
    void FreeObjects();
    class TBaseCfgrecord* FindConfigRecord(const std::string& path);
    // Appends "\" unless NoTrailingBackslash, the text is empty or it ends in one already.
    std::string WithBackslash(const std::string& directory) const;

private:
    TRegistryLocation registry_;
    Cardinal sessionWord_ = 0;
    TBoreaCollection databases_;
    TBoreaCollection configRecords_;
    SmallInt tag_ = 0;
    std::string name_;
    std::string netDir_;
    std::string privateDir_;
    TBoreaCollection listCursors_;
    Cardinal propertyValue_ = 0;
};

// The key below a session's RegistryPath that holds one subkey per alias.
constexpr const char* AliasesKeyName = "Aliases";
