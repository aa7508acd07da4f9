#include "engine/components/BseDBDataSet.h"

#include "db/DBConsts.h"
#include "db/DBTypInfo.h"
#include "engine/components/BseDatabase.h"
#include "engine/components/BseSession.h"

namespace {
constexpr const char* SDatabaseOpen = "Cannot perform this operation on an open database";
}

TbqDBDataset::TbqDBDataset(TComponent* owner) : TbqBDEDataset(owner) {}

TbqDBDataset::~TbqDBDataset() = default;

void TbqDBDataset::Publish(TPublisher<TbqDBDataset>& p)
{
    p.Property("DatabaseName", &TbqDBDataset::DatabaseName, &TbqDBDataset::SetDatabaseName);
    p.Property("Filter", &TbqDBDataset::Filter, &TbqDBDataset::SetFilter);
    p.Property("Filtered", &TbqDBDataset::Filtered, &TbqDBDataset::SetFiltered).Default(false);
    p.Property("FilterOptions", &TbqDBDataset::FilterOptions, &TbqDBDataset::SetFilterOptions).Default(TFilterOptions());
    p.Property("SessionName", &TbqDBDataset::SessionName, &TbqDBDataset::SetSessionName);
    p.Property("OnFilterRecord", &TbqDBDataset::OnFilterRecord, &TbqDBDataset::SetOnFilterRecord);
}

void TbqDBDataset::Disconnect() { Close(); }

bool TbqDBDataset::SetDBFlag(Integer flag, bool value)
{
    if (flag < 0 || flag > 15) return false;
    const bool previous = dbFlags_.test(flag);
    if (value && !previous) {
        if (dbFlags_.none()) AcquireDatabase();
        dbFlags_.set(flag);
    } else if (!value && previous) {
        dbFlags_.reset(flag);
        if (dbFlags_.none()) ReleaseDatabase();
    }
    return previous;
}

void TbqDBDataset::AcquireDatabase()
{
    CheckDBSessionName();
    TbqSession* session = sessionList_->GetSession(sessionName_);
    database_ = session->OpenDatabase(databaseName_, Owner());
    database_->AddDataSet(this);
}

void TbqDBDataset::ReleaseDatabase()
{
    TbqDatabase* database = database_;
    database_ = nullptr;
    database->RemoveDataSet(this);
    database->Session()->CloseDatabase(database);
}

void TbqDBDataset::CheckDBSessionName()
{
    if (sessionName_.empty() || databaseName_.empty()) return;
    TbqSession* session = sessionList_->FindSession(sessionName_);
    if (!session || session->DoFindDatabase(databaseName_, this)) return;
    TbqDatabase* database = DefaultSession()->DoFindDatabase(databaseName_, this);
    if (database) database->CheckSessionName(true);
}

TBaseDatabase* TbqDBDataset::DBHandle() const { return database_ ? database_->Handle() : nullptr; }

TbqSession* TbqDBDataset::DBSession()
{
    if (database_) return database_->Session();
    TbqSession* session = sessionList_ ? sessionList_->FindSession(sessionName_) : nullptr;
    return session ? session : DefaultSession();
}

bool TbqDBDataset::CheckOpen(Word result)
{
    if (result == 0) return true;
    if (result == DBIERR_NOTSUFFTABLERIGHTS && DBSession()->GetPassword()) return false;
    RaiseEngineError(Engine(), result);
}

void TbqDBDataset::OpenCursor(bool infoQuery)
{
    SetDBFlag(dbfOpened, true);
    TbqBDEDataset::OpenCursor(infoQuery);
    SetUpdateMode(updateMode_);
}

void TbqDBDataset::CloseCursor()
{
    TbqBDEDataset::CloseCursor();
    SetDBFlag(dbfOpened, false);
}

void TbqDBDataset::SetDatabaseName(const std::string& value)
{
    if (ComponentState().Contains(csReading)) {
        databaseName_ = value;
        return;
    }
    if (value == databaseName_) return;
    CheckInactive();
    if (database_) DatabaseError(SDatabaseOpen, this);
    databaseName_ = value;
    DataEvent(dePropertyChange, 0);
}

void TbqDBDataset::SetSessionName(const std::string& value)
{
    CheckInactive();
    sessionName_ = value;
    DataEvent(dePropertyChange, 0);
}

void TbqDBDataset::SetUpdateMode(TUpdateMode value)
{
    if (Handle() && database_ && database_->IsSQLBased() && GetCanModify())
        Check(Engine()->SetProp(Handle(), curUPDATEMODE, Cardinal(value)));
    updateMode_ = value;
}
