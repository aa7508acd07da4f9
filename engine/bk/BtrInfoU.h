// TvxBkTable: the programs' table. A Btrieve table that carries the control library's per-field ControlType and
// PictureMasks lines and, with ValidateWithMask, checks every field against its picture mask before a post.
#pragma once

#include <memory>

#include "engine/bk/BkTable.h"
#include "rtl/Strings.h"
#include "vxdata/Vxcommon.h"

class TvxBkTable : public TbkTable {
    DUN_CLASS(TvxBkTable, TbkTable)
public:
    explicit TvxBkTable(TComponent* owner);
    ~TvxBkTable() override;
    static void Publish(TPublisher<TvxBkTable>& p);

    TStrings* ControlType() const { return controlType_.get(); }
    void SetControlType(TStrings* value) { controlType_->Assign(value); }
    TStrings* PictureMasks() const { return pictureMasks_.get(); }
    void SetPictureMasks(TStrings* value) { pictureMasks_->Assign(value); }
    bool ValidateWithMask() const { return validateWithMask_; }
    void SetValidateWithMask(bool value) { validateWithMask_ = value; }

    TvxInvalidValueEvent OnInvalidValue;

protected:
    void DoBeforePost() override;

private:
    std::unique_ptr<TStringList> controlType_;
    std::unique_ptr<TStringList> pictureMasks_;
    bool validateWithMask_ = true;
};
