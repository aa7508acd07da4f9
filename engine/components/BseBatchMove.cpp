#include "engine/components/BseBatchMove.h"

#include "engine/components/BseBqTable.h"

TbqBatchMove::TbqBatchMove(TComponent* owner) : TComponent(owner), mappings_(std::make_unique<TStringList>()) {}

TbqBatchMove::~TbqBatchMove() = default;

void TbqBatchMove::Publish(TPublisher<TbqBatchMove>& p)
{
    p.Property("AbortOnKeyViol", &TbqBatchMove::AbortOnKeyViol).Default(true);
    p.Property("AbortOnProblem", &TbqBatchMove::AbortOnProblem).Default(true);
    p.Property("CommitCount", &TbqBatchMove::CommitCount).Default(0);
    p.Property("ChangedTableName", &TbqBatchMove::ChangedTableName);
    p.Property("Destination", &TbqBatchMove::Destination, &TbqBatchMove::SetDestination);
    p.Property("KeyViolTableName", &TbqBatchMove::KeyViolTableName);
    p.Property("Mappings", &TbqBatchMove::Mappings, &TbqBatchMove::SetMappings);
    p.Property("Mode", &TbqBatchMove::Mode).Default(batAppend);
    p.Property("ProblemTableName", &TbqBatchMove::ProblemTableName);
    p.Property("RecordCount", &TbqBatchMove::RecordCount).Default(0);
    p.Property("Source", &TbqBatchMove::Source, &TbqBatchMove::SetSource);
    p.Property("Transliterate", &TbqBatchMove::Transliterate).Default(true);
}

void TbqBatchMove::SetDestination(TbqTable* value)
{
    destination_ = value;
    if (value) value->FreeNotification(this);
}

void TbqBatchMove::SetSource(TbqBDEDataset* value)
{
    source_ = value;
    if (value) value->FreeNotification(this);
}

void TbqBatchMove::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == destination_) destination_ = nullptr;
    if (component == source_) source_ = nullptr;
}
