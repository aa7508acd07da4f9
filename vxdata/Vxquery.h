// The library's query-family datasets (query, stored procedure, query by example): the per-field setting lists,
// picture-mask checks before posting and the record-filter event of the library's table, on the record-manager
// engine's default session. There is no query backend here: opening one fails with the engine's "not supported".
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/components/BseDBDataSet.h"
#include "rtl/Strings.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxtable.h"

class TvxQueryDataSet : public TbqDBDataset, public IvxRecordFiltered {
    DUN_CLASS(TvxQueryDataSet, TbqDBDataset)
public:
    explicit TvxQueryDataSet(TComponent* owner);
    ~TvxQueryDataSet() override;

    TVirtEng* Engine() const override;
    void SetSessionList() override;
    TbqSession* DefaultSession() override;
    TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) override;

    TStrings* ControlType() const { return controlType_.get(); }
    void SetControlType(TStrings* value) { controlType_->Assign(value); }
    TStrings* LookupFields() const { return lookupFields_.get(); }
    void SetLookupFields(TStrings* value) { lookupFields_->Assign(value); }
    TStrings* LookupLinks() const { return lookupLinks_.get(); }
    void SetLookupLinks(TStrings* value) { lookupLinks_->Assign(value); }
    TStrings* PictureMasks() const { return pictureMasks_.get(); }
    void SetPictureMasks(TStrings* value) { pictureMasks_->Assign(value); }
    bool ValidateWithMask = true;
    TvxInvalidValueEvent OnInvalidValue;
    TNotifyEvent OnFilterEscape() const { return recordFilter_.OnFilterEscape; }
    void SetOnFilterEscape(const TNotifyEvent& value) { recordFilter_.OnFilterEscape = value; }
    TvxFilterOptions OnFilterOptions() const { return recordFilter_.Options(); }
    void SetOnFilterOptions(TvxFilterOptions value) { recordFilter_.SetOptions(value); }
    TParam* FilterField(const std::string& fieldName) { return recordFilter_.FilterField(fieldName); }

    TvxRecordFilter& RecordFilter() override { return recordFilter_; }
    void DataEvent(TDataEvent event, intptr_t info) override;
    bool IsSequenced() override;

protected:
    // Stores the bound event; on an open dataset installs it, with the warning when the engine refuses it.
    void SetFilterEvent(std::function<void(bool& accept)> event);
    virtual std::string FilterRefusedWarning() const;
    // The query backend's cursor: none here.
    TBaseTable* CreateHandle() override;
    void CloseCursor() override;
    void DoAfterOpen() override;
    void DoBeforePost() override;
    Integer GetNextRecords() override;
    // Whether posts are checked against the picture masks (with ValidateWithMask).
    bool checksMasks_ = true;

private:
    std::unique_ptr<TStringList> controlType_;
    std::unique_ptr<TStringList> lookupFields_;
    std::unique_ptr<TStringList> lookupLinks_;
    std::unique_ptr<TStringList> pictureMasks_;
    TvxRecordFilter recordFilter_;
};

// Publishes the members the family shares, in their order before OnFilter.
template <class T>
void vxPublishQuerySettings(TPublisher<T>& p)
{
    p.Property("ControlType", &T::ControlType, &T::SetControlType);
    p.Property("LookupFields", &T::LookupFields, &T::SetLookupFields);
    p.Property("LookupLinks", &T::LookupLinks, &T::SetLookupLinks);
    p.Property("PictureMasks", &T::PictureMasks, &T::SetPictureMasks);
}

template <class T>
void vxPublishFilterEvents(TPublisher<T>& p)
{
    p.Property("OnFilter", &T::OnFilter, &T::SetOnFilter);
    p.Property("OnFilterEscape", &T::OnFilterEscape, &T::SetOnFilterEscape);
    p.Property("OnFilterOptions", &T::OnFilterOptions, &T::SetOnFilterOptions)
        .Default(TvxFilterOptions{ofoEnabled, ofoShowHourGlass});
    p.Property("OnInvalidValue", &T::OnInvalidValue);
}

class TvxQuery;
using TvxQueryFilterEvent = std::function<void(TvxQuery* query, bool& accept)>;

class TvxQuery : public TvxQueryDataSet {
    DUN_CLASS(TvxQuery, TvxQueryDataSet)
public:
    explicit TvxQuery(TComponent* owner);
    static void Publish(TPublisher<TvxQuery>& p);

    TStrings* SQL() const { return sql_.get(); }
    void SetSQL(TStrings* value) { sql_->Assign(value); }
    TvxQueryFilterEvent OnFilter() const { return onFilter_; }
    void SetOnFilter(const TvxQueryFilterEvent& value);

private:
    std::unique_ptr<TStringList> sql_;
    TvxQueryFilterEvent onFilter_;
};
