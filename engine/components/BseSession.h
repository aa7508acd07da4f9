// The session component of the dataset layer and the list of all sessions of the process. Both are abstract:
// the driver's component classes say which engine object, session list, default session and classes to use.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "classes/Component.h"
#include "engine/core/BseEng.h"
#include "rtl/Strings.h"

class TbqBDECallback;
class TbqDatabase;
class TbqSession;

using TPasswordEvent = std::function<void(TObject* sender, bool& continueFlag)>;

// Engine session properties the session sends.
constexpr Cardinal sesNETFILEDIR = 0x20002;
constexpr Cardinal sesCONFIGMODE = 0x2000C;
// Configuration mode a session starts in, and the value SetConfigMode sends for it.
constexpr Integer cfgModeSession = 7;
constexpr Integer cfgModeSessionSent = 2;

class TbqSessionlist : public TObject {
    DUN_CLASS(TbqSessionlist, TObject)
public:
    TbqSessionlist() = default;
    // Creates the list's lock (a virtual call, so after construction).
    void AfterConstruction() override;
    // Frees every session, then the lock.
    void BeforeDestruction() override;

    virtual TVirtEng* EngineObject() = 0;
    virtual TbqSession* DefaultSession() = 0;
    virtual TClass SessionClass() = 0;
    virtual void CreateListLock() = 0;
    virtual void DeleteListLock() = 0;

    void AddSession(TbqSession* session);
    void RemoveSession(TbqSession* session);
    // Frees every session, last to first.
    void CloseAll();
    // Empty name: the default session; else by name ignoring case, or nil.
    TbqSession* FindSession(const std::string& name);
    // As FindSession, raising for an unknown name.
    TbqSession* GetSession(const std::string& name);
    Integer Count();
    TbqSession* Sessions(Integer index);

    // The automatic session numbers: the lowest free one is taken, and released again.
    Integer TakeAutoNumber();
    void ReleaseAutoNumber(Integer number);

private:
    std::vector<TbqSession*> Snapshot();

    std::recursive_mutex lock_;
    std::vector<TbqSession*> sessions_;
    std::vector<bool> autoNumbers_;
};

class TbqSession : public TComponent {
    DUN_CLASS(TbqSession, TComponent)
public:
    explicit TbqSession(TComponent* owner);
    ~TbqSession() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // Driver hooks.
    virtual TVirtEng* Engine() = 0;
    virtual void SetEngineObject(TVirtEng* engine) = 0;
    virtual void CriticalSectionStart() = 0;
    virtual void CriticalSectionEnd() = 0;
    virtual void SetSessionList() = 0;
    virtual TSessionClass GetEngineClass() = 0;
    virtual TbqSession* DefaultSession() = 0;
    virtual TClass GetDatabaseClass() = 0;
    virtual TClass GetTableClass() = 0;
    virtual void SetSessionActive(bool value);

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void SetName(const std::string& newName) override;
    // With AutoSessionName, a dataset or database of the owner takes this session. Notification does it for an
    // inserted component; components whose class is not yet theirs at insertion call it after construction.
    void ApplyAutoSession(TComponent* component);

    bool Active() const { return handle_ != nullptr; }
    void SetActive(bool value);
    bool AutoSessionName() const { return autoSessionName_; }
    void SetAutoSessionName(bool value);
    bool KeepConnections() const { return keepConnections_; }
    void SetKeepConnections(bool value) { keepConnections_ = value; }
    std::string NetFileDir();
    void SetNetFileDir(const std::string& value);
    std::string PrivateDir();
    void SetPrivateDir(const std::string& value);
    const std::string& SessionName() const { return sessionName_; }
    void SetSessionName(const std::string& value);
    bool SessionNameStored() const { return !autoSessionName_; }
    bool SQLHourGlass() const { return sqlHourGlass_; }
    void SetSQLHourGlass(bool value) { sqlHourGlass_ = value; }
    bool IsDefault() const { return isDefault_; }
    void MarkDefault() { isDefault_ = true; }
    void MarkDetached() { detached_ = true; }
    TbqSessionlist* SessionList() const { return sessionList_; }

    TPasswordEvent OnPassword;
    TNotifyEvent OnStartup;

    void LockSession();
    void UnlockSession();
    void MakeCurrent();
    TBaseSession* GetHandle();
    TBaseSession* Handle() const { return handle_; }

    TbqDatabase* OpenDatabase(const std::string& name, TComponent* owner);
    void CloseDatabase(TbqDatabase* database);
    TbqDatabase* FindDatabase(const std::string& name);
    TbqDatabase* DoFindDatabase(const std::string& name, TComponent* owner);
    TBaseDatabase* FindDatabaseHandle(const std::string& name);
    void CloseDatabaseHandle(TbqDatabase* database);
    void AddDatabase(TbqDatabase* database);
    void RemoveDatabase(TbqDatabase* database);
    Integer DatabaseCount() const { return Integer(databases_.size()); }
    TbqDatabase* Databases(Integer index) const { return databases_[index]; }

    void GetAliasParams(const std::string& alias, TStrings* list);
    void GetDriverParams(const std::string& driver, TStrings* list);
    void GetConfigParams(const std::string& pathFormat, const std::string& name, TStrings* list);
    void InternalAddAlias(const std::string& name, const std::string& driver, TStrings* list, Integer configMode,
                          bool restoreMode);
    void DeleteAlias(const std::string& name);
    Integer GetConfigMode();
    void SetConfigMode(Integer mode);
    void SetConfigModeRaw(Integer mode);

    // OnPassword decides, or without a handler the password dialog: whether to try again.
    bool GetPassword();

    static void Publish(TPublisher<TbqSession>& p);

protected:
    void BindSessionList(TbqSessionlist* list) { sessionList_ = list; }
    // Binds the session list and joins it, once: from AfterConstruction, and from the constructor of a driver's
    // class so that a session made with plain new is in the list too.
    void JoinSessionList();

private:
    class TLock;

    void ValidateAutoSession(TComponent* owner, bool enabling);
    void UpdateAutoSessionName();
    void SetComponentSessions();
    void ApplyDirectories();
    void StartActive();
    void StartEngine();
    void StopActive();
    void StopOtherSessions();
    void FreeCallbacks();
    void CheckNoDuplicateName(const std::string& value);

    TBaseSession* handle_ = nullptr;
    bool joinedList_ = false;
    std::vector<TbqDatabase*> databases_;
    std::vector<std::unique_ptr<TbqBDECallback>> callbacks_;
    Cardinal serverCallBuffer_ = 0;
    bool keepConnections_ = true;
    bool isDefault_ = false;
    bool sqlHourGlass_ = true;
    bool autoSessionName_ = false;
    bool updatingAutoName_ = false;
    bool streamedActive_ = false;
    bool detached_ = false;
    std::string sessionName_;
    Integer autoNumber_ = -1;
    std::string netFileDir_;
    std::string privateDir_;
    Integer lockCount_ = 0;
    TbqSessionlist* sessionList_ = nullptr;
};
