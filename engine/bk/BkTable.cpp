#include "engine/bk/BkTable.h"

#include "engine/bk/BkSession.h"

TbkTable::TbkTable(TComponent* owner) : TbqTable(owner) { SetSessionList(); }

TVirtEng* TbkTable::Engine() const { return BkEngine(); }
void TbkTable::SetSessionList() { BindSessionList(BkSessionList()); }
TbqSession* TbkTable::DefaultSession() { return BkDefaultSession(); }
TClass TbkTable::GetBatchMoveClass() { return TbkBatchMove::StaticClass(); }

TStream* TbkTable::CreateBlobStream(TField* field, TBlobStreamMode mode)
{
    auto* blobField = dynamic_cast<TBlobField*>(field);
    if (!blobField) throw EInvalidCast("Invalid class typecast");
    return new TbkBlobStream(blobField, mode);
}

void TbkTable::Publish(TPublisher<TbkTable>& p)
{
    p.Method("Engine", &TbkTable::Engine);
    p.Method("SetSessionList", &TbkTable::SetSessionList);
    p.Method("DefaultSession", &TbkTable::DefaultSession);
    p.Method("GetBatchMoveClass", &TbkTable::GetBatchMoveClass);
    p.Method("CreateBlobStream", &TbkTable::CreateBlobStream);
}

TVirtEng* TbkBatchMove::Engine() { return BkEngine(); }

void TbkBatchMove::Publish(TPublisher<TbkBatchMove>& p) { p.Method("Engine", &TbkBatchMove::Engine); }

TVirtEng* TbkBlobStream::Engine() { return BkEngine(); }
