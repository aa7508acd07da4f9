#include "engine/bk/BkSession.h"

#include "engine/bk/BkDatabase.h"
#include "engine/bk/BkRegister.h"
#include "engine/bk/BkTable.h"
#include "engine/sql/BtrSqlSess.h"

namespace {

// The objects of the process (plain pointers: set before any constructor of the program runs).
CRITICAL_SECTION criticalSection;
TVirtEng* engineObject = nullptr;
TbkSessionList* sessionList = nullptr;
TbkSession* defaultSession = nullptr;

// Made at start-up and freed at shut-down: the list frees its sessions, the default session last, whose
// deactivation frees the engine object.
struct TBkStartup {
    TBkStartup()
    {
        RegisterBkClasses();
        sessionList = CreateObject<TbkSessionList>();
        defaultSession = CreateObject<TbkSession>(nullptr);
        defaultSession->SetSessionName("Btrieve");
    }
    ~TBkStartup()
    {
        sessionList->Free();
        sessionList = nullptr;
        defaultSession = nullptr;
    }
};

const TBkStartup startup;

}  // namespace

TbkSessionList* BkSessionList() { return sessionList; }
TbkSession* BkDefaultSession() { return defaultSession; }
TVirtEng* BkEngine() { return engineObject; }
void BkSetEngine(TVirtEng* engine) { engineObject = engine; }
CRITICAL_SECTION& BkCriticalSection() { return criticalSection; }

// ---- TbkSessionList ----

TVirtEng* TbkSessionList::EngineObject() { return BkEngine(); }
TbqSession* TbkSessionList::DefaultSession() { return BkDefaultSession(); }
TClass TbkSessionList::SessionClass() { return TbkSession::StaticClass(); }
void TbkSessionList::CreateListLock() { InitializeCriticalSection(&BkCriticalSection()); }
void TbkSessionList::DeleteListLock() { DeleteCriticalSection(&BkCriticalSection()); }

// ---- TbkSession ----

TVirtEng* TbkSession::Engine() { return BkEngine(); }
void TbkSession::SetEngineObject(TVirtEng* engine) { BkSetEngine(engine); }
void TbkSession::CriticalSectionStart() { EnterCriticalSection(&BkCriticalSection()); }
void TbkSession::CriticalSectionEnd() { LeaveCriticalSection(&BkCriticalSection()); }

void TbkSession::SetSessionList()
{
    BindSessionList(sessionList);
}

TSessionClass TbkSession::GetEngineClass() { return &MakeSession<TBtrSqlSession>; }
TbqSession* TbkSession::DefaultSession() { return BkDefaultSession(); }
TClass TbkSession::GetDatabaseClass() { return TbkDatabase::StaticClass(); }
TClass TbkSession::GetTableClass() { return TbkTable::StaticClass(); }

void TbkSession::Publish(TPublisher<TbkSession>& p)
{
    p.Method("Engine", &TbkSession::Engine);
    p.Method("SetEngineObject", &TbkSession::SetEngineObject);
    p.Method("CriticalSectionStart", &TbkSession::CriticalSectionStart);
    p.Method("CriticalSectionEnd", &TbkSession::CriticalSectionEnd);
    p.Method("SetSessionList", &TbkSession::SetSessionList);
    p.Method("GetEngineClass", &TbkSession::GetEngineClass);
    p.Method("DefaultSession", &TbkSession::DefaultSession);
    p.Method("GetDatabaseClass", &TbkSession::GetDatabaseClass);
    p.Method("GetTableClass", &TbkSession::GetTableClass);
}
