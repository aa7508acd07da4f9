// The Btrieve database component: logins are off unless a form turns them on.
#pragma once

#include "engine/components/BseDatabase.h"

class TbkDatabase : public TbqDatabase {
    DUN_CLASS(TbkDatabase, TbqDatabase)
public:
    explicit TbkDatabase(TComponent* owner) : TbqDatabase(owner) { JoinSession(); }

    bool LoginPromptDefault() override { return false; }
    TVirtEng* Engine() override;
    void SetSessionList() override;
    TbqSession* DefaultSession() override;

    static void Publish(TPublisher<TbkDatabase>& p);
};
