// The cached-updates cursor over an in-memory table, begun and ended through the facade: cached images and statuses
// over what it reads, display options, the commands of ApplyDelayedUpdates and giving the wrapped cursor back.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/BseCache.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"
#include "engine/tests/support/CursorTestSupport.h"
#include "engine/tests/support/SessTestSupport.h"

namespace {

constexpr Cardinal curDISPLAYOPTIONS = 0x5050003;
constexpr Cardinal curOLDRECORD = 0x5050004;
constexpr Cardinal curCACHEDRECORDS = 0x5050005;
constexpr Byte ShowEverything = 15;

FLDDesc Field(const char* name, Word type, SmallInt units1 = 0)
{
    FLDDesc descriptor{};
    std::strncpy(descriptor.szName, name, DBIMAXNAMELEN);
    descriptor.iFldType = type;
    descriptor.iUnits1 = units1;
    return descriptor;
}

class CacheCursorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.reset(CreateObject<TVirtEng>(&MakeSession<TTestSession>, nullptr, nullptr));
        ASSERT_EQ(engine->OpenDatabase("c:\\data", nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database), 0);
        const FLDDesc fields[] = {Field("NAME", fldZSTRING, 7), Field("CODE", fldINT32)};
        wrapped = database->CreateInMemTable("people", 2, fields);
        for (const char* name : {"ann", "bob", "cy"}) {
            std::vector<Byte> row = Row(name);
            wrapped->AppendRecord(row.data());
        }
        cursor = wrapped;
        ASSERT_EQ(engine->BeginDelayedUpdates(cursor), 0);
    }

    std::vector<Byte> Row(const std::string& name, Integer code = 1) const
    {
        std::vector<Byte> record(wrapped->GetRecordBufferSize(), 0);
        std::memcpy(record.data(), name.data(), name.size());
        std::memcpy(record.data() + 8, &code, sizeof code);
        return record;
    }
    static std::string NameOf(const std::vector<Byte>& record) { return reinterpret_cast<const char*>(record.data()); }

    // The names the cursor shows from the start, each with its update status.
    std::vector<std::string> Shown(TBaseTable* table)
    {
        std::vector<std::string> shown;
        engine->SetToBegin(table);
        std::vector<Byte> record(wrapped->GetRecordBufferSize());
        RECProps properties{};
        while (engine->GetNextRecord(table, dbiNOLOCK, record.data(), &properties) == 0)
            shown.push_back(NameOf(record) + ":" + std::to_string(properties.iRecStatus));
        return shown;
    }
    // Positions the cursor on the record of that name.
    void GoTo(const std::string& name)
    {
        engine->SetToBegin(cursor);
        std::vector<Byte> record(wrapped->GetRecordBufferSize());
        while (engine->GetNextRecord(cursor, dbiNOLOCK, record.data(), nullptr) == 0)
            if (NameOf(record) == name) return;
        FAIL() << name;
    }
    Integer CachedRecords()
    {
        Integer count = 0;
        Word length = 0;
        EXPECT_EQ(engine->GetProp(cursor, curCACHEDRECORDS, &count, sizeof count, length), 0);
        EXPECT_EQ(length, 4);
        return count;
    }

    std::unique_ptr<TVirtEng, TFreeObject> engine;
    TBaseDatabase* database = nullptr;
    TBaseTable* wrapped = nullptr;
    TBaseTable* cursor = nullptr;
};

}  // namespace

TEST_F(CacheCursorTest, AModifiedRecordReadsBackWithItsImageOrItsOldDataAndStatusModified)
{
    ASSERT_NE(cursor, wrapped);
    GoTo("bob");
    std::vector<Byte> bobby = Row("bobby", 2);
    ASSERT_EQ(engine->ModifyRecord(cursor, bobby.data(), true), 0);
    EXPECT_EQ(Shown(cursor), (std::vector<std::string>{"ann:0", "bobby:1", "cy:0"}));
    EXPECT_EQ(Shown(wrapped), (std::vector<std::string>{"ann:0", "bob:0", "cy:0"})) << "nothing written yet";

    ASSERT_EQ(engine->SetProp(cursor, curOLDRECORD, 1), 0);
    EXPECT_EQ(Shown(cursor), (std::vector<std::string>{"ann:0", "bob:1", "cy:0"}));
    Byte oldRecord = 0;
    Word length = 0;
    engine->GetProp(cursor, curOLDRECORD, &oldRecord, 1, length);
    EXPECT_EQ(oldRecord, 1);

    // Reading the current record again goes through the cache too.
    engine->SetProp(cursor, curOLDRECORD, 0);
    GoTo("bobby");
    std::vector<Byte> reread(wrapped->GetRecordBufferSize());
    cursor->RereadCurrent(dbiNOLOCK, reread.data());
    EXPECT_EQ(NameOf(reread), "bobby");
}

TEST_F(CacheCursorTest, ADeletedRecordIsHiddenUntilTheDisplayOptionsShowIt)
{
    GoTo("bob");
    ASSERT_EQ(engine->DeleteRecord(cursor, nullptr), 0);
    EXPECT_EQ(Shown(cursor), (std::vector<std::string>{"ann:0", "cy:0"}));
    std::vector<Byte> record(wrapped->GetRecordBufferSize());
    engine->SetToEnd(cursor);
    std::vector<std::string> backwards;
    while (engine->GetPriorRecord(cursor, dbiNOLOCK, record.data(), nullptr) == 0) backwards.push_back(NameOf(record));
    EXPECT_EQ(backwards, (std::vector<std::string>{"cy", "ann"}));

    ASSERT_EQ(engine->SetProp(cursor, curDISPLAYOPTIONS, ShowEverything), 0);
    EXPECT_EQ(Shown(cursor), (std::vector<std::string>{"ann:0", "bob:3", "cy:0"}));
    Byte options = 0;
    Word length = 0;
    engine->GetProp(cursor, curDISPLAYOPTIONS, &options, 1, length);
    EXPECT_EQ(options, ShowEverything);

    // A hidden record is not current.
    GoTo("bob");
    engine->SetProp(cursor, curDISPLAYOPTIONS, 11);
    EXPECT_EQ(engine->GetRecord(cursor, dbiNOLOCK, record.data(), nullptr), DBIERR_NOCURRREC);
}

TEST_F(CacheCursorTest, MovesSkipHiddenRecordsAndRereadsRefuseThem)
{
    for (const char* name : {"ann", "cy"}) {
        GoTo(name);
        ASSERT_EQ(engine->DeleteRecord(cursor, nullptr), 0);
    }
    std::vector<Byte> record(wrapped->GetRecordBufferSize());
    auto current = [&] {
        cursor->GetRecord(dbiNOLOCK, record.data(), nullptr);
        return NameOf(record);
    };
    wrapped->SetRecordBuffer(record.data());  // the wrapped cursor's first and last moves read into it
    cursor->GoFirst();
    EXPECT_EQ(current(), "bob");
    cursor->GoLast();
    EXPECT_EQ(current(), "bob");
    cursor->SetToBegin();
    cursor->GetRelativeRecord(1, dbiNOLOCK, record.data(), nullptr);
    EXPECT_EQ(NameOf(record), "bob");
    cursor->SetToBegin();
    EXPECT_EQ(ErrorOf([&] { cursor->GetRelativeRecord(2, dbiNOLOCK, record.data(), nullptr); }), DBIERR_EOF);

    // The wrapped cursor stands on ann, whom the cache hides.
    wrapped->SetToBegin();
    wrapped->GetNextRecord(dbiNOLOCK, nullptr, nullptr);
    EXPECT_EQ(ErrorOf([&] { cursor->RereadCurrent(dbiNOLOCK, record.data()); }), DBIERR_NOCURRREC);
    wrapped->SetRecordBuffer(nullptr);
}

TEST_F(CacheCursorTest, TheCacheCountsItsRecordsAndCancelsOneChange)
{
    GoTo("ann");
    std::vector<Byte> anne = Row("anne");
    engine->ModifyRecord(cursor, anne.data(), true);
    GoTo("cy");
    engine->DeleteRecord(cursor, nullptr);
    EXPECT_EQ(CachedRecords(), 2);

    GoTo("anne");
    cursor->ApplyDelayedUpdates(DelayedCancelCurrent);
    EXPECT_EQ(Shown(cursor), (std::vector<std::string>{"ann:0", "bob:0"}));
    EXPECT_EQ(CachedRecords(), 1);
    GoTo("bob");
    cursor->ApplyDelayedUpdates(DelayedCancelCurrent);
    cursor->ApplyDelayedUpdates(7);
    EXPECT_EQ(CachedRecords(), 1) << "bob has no change to cancel, and 7 is no command";
    cursor->ApplyDelayedUpdates(DelayedCancel);
    EXPECT_EQ(Shown(cursor), (std::vector<std::string>{"ann:0", "bob:0", "cy:0"}));
    EXPECT_EQ(CachedRecords(), 0);
}

TEST_F(CacheCursorTest, PreparingAndCommittingWritesTheChangesToTheWrappedCursor)
{
    GoTo("ann");
    engine->DeleteRecord(cursor, nullptr);
    GoTo("bob");
    std::vector<Byte> bobby = Row("bobby");
    engine->ModifyRecord(cursor, bobby.data(), true);
    std::vector<Byte> dee = Row("dee");
    ASSERT_EQ(engine->AppendRecord(cursor, dee.data()), 0);
    std::vector<Byte> eve = Row("eve");
    ASSERT_EQ(engine->InsertRecord(cursor, dbiNOLOCK, eve.data()), 0);
    EXPECT_EQ(Shown(cursor), (std::vector<std::string>{"bobby:1", "cy:0"})) << "the new records wait";
    EXPECT_EQ(CachedRecords(), 4);

    cursor->ApplyDelayedUpdates(DelayedPrepare);
    EXPECT_EQ(Shown(wrapped).size(), 4u) << "written, not yet committed";
    EXPECT_EQ(CachedRecords(), 4);
    cursor->ApplyDelayedUpdates(DelayedCommit);
    EXPECT_EQ(CachedRecords(), 0);
    EXPECT_EQ(Shown(wrapped), (std::vector<std::string>{"bobby:1", "cy:0", "eve:0", "dee:0"}));
    EXPECT_EQ(Shown(cursor), (std::vector<std::string>{"bobby:0", "cy:0", "eve:0", "dee:0"}));
}

TEST_F(CacheCursorTest, AWriteThatFailsIsRaisedAndTheChangeStaysCached)
{
    GoTo("bob");
    std::vector<Byte> bobby = Row("bobby");
    engine->ModifyRecord(cursor, bobby.data(), true);
    GoTo("cy");
    std::vector<Byte> cyril = Row("cyril");
    engine->ModifyRecord(cursor, cyril.data(), true);
    // bob goes from the wrapped cursor behind the cache's back.
    wrapped->SetToBegin();
    wrapped->GetNextRecord(dbiNOLOCK, nullptr, nullptr);
    wrapped->GetNextRecord(dbiNOLOCK, nullptr, nullptr);
    wrapped->DeleteRecord(nullptr);

    try {
        cursor->ApplyDelayedUpdates(DelayedPrepare);
        FAIL();
    } catch (const EBoreaEngineError&) {
    }
    cursor->ApplyDelayedUpdates(DelayedCommit);
    EXPECT_EQ(CachedRecords(), 1) << "bob's change is kept";
    EXPECT_EQ(Shown(wrapped), (std::vector<std::string>{"ann:0", "cyril:1"}));
}

TEST_F(CacheCursorTest, EndingGivesTheWrappedCursorBackUnchanged)
{
    GoTo("bob");
    engine->DeleteRecord(cursor, nullptr);
    TBaseTable* cache = nullptr;
    cursor->GetCacheCursor(cache);
    EXPECT_EQ(cache, static_cast<TBaseCacheTable*>(cursor)->Cache());
    EXPECT_EQ(cache->GetRecordLength(), wrapped->GetRecordBufferSize());
    EXPECT_EQ(engine->SwitchToIndex(cursor, "1", false), DBIERR_NOSUCHINDEX);
    TBaseTable* again = cursor;
    EXPECT_EQ(engine->BeginDelayedUpdates(again), DBIERR_NOTSUPPORTED);

    ASSERT_EQ(engine->EndDelayedUpdates(cursor), 0);
    EXPECT_EQ(cursor, wrapped);
    EXPECT_EQ(Shown(wrapped), (std::vector<std::string>{"ann:0", "bob:0", "cy:0"}));
}
