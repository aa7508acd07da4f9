#include "engine/bk/BtrInfoU.h"

TvxBkTable::TvxBkTable(TComponent* owner)
    : TbkTable(owner), controlType_(std::make_unique<TStringList>()), pictureMasks_(std::make_unique<TStringList>())
{
}

TvxBkTable::~TvxBkTable() = default;

void TvxBkTable::Publish(TPublisher<TvxBkTable>& p)
{
    p.Property("ControlType", &TvxBkTable::ControlType, &TvxBkTable::SetControlType);
    p.Property("PictureMasks", &TvxBkTable::PictureMasks, &TvxBkTable::SetPictureMasks);
    // Always written to form files.
    p.Property("ValidateWithMask", &TvxBkTable::ValidateWithMask, &TvxBkTable::SetValidateWithMask);
    p.Property("OnInvalidValue", &TvxBkTable::OnInvalidValue);
}

void TvxBkTable::DoBeforePost()
{
    TbkTable::DoBeforePost();
    if (validateWithMask_) vxValidateRecordMasks(this, OnInvalidValue);
}
