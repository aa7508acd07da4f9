// The database component of the dataset layer: one connection to an engine database (an alias or a directory)
// within a session. Datasets find it by DatabaseName; a name that no component has gets a temporary database from
// the session. Abstract in the driver's hooks.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/Component.h"
#include "rtl/Strings.h"

class TBaseDatabase;
class TDataSet;
class TbqSession;
class TbqSessionlist;
class TVirtEng;
class TbqDatabase;

using TTLoginEvent = std::function<void(TbqDatabase* database, TStrings* loginParams)>;

// Engine database properties the database reads and sends.
constexpr Cardinal dbDATABASETYPE = 0x40002;
constexpr Cardinal dbPROP40004 = 0x40004;
constexpr Cardinal dbPROP40005 = 0x40005;
constexpr Cardinal dbPROP4040007 = 0x4040007;
constexpr Cardinal dbPROP4040011 = 0x4040011;

class TbqDatabase : public TComponent {
    DUN_CLASS(TbqDatabase, TComponent)
public:
    explicit TbqDatabase(TComponent* owner);
    ~TbqDatabase() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // Driver hooks.
    virtual bool LoginPromptDefault() { return true; }
    virtual TVirtEng* Engine() = 0;
    virtual void SetSessionList() = 0;
    virtual TbqSession* DefaultSession() = 0;

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

    void Open();
    void Close();
    void CloseDataSets();
    void CheckInactive();
    void CheckDatabaseName();
    void CheckSessionName(bool required);
    void ValidateName(const std::string& name);
    // OnLogin fills loginParams, or without a handler the login dialog; cancelling it raises.
    void Login(TStrings* loginParams);
    void SetHandle(TBaseDatabase* handle);
    bool OpenFromExistingDB();

    // Published properties.
    std::string AliasName() const { return aliasNameSet_ ? aliasName_ : std::string(); }
    void SetAliasName(const std::string& value);
    bool Connected() const { return handle_ != nullptr; }
    void SetConnected(bool value);
    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const std::string& value);
    bool Exclusive() const { return exclusive_; }
    void SetExclusive(bool value);
    bool HandleShared() const { return handleShared_; }
    void SetHandleShared(bool value) { handleShared_ = value; }
    bool KeepConnection() const { return keepConnection_; }
    void SetKeepConnection(bool value);
    bool LoginPrompt() const { return loginPrompt_; }
    void SetLoginPrompt(bool value) { loginPrompt_ = value; }
    TStrings* Params() const { return params_.get(); }
    void SetParams(TStrings* value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    const std::string& SessionName() const { return sessionName_; }
    void SetSessionName(const std::string& value);

    TTLoginEvent OnLogin;

    // Run-time state.
    TBaseDatabase* Handle() const { return handle_; }
    TbqSession* Session() const { return session_; }
    bool IsSQLBased() const { return sqlBased_; }
    bool Temporary() const { return temporary_; }
    bool Closing() const { return closing_; }
    void MarkTemporary() { temporary_ = true; }
    Integer RefCount() const { return refCount_; }
    void AddReference() { ++refCount_; }
    void ReleaseReference() { if (refCount_ > 0) --refCount_; }
    // The datasets using the database (they add and remove themselves).
    void AddDataSet(TDataSet* dataset);
    void RemoveDataSet(TDataSet* dataset);
    Integer DataSetCount() const { return Integer(datasets_.size()); }
    TDataSet* DataSets(Integer index) const { return datasets_[index]; }

    static void Publish(TPublisher<TbqDatabase>& p);

protected:
    void BindSessionList(TbqSessionlist* list) { sessionList_ = list; }
    // Binds the session list and joins the session, once: from AfterConstruction, and from the constructor of a
    // driver's class so that a database made with plain new has its session too.
    void JoinSession();

private:
    void OpenEngineDatabase(const std::string& password);
    void ReadDatabaseType();
    void CheckDatabaseAlias(std::string& password);
    std::string LoginPassword(TStrings* aliasParams);
    bool MergeParams(TStrings* aliasParams);
    void MoveToSession(TbqSession* session);
    void ParamsChanging(TObject* sender);

    bool joined_ = false;
    void ForgetConnection();

    std::vector<TDataSet*> datasets_;
    bool loginPrompt_ = true;
    bool keepConnection_ = true;
    bool aliasAdded_ = false;
    bool streamedConnected_ = false;
    bool aliasNameSet_ = false;
    bool sqlBased_ = false;
    bool acquiredHandle_ = false;
    bool handleShared_ = false;
    bool exclusive_ = false;
    bool readOnly_ = false;
    std::unique_ptr<TStringList> params_;
    std::string sessionName_;
    std::string databaseName_;
    std::string aliasName_;
    Integer refCount_ = 0;
    TBaseDatabase* handle_ = nullptr;
    TbqSession* session_ = nullptr;
    bool temporary_ = false;
    bool closing_ = false;
    TbqSessionlist* sessionList_ = nullptr;
};
