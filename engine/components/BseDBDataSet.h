// TbqDBDataset: a cursor dataset bound to a database component by DatabaseName and SessionName. While any of its
// database flags is set it holds that database, opened through its session (a temporary one when no database
// component has the name).
#pragma once

#include <bitset>
#include <string>

#include "classes/TypInfo.h"
#include "engine/components/BseBDEDataset.h"

class TBaseDatabase;
class TbqDatabase;
class TbqSession;
class TbqSessionlist;

enum TUpdateMode { upWhereAll, upWhereChanged, upWhereKeyOnly };
DUN_ENUM(TUpdateMode, "upWhereAll", "upWhereChanged", "upWhereKeyOnly");

// Database flags: opened, field list read, index list read.
constexpr Integer dbfOpened = 0;
constexpr Integer dbfFieldList = 4;
constexpr Integer dbfIndexList = 5;

// The update mode of a cursor of an SQL database.
constexpr Cardinal curUPDATEMODE = 0x4050000;
// Answered by an open that needs a password.
constexpr Word DBIERR_NOTSUFFTABLERIGHTS = 0x2902;

class TbqDBDataset : public TbqBDEDataset {
    DUN_CLASS(TbqDBDataset, TbqBDEDataset)
public:
    explicit TbqDBDataset(TComponent* owner);
    ~TbqDBDataset() override;
    static void Publish(TPublisher<TbqDBDataset>& p);

    // Driver hooks: the session list to bind (BindSessionList) and the default session.
    virtual void SetSessionList() = 0;
    virtual TbqSession* DefaultSession() = 0;

    // Closes the dataset.
    virtual void Disconnect();
    // Sets or clears a flag; the previous state. Flags above 15 are never set.
    virtual bool SetDBFlag(Integer flag, bool value);

    TbqDatabase* Database() const { return database_; }
    TBaseDatabase* DBHandle() const;
    TbqSession* DBSession();
    // 0: true; a table that needs a password: false when the session granted one (retry); else raised.
    bool CheckOpen(Word result);

    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const std::string& value);
    const std::string& SessionName() const { return sessionName_; }
    void SetSessionName(const std::string& value);
    TUpdateMode UpdateMode() const { return updateMode_; }
    void SetUpdateMode(TUpdateMode value);

protected:
    void BindSessionList(TbqSessionlist* list) { sessionList_ = list; }
    TbqSessionlist* SessionList() const { return sessionList_; }
    void OpenCursor(bool infoQuery) override;
    void CloseCursor() override;
    // Moves a database of the default session into the named session when that session has none of the name.
    void CheckDBSessionName();

private:
    void AcquireDatabase();
    void ReleaseDatabase();

    std::bitset<16> dbFlags_;
    TUpdateMode updateMode_ = upWhereAll;
    TbqDatabase* database_ = nullptr;
    std::string databaseName_;
    std::string sessionName_;
    TbqSessionlist* sessionList_ = nullptr;
};
