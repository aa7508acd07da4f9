// TBtrSession: the Btrieve driver's session. On the main thread it reads the engine configuration from the
// registry, starts the requester and sets the field-conversion settings; it makes the session's Btrieve client
// identifier, creates Btrieve databases and opens a directory as a database without an alias.
#pragma once

#include <memory>
#include <string>

#include "engine/core/BseSess.h"

constexpr const char* BtrieveRegistryPath = "\\Software\\Borea\\Btrieve";
// Name and type of a database opened by directory.
constexpr const char* DirectoryDatabaseName = "Btrieve (FILE.DDF)";
constexpr const char* BtrieveDbType = "BTRIEVE";

// The engine configuration below BtrieveRegistryPath\Configuration\<section>: missing values read as missing.
class TBtrConfiguration {
public:
    explicit TBtrConfiguration(const std::string& section);
    ~TBtrConfiguration();

    std::string ReadText(const std::string& value, const std::string& fallback) const;
    // A number (non-zero is true) or a text "1", "TRUE", "YES" or "ON" (case ignored).
    bool ReadFlag(const std::string& value, bool fallback) const;

private:
    std::unique_ptr<class TRightsRegistry> registry_;
    bool open_;
};

class TBtrSession : public TBaseSession {
    DUN_CLASS(TBtrSession, TBaseSession)
public:
    static constexpr size_t ClientIdSize = 16;

    // On the main thread a requester that cannot start raises EBtrieveEngineError with its status and the options.
    TBtrSession(TBapiListItem* owner, const std::string& netDir, const std::string& name,
                TBoreaCollection* collection);
    ~TBtrSession() override;

    const Byte* ClientId() const { return clientId_; }
    bool DatabasesCreated() const { return databasesCreated_; }

    void AfterCreate() override;
    std::string GetDriverName() override { return "BTRIEVE"; }
    TBaseDatabase* CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                  Integer shareMode, const TDatabaseOptions& options) override;
    // A directory (or an empty name: the current directory) opens without an alias.
    TBaseDatabase* OpenDatabase(const char* name, const char* type, Integer openMode, Integer shareMode,
                                const char* password, const TDatabaseOptions& options) override;

private:
    void StartRequester();
    void ReadSettings();
    // From the time of day; a session made in the same moment as another live one of the facade takes the next
    // free identifier, so sessions never share locks or transactions.
    void MakeClientId();
    bool SharesClientId() const;
    void NextClientId();

    Byte clientId_[ClientIdSize] = {};
    bool databasesCreated_ = false;
    bool requesterStarted_ = false;
};

// Whether the calling thread is the program's main thread (the one that started the program).
bool IsMainThread();
