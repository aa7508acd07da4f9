#include "engine/bk/BkDatabase.h"

#include "engine/bk/BkSession.h"

TVirtEng* TbkDatabase::Engine() { return BkEngine(); }
void TbkDatabase::SetSessionList() { BindSessionList(BkSessionList()); }
TbqSession* TbkDatabase::DefaultSession() { return BkDefaultSession(); }

void TbkDatabase::Publish(TPublisher<TbkDatabase>& p)
{
    p.Method("LoginPromptDefault", &TbkDatabase::LoginPromptDefault);
    p.Method("Engine", &TbkDatabase::Engine);
    p.Method("SetSessionList", &TbkDatabase::SetSessionList);
    p.Method("DefaultSession", &TbkDatabase::DefaultSession);
}
