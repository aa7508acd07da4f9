#include "vxdata/Vxquery.h"

#include "engine/bk/BkSession.h"
#include "engine/bk/BkTable.h"
#include "engine/core/BseError.h"
#include "vcl/Dialogs.h"
#include "vxdata/vxfilter.h"

TvxQueryDataSet::TvxQueryDataSet(TComponent* owner)
    : TbqDBDataset(owner),
      controlType_(std::make_unique<TStringList>()),
      lookupFields_(std::make_unique<TStringList>()),
      lookupLinks_(std::make_unique<TStringList>()),
      pictureMasks_(std::make_unique<TStringList>()),
      recordFilter_(this)
{
    SetSessionList();
}

TvxQueryDataSet::~TvxQueryDataSet() { recordFilter_.SetDestroying(); }

TVirtEng* TvxQueryDataSet::Engine() const { return BkEngine(); }
void TvxQueryDataSet::SetSessionList() { BindSessionList(BkSessionList()); }
TbqSession* TvxQueryDataSet::DefaultSession() { return BkDefaultSession(); }

TStream* TvxQueryDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode)
{
    auto* blobField = dynamic_cast<TBlobField*>(field);
    if (!blobField) throw EInvalidCast("Invalid class typecast");
    return new TbkBlobStream(blobField, mode);
}

TBaseTable* TvxQueryDataSet::CreateHandle() { RaiseEngineError(Engine(), DBIERR_NOTSUPPORTED); }

std::string TvxQueryDataSet::FilterRefusedWarning() const
{
    return "Local filtering is not supported on a Live-Query which contains a Where clause in the SQL string. To "
           "perform a local filter on this query, you will need to set its RequestLive property to False.";
}

void TvxQueryDataSet::SetFilterEvent(std::function<void(bool& accept)> event)
{
    recordFilter_.SetEvent(std::move(event));
    if (!recordFilter_.Assigned()) {
        recordFilter_.Remove();
        return;
    }
    if (Active() && (!recordFilter_.Install() || !recordFilter_.Handle()))
        MessageDlg(FilterRefusedWarning(), mtWarning, {mbOK}, 0);
}

void TvxQueryDataSet::DoAfterOpen()
{
    TbqDBDataset::DoAfterOpen();
    if (recordFilter_.Assigned()) recordFilter_.Install();
}

void TvxQueryDataSet::CloseCursor()
{
    TbqDBDataset::CloseCursor();
    recordFilter_.CursorClosed();
}

void TvxQueryDataSet::DoBeforePost()
{
    TbqDBDataset::DoBeforePost();
    if (checksMasks_ && ValidateWithMask) vxValidateRecordMasks(this, OnInvalidValue);
}

Integer TvxQueryDataSet::GetNextRecords()
{
    const Integer count = TbqDBDataset::GetNextRecords();
    recordFilter_.AfterGetNextRecords();
    return count;
}

void TvxQueryDataSet::DataEvent(TDataEvent event, intptr_t info)
{
    TbqDBDataset::DataEvent(event, info);
    recordFilter_.AfterDataEvent(event);
}

bool TvxQueryDataSet::IsSequenced() { return TbqDBDataset::IsSequenced() && !recordFilter_.Assigned(); }

// ---- TvxQuery ----

TvxQuery::TvxQuery(TComponent* owner) : TvxQueryDataSet(owner), sql_(std::make_unique<TStringList>()) {}

void TvxQuery::Publish(TPublisher<TvxQuery>& p)
{
    p.Property("SQL", &TvxQuery::SQL, &TvxQuery::SetSQL);
    vxPublishQuerySettings(p);
    p.Property("ValidateWithMask", &TvxQuery::ValidateWithMask);
    vxPublishFilterEvents(p);
}

void TvxQuery::SetOnFilter(const TvxQueryFilterEvent& value)
{
    onFilter_ = value;
    SetFilterEvent(value ? std::function<void(bool&)>([this](bool& accept) { onFilter_(this, accept); }) : nullptr);
}
