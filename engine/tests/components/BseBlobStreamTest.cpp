// The blob stream of the cursor dataset on a fake table whose memo is kept in the record: reading in parts, the
// blob cache, writing, seeking and the errors of a stream made in the wrong state.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "db/BinaryFields.h"
#include "engine/components/BseBDEDataset.h"
#include "engine/components/BseBlobStream.h"
#include "engine/core/BseEng.h"
#include "engine/tests/support/FakeKeyedTable.h"
#include "engine/tests/support/SessTestSupport.h"

namespace {

constexpr Word MemoOffset = 8;
constexpr Word MemoSize = 32;

// Code and Memo; the memo's text sits zero-terminated in the record.
class TMemoTable : public TFakeKeyedTable {
    DUN_CLASS(TMemoTable, TFakeKeyedTable)
public:
    explicit TMemoTable(TBoreaCollection* collection)
        : TFakeKeyedTable({{"Code", fldZSTRING, MemoOffset}, {"Memo", fldBLOB, MemoSize}}, {{"ByCode", {1}}},
                          collection)
    {
    }
    static inline Integer Opens = 0;
    static inline Integer Reads = 0;

    void OpenBlob(Byte* record, Word field, Integer openMode) override { ++Opens; }
    void GetBlobSize(Byte* record, Word field, Cardinal& size) override { size = Cardinal(Text(record).size()); }
    void GetBlob(Byte* record, Word field, Cardinal offset, Cardinal length, void* dest, Cardinal& read) override
    {
        ++Reads;
        const std::string text = Text(record);
        if (offset > text.size()) RaiseEngineError(0x270E);
        read = std::min<Cardinal>(length, Cardinal(text.size()) - offset);
        std::memcpy(dest, text.data() + offset, read);
    }
    void PutBlob(Byte* record, Word field, Cardinal offset, Cardinal length, const void* source) override
    {
        std::memcpy(record + MemoOffset + offset, source, length);
        record[MemoOffset + offset + length] = 0;
    }
    void TruncateBlob(Byte* record, Word field, Cardinal length) override { record[MemoOffset + length] = 0; }
    void FreeBlob(Byte* record, Word field) override {}

    static std::string Text(const Byte* record)
    {
        const auto* text = reinterpret_cast<const char*>(record + MemoOffset);
        return std::string(text, strnlen(text, MemoSize - 1));
    }
};

class TMemoDatabase : public TTestDatabase {
    DUN_CLASS(TMemoDatabase, TTestDatabase)
public:
    using TTestDatabase::TTestDatabase;
    TBaseTable* OpenTable(const std::string& name, const std::string&, Word, Integer, Integer) override
    {
        auto* table = CreateObject<TMemoTable>(Tables());
        table->Add({"A", ""});
        return table;
    }
};

class TMemoSession : public TTestSession {
    DUN_CLASS(TMemoSession, TTestSession)
public:
    using TTestSession::TTestSession;
    TBaseDatabase* CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                  Integer shareMode, const TDatabaseOptions& options) override
    {
        return CreateObject<TMemoDatabase>(this, Databases(), &description, openMode, shareMode, name.c_str(),
                                           options);
    }
};

class TMemoDataset : public TbqBDEDataset {
    DUN_CLASS(TMemoDataset, TbqBDEDataset)
public:
    TMemoDataset(TVirtEng* engine, TBaseDatabase* database)
        : TbqBDEDataset(nullptr), engine_(engine), database_(database)
    {
    }
    TVirtEng* Engine() const override { return engine_; }
    TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) override
    {
        return new TbqBlobStream(dynamic_cast<TBlobField*>(field), mode);
    }

protected:
    TBaseTable* CreateHandle() override
    {
        TBaseTable* cursor = nullptr;
        Check(engine_->OpenTable(database_, "memo", "", DefaultIndexId, 0, 0, cursor));
        return cursor;
    }

private:
    TVirtEng* engine_;
    TBaseDatabase* database_;
};

class BlobStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.reset(CreateObject<TVirtEng>(&MakeSession<TMemoSession>, nullptr, nullptr));
        ASSERT_EQ(engine->OpenDatabase("c:\\data", nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database), 0);
        dataSet.reset(new TMemoDataset(engine.get(), database));
        dataSet->Open();
        memo = dynamic_cast<TBlobField*>(dataSet->FieldByName("Memo"));
        ASSERT_NE(memo, nullptr);
        WriteMemo("0123456789");
        TMemoTable::Opens = 0;
        TMemoTable::Reads = 0;
    }

    void WriteMemo(const std::string& text)
    {
        dataSet->Edit();
        std::unique_ptr<TStream, TFreeObject> stream(dataSet->CreateBlobStream(memo, bmWrite));
        stream->WriteBuffer(text.data(), Integer(text.size()));
        stream.reset();
        dataSet->Post();
        // The dataset framework does not yet clear a blob field's Modified after a post.
        memo->SetModified(false);
    }

    std::unique_ptr<TStream, TFreeObject> Stream(TBlobStreamMode mode)
    {
        return std::unique_ptr<TStream, TFreeObject>(dataSet->CreateBlobStream(memo, mode));
    }

    std::unique_ptr<TVirtEng, TFreeObject> engine;
    TBaseDatabase* database = nullptr;
    std::unique_ptr<TMemoDataset, TFreeObject> dataSet;
    TBlobField* memo = nullptr;
};

TEST_F(BlobStreamTest, AValueReadWholeIsServedFromTheCacheAfterwards)
{
    auto stream = Stream(bmRead);
    char first[6] = {}, second[6] = {};
    EXPECT_EQ(stream->Read(first, 5), 5);
    EXPECT_EQ(stream->Read(second, 5), 5);
    EXPECT_EQ(std::string(first) + second, "0123456789");
    EXPECT_EQ(dataSet->GetBlobData(memo, dataSet->ActiveBuffer()), "0123456789");
    stream.reset();
    EXPECT_EQ(TMemoTable::Opens, 1);
    EXPECT_EQ(TMemoTable::Reads, 2);

    auto again = Stream(bmRead);
    char all[11] = {};
    EXPECT_EQ(again->Read(all, 20), 10);
    EXPECT_EQ(std::string(all), "0123456789");
    EXPECT_EQ(TMemoTable::Opens, 1) << "no engine call for a cached value";
    EXPECT_EQ(TMemoTable::Reads, 2);
}

TEST_F(BlobStreamTest, SeekingFromTheEndGivesTheSizeAndReadingPastItGivesNothing)
{
    auto stream = Stream(bmRead);
    EXPECT_EQ(stream->Seek(0, soFromEnd), 10);
    char byte = 0;
    EXPECT_EQ(stream->Read(&byte, 1), 0);
    EXPECT_EQ(stream->Seek(20, soFromBeginning), 20);
    EXPECT_EQ(stream->Read(&byte, 1), 0);
}

TEST_F(BlobStreamTest, AWriteStreamStartsEmpty)
{
    dataSet->Edit();
    {
        auto stream = Stream(bmWrite);
        EXPECT_EQ(stream->Size(), 0);
        stream->WriteBuffer("ab", 2);
    }
    EXPECT_TRUE(memo->Modified());
    dataSet->Post();
    EXPECT_EQ(memo->AsString(), "ab");
}

TEST_F(BlobStreamTest, StreamsInTheWrongStateRaise)
{
    EXPECT_THROW(Stream(bmWrite), EDatabaseError) << "browse mode";
    memo->SetReadOnly(true);
    dataSet->Edit();
    EXPECT_THROW(Stream(bmReadWrite), EDatabaseError);
    dataSet->Cancel();
    memo->SetReadOnly(false);

    std::string message;
    dataSet->SetOnFilterRecord([&](TDataSet*, bool&) {
        try {
            Stream(bmRead);
        } catch (const EDatabaseError& e) {
            message = e.Message();
        }
    });
    dataSet->SetFiltered(true);
    EXPECT_EQ(message, "Cannot access field 'Memo' in a filter");
}

}  // namespace
