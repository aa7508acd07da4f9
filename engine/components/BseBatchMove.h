// The batch-move component of the dataset layer: it carries the batch-move properties for form files; it moves no
// records.
#pragma once

#include <memory>
#include <string>

#include "classes/Component.h"
#include "classes/TypInfo.h"
#include "rtl/Strings.h"

class TbqBDEDataset;
class TbqTable;
class TVirtEng;

enum TBatchMode { batAppend, batUpdate, batAppendUpdate, batDelete, batCopy };
DUN_ENUM(TBatchMode, "batAppend", "batUpdate", "batAppendUpdate", "batDelete", "batCopy");

class TbqBatchMove : public TComponent {
    DUN_CLASS(TbqBatchMove, TComponent)
public:
    explicit TbqBatchMove(TComponent* owner);
    ~TbqBatchMove() override;
    static void Publish(TPublisher<TbqBatchMove>& p);

    virtual TVirtEng* Engine() = 0;

    bool AbortOnKeyViol = true;
    bool AbortOnProblem = true;
    Integer CommitCount = 0;
    std::string ChangedTableName;
    std::string KeyViolTableName;
    TBatchMode Mode = batAppend;
    std::string ProblemTableName;
    Integer RecordCount = 0;
    bool Transliterate = true;

    TbqTable* Destination() const { return destination_; }
    void SetDestination(TbqTable* value);
    TStrings* Mappings() const { return mappings_.get(); }
    void SetMappings(TStrings* value) { mappings_->Assign(value); }
    TbqBDEDataset* Source() const { return source_; }
    void SetSource(TbqBDEDataset* value);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TbqTable* destination_ = nullptr;
    std::unique_ptr<TStringList> mappings_;
    TbqBDEDataset* source_ = nullptr;
};
