// TvxStoredProc: the library's stored-procedure dataset (see TvxQueryDataSet).
#pragma once

#include "vxdata/Vxquery.h"

class TvxStoredProc;
using TvxStoredProcFilterEvent = std::function<void(TvxStoredProc* storedProc, bool& accept)>;

class TvxStoredProc : public TvxQueryDataSet {
    DUN_CLASS(TvxStoredProc, TvxQueryDataSet)
public:
    explicit TvxStoredProc(TComponent* owner) : TvxQueryDataSet(owner) {}
    static void Publish(TPublisher<TvxStoredProc>& p);

    std::string StoredProcName;
    TvxStoredProcFilterEvent OnFilter() const { return onFilter_; }
    void SetOnFilter(const TvxStoredProcFilterEvent& value);

private:
    TvxStoredProcFilterEvent onFilter_;
};
