#include "vxdata/vxstorep.h"

void TvxStoredProc::Publish(TPublisher<TvxStoredProc>& p)
{
    p.Property("StoredProcName", &TvxStoredProc::StoredProcName);
    vxPublishQuerySettings(p);
    p.Property("ValidateWithMask", &TvxStoredProc::ValidateWithMask);
    vxPublishFilterEvents(p);
}

void TvxStoredProc::SetOnFilter(const TvxStoredProcFilterEvent& value)
{
    onFilter_ = value;
    SetFilterEvent(value ? std::function<void(bool&)>([this](bool& accept) { onFilter_(this, accept); }) : nullptr);
}
