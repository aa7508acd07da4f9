// The Btrieve component classes' session side: one engine object, one session list, one default session named
// "Btrieve" and one critical section for the whole process. The list and the default session exist from start-up
// to shut-down; the engine object from the default session's first activation until its deactivation.
#pragma once

#include "engine/components/BseSession.h"
#include "rtl/WinApi.h"

class TbkSessionList : public TbqSessionlist {
    DUN_CLASS(TbkSessionList, TbqSessionlist)
public:
    TVirtEng* EngineObject() override;
    TbqSession* DefaultSession() override;
    TClass SessionClass() override;
    void CreateListLock() override;
    void DeleteListLock() override;
};

class TbkSession : public TbqSession {
    DUN_CLASS(TbkSession, TbqSession)
public:
    explicit TbkSession(TComponent* owner) : TbqSession(owner) { JoinSessionList(); }

    TVirtEng* Engine() override;
    void SetEngineObject(TVirtEng* engine) override;
    void CriticalSectionStart() override;
    void CriticalSectionEnd() override;
    void SetSessionList() override;
    TSessionClass GetEngineClass() override;
    TbqSession* DefaultSession() override;
    TClass GetDatabaseClass() override;
    TClass GetTableClass() override;

    static void Publish(TPublisher<TbkSession>& p);
};

// The process-wide objects of the Btrieve components.
TbkSessionList* BkSessionList();
TbkSession* BkDefaultSession();
// Nil until the default session first becomes active.
TVirtEng* BkEngine();
void BkSetEngine(TVirtEng* engine);
CRITICAL_SECTION& BkCriticalSection();
