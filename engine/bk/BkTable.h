// The Btrieve table, batch-move and blob-stream components: the dataset layer's classes on the process-wide engine
// object, session list and default session.
#pragma once

#include "engine/components/BseBatchMove.h"
#include "engine/components/BseBlobStream.h"
#include "engine/components/BseBqTable.h"

class TbkTable : public TbqTable {
    DUN_CLASS(TbkTable, TbqTable)
public:
    explicit TbkTable(TComponent* owner);
    static void Publish(TPublisher<TbkTable>& p);

    TVirtEng* Engine() const override;
    void SetSessionList() override;
    TbqSession* DefaultSession() override;
    TClass GetBatchMoveClass() override;
    // A blob stream for a blob field; other fields raise the invalid type-cast error.
    TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) override;
};

class TbkBatchMove : public TbqBatchMove {
    DUN_CLASS(TbkBatchMove, TbqBatchMove)
public:
    explicit TbkBatchMove(TComponent* owner) : TbqBatchMove(owner) {}
    static void Publish(TPublisher<TbkBatchMove>& p);

    TVirtEng* Engine() override;
};

class TbkBlobStream : public TbqBlobStream {
    DUN_CLASS(TbkBlobStream, TbqBlobStream)
public:
    using TbqBlobStream::TbqBlobStream;

    TVirtEng* Engine() override;
};
