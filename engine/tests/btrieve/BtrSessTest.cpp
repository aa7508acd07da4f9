// The Btrieve session and database on real record files of our requester: tables opened by directory and by alias
// with layouts from a resource or the data dictionary, browsing, key search, ranges, bookmarks, edits and
// transactions, all through the facade.
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "engine/btrieve/BtrDbase.h"
#include "engine/btrieve/BtrDict.h"
#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/btrieve/BtrSess.h"
#include "engine/btrieve/BtrTable.h"
#include "engine/btrieve/BtrWObj.h"
#include "engine/core/BseDb.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"
#include "engine/core/BseRegistry.h"
#include "engine/tests/support/RequesterFiles.h"
#include "engine/tests/support/RequesterScript.h"
#include "tools/mkdemo/MachineRegistryOverride.h"

namespace {

constexpr Word kString = BtrType::String;
constexpr Word kInteger = BtrType::Integer;
constexpr Word kTestLayoutLength = 69;

struct TFreeEngine {
    void operator()(TVirtEng* engine) const { engine->Free(); }
};
using TEnginePtr = std::unique_ptr<TVirtEng, TFreeEngine>;

template <class T>
std::vector<Byte> Bytes(const T& record)
{
    const auto* start = reinterpret_cast<const Byte*>(&record);
    return std::vector<Byte>(start, start + sizeof record);
}

TFileDDFRecord FileEntry(Word id, const char* name, const char* location, Byte flags = 0)
{
    TFileDDFRecord entry{};
    entry.FileId = id;
    std::memset(entry.Name, ' ', sizeof entry.Name);
    std::memcpy(entry.Name, name, std::strlen(name));
    std::memset(entry.Location, ' ', sizeof entry.Location);
    std::memcpy(entry.Location, location, std::strlen(location));
    entry.Flags = flags;
    return entry;
}

TFieldDDFRecord FieldEntry(Word id, Word fileId, const char* name, Byte type, Word offset, Word size)
{
    TFieldDDFRecord entry{};
    entry.FieldId = id;
    entry.FileId = fileId;
    std::memset(entry.Name, ' ', sizeof entry.Name);
    std::memcpy(entry.Name, name, std::strlen(name));
    entry.DataType = type;
    entry.Offset = offset;
    entry.Size = size;
    return entry;
}

Word __stdcall FileIdAboveTwo(uintptr_t, void* record, Integer)
{
    return static_cast<const TFileDDFRecord*>(record)->FileId > 2;
}

class BtrieveFiles : public RequesterFolderTest {
protected:
    void SetUp() override
    {
        RequesterFolderTest::SetUp();
        engine.reset(CreateObject<TVirtEng>(&MakeSession<TBtrSession>, nullptr, nullptr));
    }
    void TearDown() override
    {
        engine.reset();
        RequesterFolderTest::TearDown();
    }

    // A dictionary of one table "people" (file id 1) in people.dat, and the dictionary's own three entries.
    void MakeDictionary()
    {
        MakeFile("FILE.DDF", {sizeof(TFileDDFRecord), {{1, 2, 0, kInteger}, {3, 20, KeyFlag::Modifiable, kString}}});
        MakeFile("FIELD.DDF", {sizeof(TFieldDDFRecord), {{1, 2, 0, kInteger}, {3, 2, KeyFlag::Duplicates, kInteger}}});
        MakeFile("FIELDEXT.DDF", {8, {{1, 4, 0, kInteger}}});
        InsertRaw("FILE.DDF", {Bytes(FileEntry(1, "people", "people.dat")),
                               Bytes(FileEntry(2, "X$File", "FILE.DDF", FileFlagSystem)),
                               Bytes(FileEntry(3, "X$Field", "FIELD.DDF", FileFlagSystem)),
                               Bytes(FileEntry(4, "peoplex", "other.dat"))});
        InsertRaw("FIELD.DDF", {Bytes(FieldEntry(1, 1, "Code", kString, 0, 10)),
                                Bytes(FieldEntry(2, 1, "Note", kString, 0, 0)),
                                Bytes(FieldEntry(3, 1, "Age", kString, 10, 2)),
                                Bytes(FieldEntry(4, 4, "Other", kString, 0, 5))});
        TFieldExtDDFRecord extension{1, 3, kInteger};
        std::vector<Byte> extensionRecord = Bytes(extension);
        extensionRecord.resize(8);
        InsertRaw("FIELDEXT.DDF", {extensionRecord});
        MakeFile("people.dat", {12, {{1, 10, 0, kString}, {11, 2, KeyFlag::Duplicates, kInteger}}});
        std::vector<Byte> ann(12, ' '), bob(12, ' '), cid(12, ' ');
        std::memcpy(ann.data(), "ann", 3);
        std::memcpy(bob.data(), "bob", 3);
        std::memcpy(cid.data(), "cid", 3);
        const SmallInt ages[] = {30, 20, 30};
        std::memcpy(&ann[10], &ages[0], 2);
        std::memcpy(&bob[10], &ages[1], 2);
        std::memcpy(&cid[10], &ages[2], 2);
        InsertRaw("people.dat", {ann, bob, cid});
    }

    TBaseDatabase* OpenDirectory()
    {
        TBaseDatabase* database = nullptr;
        EXPECT_EQ(engine->OpenDatabase(Directory().c_str(), nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database),
                  0);
        return database;
    }

    // The first field of every record, read through the facade from the start.
    std::vector<std::string> Codes(TBaseTable* cursor)
    {
        std::vector<std::string> codes;
        engine->SetToBegin(cursor);
        std::vector<Byte> record(256);
        while (engine->GetNextRecord(cursor, 0, record.data(), nullptr) == 0) {
            char code[32] = {};
            bool blank = false;
            engine->GetField(cursor, 1, record.data(), code, blank);
            codes.push_back(code);
        }
        return codes;
    }

    TEnginePtr engine;
};

TEST_F(BtrieveFiles, SessionLoadsTheRequesterAndMakesAClientId)
{
    EXPECT_TRUE(IsBtrieveRequesterLoaded());
    auto* session = static_cast<TBtrSession*>(engine->CurrentSession());
    const Byte* id = session->ClientId();
    for (int i = 0; i < 12; ++i) EXPECT_EQ(id[i], 0) << i;
    EXPECT_GE(id[12], 'A');
    EXPECT_LE(id[12], 'Z');
    EXPECT_GE(id[13], 'A');
    EXPECT_LE(id[13], 'Z');
    EXPECT_EQ(session->RegistryLocation().Path, "\\Software\\Borea\\Btrieve");

    TBaseSession* second = nullptr;
    ASSERT_EQ(engine->StartSession("second", second, ""), 0);
    TBaseSession* third = nullptr;
    ASSERT_EQ(engine->StartSession("third", third, ""), 0);
    for (TBaseSession* other : {second, third})
        EXPECT_NE(std::memcmp(static_cast<TBtrSession*>(other)->ClientId(), id, TBtrSession::ClientIdSize), 0);
    EXPECT_NE(std::memcmp(static_cast<TBtrSession*>(second)->ClientId(),
                          static_cast<TBtrSession*>(third)->ClientId(), TBtrSession::ClientIdSize),
              0);
    ASSERT_EQ(engine->CloseSession(second), 0);
    ASSERT_EQ(engine->CloseSession(third), 0);
    EXPECT_TRUE(IsBtrieveRequesterLoaded());
    engine.reset();
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
}

TEST_F(BtrieveFiles, ResourceTablesResolveTheirFile)
{
    std::filesystem::create_directories(PathOf("sub"));
    MakeFile("sub\\clients.qf", {kTestLayoutLength, {{5, 7, 0, kString}}});
    MakeFile("clients.qf", {kTestLayoutLength, {{5, 7, 0, kString}}});
    TBaseDatabase* database = OpenDirectory();
    TBaseTable* cursor = nullptr;
    const std::string inSub = PathOf("sub\\clients.qf");
    ASSERT_EQ(engine->OpenTable(database, inSub + ";RES:TESTLAYOUT", "", DefaultIndexId, 0, 0, cursor), 0);
    EXPECT_EQ(cursor->GetPhysicalName(), inSub);
    ASSERT_EQ(engine->OpenTable(database, "CLIENTS.QF;res:TESTLAYOUT", "", DefaultIndexId, 0, 0, cursor), 0);
    EXPECT_EQ(cursor->GetPhysicalName(), Directory() + "\\CLIENTS.QF");
    EXPECT_EQ(engine->OpenTable(database, "missing.qf;RES:TESTLAYOUT", "", DefaultIndexId, 0, 0, cursor),
              DBIERR_NOSUCHFILE);
    // Without its layout the table is looked up in the dictionary, which this directory does not have.
    EXPECT_EQ(engine->OpenTable(database, "clients.qf;RES:NOSUCHLAYOUT", "", DefaultIndexId, 0, 0, cursor),
              DBIERR_NOSUCHFILE);
    EXPECT_EQ(database->Tables()->Count(), 2);

    TBaseTable* fields = nullptr;
    ASSERT_EQ(engine->OpenFieldList(database, "clients.qf;RES:TESTLAYOUT", fields), 0);
    std::vector<std::string> names;
    FLDDesc field{};
    while (engine->GetNextRecord(fields, 0, reinterpret_cast<Byte*>(&field), nullptr) == 0) {
        if (names.empty()) {
            EXPECT_EQ(field.iFldNum, 1);
        }
        names.push_back(field.szName);
    }
    EXPECT_EQ(names.size(), 8u);
    EXPECT_EQ(names[1], "Client Code");

    // Rewound, the list starts again; counting does not move it.
    ASSERT_EQ(engine->SetToBegin(fields), 0);
    Integer count = 0;
    ASSERT_EQ(engine->GetRecordCount(fields, count), 0);
    EXPECT_EQ(count, 8);
    ASSERT_EQ(engine->GetNextRecord(fields, 0, reinterpret_cast<Byte*>(&field), nullptr), 0);
    EXPECT_EQ(field.iFldNum, 1);
    EXPECT_EQ(field.szName, names[0]);
}

TEST_F(BtrieveFiles, DirectoryDatabaseDescription)
{
    TBaseDatabase* database = OpenDirectory();
    ASSERT_NE(database, nullptr);
    EXPECT_STREQ(database->Description().szName, "Btrieve (FILE.DDF)");
    EXPECT_EQ(std::string(database->Description().szPhyName), Directory() + "\\");
    EXPECT_STREQ(database->Description().szDbType, "BTRIEVE");
}

TEST_F(BtrieveFiles, ResourceLayoutTableBrowsesSearchesEditsAndRunsTransactions)
{
    MakeFile("clients.qf", {kTestLayoutLength, {{5, 7, KeyFlag::Modifiable, kString}}});
    TBaseDatabase* database = OpenDirectory();
    TBaseTable* cursor = nullptr;
    ASSERT_EQ(engine->OpenTable(database, "clients.qf;RES:TESTLAYOUT", "", DefaultIndexId, 0, 0, cursor), 0);
    EXPECT_EQ(cursor->GetPhysicalName(), PathOf("clients.qf"));

    std::vector<Byte> record(kTestLayoutLength);
    for (const char* code : {"C300", "C100", "C200"}) {
        ASSERT_EQ(engine->InitRecord(cursor, record.data()), 0);
        ASSERT_EQ(engine->PutField(cursor, 2, record.data(), code), 0);
        ASSERT_EQ(engine->InsertRecord(cursor, 0, record.data()), 0);
    }
    auto clientCodes = [&] {
        std::vector<std::string> codes;
        engine->SetToBegin(cursor);
        while (engine->GetNextRecord(cursor, 0, record.data(), nullptr) == 0) {
            char code[16] = {};
            bool blank = false;
            engine->GetField(cursor, 2, record.data(), code, blank);
            codes.push_back(code);
        }
        return codes;
    };
    EXPECT_EQ(clientCodes(), (std::vector<std::string>{"C100", "C200", "C300"}));

    ASSERT_EQ(engine->InitRecord(cursor, record.data()), 0);
    engine->PutField(cursor, 2, record.data(), "C200");
    ASSERT_EQ(engine->GetRecordForKey(cursor, false, 1, 0, nullptr, record.data()), 0);
    std::vector<Byte> bookmark(cursor->GetBookmarkSize());
    ASSERT_EQ(engine->GetBookMark(cursor, bookmark.data()), 0);
    engine->PutField(cursor, 2, record.data(), "C250");
    ASSERT_EQ(engine->SetToBookMark(cursor, bookmark.data()), 0);
    ASSERT_EQ(engine->ModifyRecord(cursor, record.data(), true), 0);
    EXPECT_EQ(clientCodes(), (std::vector<std::string>{"C100", "C250", "C300"}));

    ASSERT_EQ(engine->BeginTran(database), 0);
    EXPECT_EQ(engine->BeginTran(database), DBIERR_ACTIVETRAN);
    engine->InitRecord(cursor, record.data());
    engine->PutField(cursor, 2, record.data(), "C400");
    ASSERT_EQ(engine->InsertRecord(cursor, 0, record.data()), 0);
    ASSERT_EQ(engine->EndTran(database, xendABORT), 0);
    EXPECT_EQ(clientCodes(), (std::vector<std::string>{"C100", "C250", "C300"}));
    ASSERT_EQ(engine->BeginTran(database), 0);
    engine->InitRecord(cursor, record.data());
    engine->PutField(cursor, 2, record.data(), "C050");
    ASSERT_EQ(engine->InsertRecord(cursor, 0, record.data()), 0);
    ASSERT_EQ(engine->EndTran(database, xendCOMMIT), 0);
    EXPECT_EQ(clientCodes(), (std::vector<std::string>{"C050", "C100", "C250", "C300"}));
    engine->SetToBegin(cursor);
    ASSERT_EQ(engine->GetNextRecord(cursor, 0, record.data(), nullptr), 0);
    ASSERT_EQ(engine->DeleteRecord(cursor, record.data()), 0);

    Integer count = 0;
    EXPECT_EQ(engine->GetRecordCount(cursor, count), 0);
    EXPECT_EQ(count, 3);

    std::vector<Byte> low(kTestLayoutLength), high(kTestLayoutLength);
    engine->PutField(cursor, 2, low.data(), "C100");
    engine->PutField(cursor, 2, high.data(), "C250");
    ASSERT_EQ(engine->SetRange(cursor, false, 1, 0, low.data(), false, 1, 0, high.data(), true), 0);
    EXPECT_EQ(clientCodes(), (std::vector<std::string>{"C250"}));
    ASSERT_EQ(engine->ResetRange(cursor), 0);

    TBaseSession* otherSession = nullptr;
    ASSERT_EQ(engine->StartSession("other", otherSession, ""), 0);
    TBaseTable* other = nullptr;
    ASSERT_EQ(engine->OpenTable(OpenDirectory(), "clients.qf;RES:TESTLAYOUT", "", DefaultIndexId, 0, 0, other), 0);
    std::vector<Byte> otherRecord(kTestLayoutLength);
    engine->SetToBegin(cursor);
    ASSERT_EQ(engine->GetNextRecord(cursor, dbiWRITELOCK, record.data(), nullptr), 0);
    engine->SetToBegin(other);
    EXPECT_EQ(engine->GetNextRecord(other, dbiWRITELOCK, otherRecord.data(), nullptr), DBIERR_LOCKED);
    ASSERT_EQ(engine->RelRecordLock(cursor, false), 0);
    engine->SetToBegin(other);
    EXPECT_EQ(engine->GetNextRecord(other, dbiWRITELOCK, otherRecord.data(), nullptr), 0);
    TBaseTable* clone = nullptr;
    ASSERT_EQ(engine->CloneCursor(cursor, clone), 0);
    EXPECT_EQ(clone->GetPhysicalName(), cursor->GetPhysicalName());
    EXPECT_EQ(static_cast<TBtrTable*>(clone)->ResourceName(), "TESTLAYOUT");
    EXPECT_EQ(engine->CloseCursor(cursor), 0);
    EXPECT_EQ(engine->CloneCursor(cursor, clone), DBIERR_INVALIDHNDL);
}

TEST_F(BtrieveFiles, TheDatabaseEmptiesATableWithACursorOfItsOwn)
{
    MakeFile("clients.qf", {kTestLayoutLength, {{5, 7, 0, kString}}});
    std::vector<Byte> first(kTestLayoutLength, ' '), second(kTestLayoutLength, ' ');
    std::memcpy(&first[4], "ACME   ", 7);
    std::memcpy(&second[4], "BAKER  ", 7);
    InsertRaw("clients.qf", {first, second});
    TBaseDatabase* database = OpenDirectory();
    database->EmptyTable(nullptr, "clients.qf;RES:TESTLAYOUT");
    EXPECT_EQ(database->Tables()->Count(), 0) << "the database's own cursor is gone";
    TWinBtr file(nullptr);
    file.Open(PathOf("clients.qf"), nullptr, 0);
    EXPECT_EQ(file.GetRecordCount(), 0);
    file.Close();
}

TEST_F(BtrieveFiles, DictionaryTablesTakeTheirFieldsFromTheDictionary)
{
    MakeDictionary();
    TBaseDatabase* database = OpenDirectory();
    TBaseTable* cursor = nullptr;
    ASSERT_EQ(engine->OpenTable(database, "PEOPLE", "", DefaultIndexId, 0, 0, cursor), 0);
    EXPECT_EQ(cursor->GetPhysicalName(), Directory() + "\\people.dat");
    FLDDesc fields[4] = {};
    CURProps properties{};
    ASSERT_EQ(engine->GetCursorProps(cursor, properties), 0);
    ASSERT_EQ(properties.iFields, 2);
    ASSERT_EQ(engine->GetFieldDescs(cursor, fields), 0);
    EXPECT_EQ(fields[0].iFldNum, 1);
    EXPECT_STREQ(fields[0].szName, "Code");
    EXPECT_STREQ(fields[1].szName, "Age");
    EXPECT_EQ(fields[1].iFldType, fldINT16);
    EXPECT_EQ(Codes(cursor), (std::vector<std::string>{"ann", "bob", "cid"}));

    TBaseTable* second = nullptr;
    ASSERT_EQ(engine->OpenTable(database, "people", "1", DefaultIndexId, 0, 0, second), 0);
    EXPECT_EQ(second->FieldCache()->Count(), 2);
    EXPECT_EQ(Codes(second), (std::vector<std::string>{"bob", "ann", "cid"}));

    // The field list numbers from 1 again after a rewind.
    TBaseTable* list = nullptr;
    ASSERT_EQ(engine->OpenFieldList(database, "people", list), 0);
    auto numbers = [&] {
        std::vector<std::string> read;
        FLDDesc field{};
        while (engine->GetNextRecord(list, 0, reinterpret_cast<Byte*>(&field), nullptr) == 0)
            read.push_back(std::to_string(field.iFldNum) + field.szName);
        return read;
    };
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1Code", "2Age"}));
    ASSERT_EQ(engine->SetToBegin(list), 0);
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1Code", "2Age"}));
    ASSERT_EQ(engine->CloseCursor(list), 0);

    TBaseTable* missing = nullptr;
    EXPECT_EQ(engine->OpenTable(database, "nobody", "", DefaultIndexId, 0, 0, missing), DBIERR_NOSUCHTABLE);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(database->Tables()->Count(), 2);
}

TEST_F(BtrieveFiles, EveryCursorOfATableKnowsItsMemoIsLast)
{
    MakeFile("FILE.DDF", {sizeof(TFileDDFRecord), {{1, 2, 0, kInteger}, {3, 20, KeyFlag::Modifiable, kString}}});
    MakeFile("FIELD.DDF", {sizeof(TFieldDDFRecord), {{1, 2, 0, kInteger}, {3, 2, KeyFlag::Duplicates, kInteger}}});
    InsertRaw("FILE.DDF", {Bytes(FileEntry(1, "memos", "memos.dat"))});
    InsertRaw("FIELD.DDF", {Bytes(FieldEntry(1, 1, "Code", kString, 0, 10)),
                            Bytes(FieldEntry(2, 1, "Text", BtrType::Note, 10, 40))});
    MakeFile("memos.dat", {10, {{1, 10, 0, kString}}, true});
    TBaseDatabase* database = OpenDirectory();
    TBaseTable* first = nullptr;
    TBaseTable* second = nullptr;
    ASSERT_EQ(engine->OpenTable(database, "memos", "", DefaultIndexId, 0, 0, first), 0);
    ASSERT_EQ(engine->OpenTable(database, "memos", "", DefaultIndexId, 0, 0, second), 0);
    EXPECT_TRUE(static_cast<TBtrTable*>(first)->MemoLast());
    EXPECT_TRUE(static_cast<TBtrTable*>(second)->MemoLast()) << "fields copied from the open cursor";
}

TEST_F(BtrieveFiles, DictionaryFailuresOtherThanAMissingEntryPassOn)
{
    TBaseDatabase* database = OpenDirectory();
    TBaseTable* cursor = nullptr;
    EXPECT_EQ(engine->OpenTable(database, "people", "", DefaultIndexId, 0, 0, cursor), DBIERR_NOSUCHFILE);

    MakeDictionary();
    TWinBtr otherClient(nullptr);
    otherClient.Open(PathOf("FILE.DDF"), DictionaryOwner, -4);
    EXPECT_EQ(engine->OpenTable(database, "people", "", DefaultIndexId, 0, 0, cursor), DBIERR_FILEBUSY);
    otherClient.Close();
    EXPECT_EQ(engine->OpenTable(database, "people", "", DefaultIndexId, 0, 0, cursor), 0);
}

TEST_F(BtrieveFiles, TableListSkipsSystemEntriesUnlessAsked)
{
    MakeDictionary();
    TBaseDatabase* database = OpenDirectory();
    auto names = [&](bool includeSystem) {
        TBaseTable* list = database->OpenTableList(false, includeSystem, "");
        std::vector<std::string> result;
        TBLBaseDesc row{};
        while (engine->GetNextRecord(list, 0, reinterpret_cast<Byte*>(&row), nullptr) == 0)
            result.push_back(std::string(row.szName) + "=" + row.szFileName);
        engine->CloseCursor(list);
        return result;
    };
    EXPECT_EQ(names(false), (std::vector<std::string>{"people=people.dat", "peoplex=other.dat"}));
    EXPECT_EQ(names(true).size(), 4u);

    // The list reads through the cursor's filter step: the filter sees each FILE.DDF record.
    TBaseTable* list = database->OpenTableList(false, true, "");
    list->ActivateFilter(list->AddFilter(0, 0, false, nullptr, FileIdAboveTwo));
    TBLBaseDesc row{};
    std::vector<std::string> filtered;
    while (engine->GetNextRecord(list, 0, reinterpret_cast<Byte*>(&row), nullptr) == 0)
        filtered.push_back(row.szName);
    engine->CloseCursor(list);
    EXPECT_EQ(filtered, (std::vector<std::string>{"X$Field", "peoplex"}));
    EXPECT_TRUE(database->TableExists("people"));
    EXPECT_FALSE(database->TableExists("peo"));
}

TEST_F(BtrieveFiles, AliasFromTheRegistryOpensItsDirectory)
{
    MakeFile("clients.qf", {kTestLayoutLength, {{5, 7, 0, kString}}});
    const std::string key = "\\Software\\Borea\\Btrieve\\Aliases\\ENGINESESSTEST";
    {
        TRightsRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(registry.OpenKey(key, true));
        registry.WriteString("PhysicalName", Directory());
    }
    TBaseDatabase* database = nullptr;
    const Word opened = engine->OpenDatabase("enginesesstest", nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database);
    TRightsRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.DeleteKey(key);
    ASSERT_EQ(opened, 0);
    TBaseTable* cursor = nullptr;
    ASSERT_EQ(engine->OpenTable(database, "clients.qf;RES:TESTLAYOUT", "", DefaultIndexId, 0, 0, cursor), 0);
    EXPECT_EQ(cursor->GetPhysicalName(), PathOf("clients.qf"));
}

}  // namespace

namespace {

TEST_F(BtrieveFiles, DictionaryDeleteAndRenameMatchWholeNames)
{
    MakeDictionary();
    TBaseDatabase* database = OpenDirectory();
    try {
        database->DeleteTable("peop");
        FAIL();
    } catch (const EBtrieveEngineError& error) {
        EXPECT_EQ(error.Status(), BtrStatusNotInDictionary);
    }
    database->DeleteTable("people");
    EXPECT_FALSE(database->TableExists("people"));
    EXPECT_TRUE(database->TableExists("peoplex"));
    TFileDDFRecord other{};
    static_cast<TBtrDatabase*>(database)->LookUpDictionary("peoplex", other);
    TBaseTable* fields = database->OpenFieldList("peoplex", &other);
    Integer count = 0;
    fields->GetRecordCount(count);
    EXPECT_EQ(count, 1);
    TFileDDFRecord gone{};
    gone.FileId = 1;
    TBaseTable* goneFields = database->OpenFieldList("people", &gone);
    goneFields->GetRecordCount(count);
    EXPECT_EQ(count, 0);

    database->RenameTable("PEOPLEX", "staff");
    EXPECT_TRUE(database->TableExists("staff"));
    EXPECT_FALSE(database->TableExists("peoplex"));
}

}  // namespace

namespace {

// Sessions configured through the machine's registry (redirected for the test) on the scripted fake requester.
class BtrieveSessionConfiguration : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = BtrFieldSettings();
        fake_ = LoadLibraryA("fakebtrv.dll");
        ASSERT_NE(fake_, nullptr);
        RequesterScript::Instance().Install(fake_);
    }
    void TearDown() override
    {
        while (IsBtrieveRequesterLoaded()) StopBtrieveRequester();
        FreeLibrary(fake_);
        BtrFieldSettings() = saved_;
    }
    void Set(const std::string& section, const std::string& name, const std::string& value)
    {
        machine_.SetString(std::string(BtrieveRegistryPath) + "\\Configuration\\" + section, name, value);
    }

    TMachineRegistryOverride machine_;
    TBtrFieldSettings saved_;
    HMODULE fake_ = nullptr;
};

TEST_F(BtrieveSessionConfiguration, ClientIntlFieldsAndDefaultSessionComeFromTheRegistry)
{
    Set("Btrieve Client", "Options", "/M:64 /P:4096");
    Set("Btrieve Client", "DLLName", "FAKEBTRV.DLL");
    Set("Intl", "IgnoreAnsiOem", "1");
    machine_.SetDword(std::string(BtrieveRegistryPath) + "\\Configuration\\Intl", "IgnoreOemAnsi", 1);
    Set("Fields", "StringPaddedSpaces", "0");
    Set("Fields", "IntegersShowAsZero", "TRUE");
    Set("Default Session", "Name", "Configured");
    Set("Default Session", "Directory", "C:\\shared");
    BtrFieldSettings().Read = true;  // a value the registry does not name keeps its setting

    auto* session = CreateObject<TBtrSession>(nullptr, "", "", nullptr);
    EXPECT_EQ(RequesterScript::Instance().Inits, std::vector<std::string>{"/M:64 /P:4096"});
    EXPECT_TRUE(session->IgnoreAnsiOem);
    EXPECT_TRUE(session->IgnoreOemAnsi);
    EXPECT_FALSE(BtrFieldSettings().StringPaddedSpaces);
    EXPECT_TRUE(BtrFieldSettings().IntegersShowAsZero);
    EXPECT_TRUE(BtrFieldSettings().Read);
    EXPECT_FALSE(BtrFieldSettings().Write);
    EXPECT_EQ(session->Name(), "Configured");
    EXPECT_EQ(session->NetDir(), "C:\\shared");
    session->Free();
    EXPECT_FALSE(IsBtrieveRequesterLoaded());

    // A name and directory given by the creator win.
    session = CreateObject<TBtrSession>(nullptr, "D:\\own", "Own", nullptr);
    EXPECT_EQ(session->Name(), "Own");
    EXPECT_EQ(session->NetDir(), "D:\\own");
    session->Free();
}

TEST_F(BtrieveSessionConfiguration, AMissingRequesterFailsTheSessionWithStatus20AndTheOptions)
{
    Set("Btrieve Client", "Options", "/M:64");
    Set("Btrieve Client", "DLLName", "nosuchrequester.dll");
    try {
        CreateObject<TBtrSession>(nullptr, "", "", nullptr);
        FAIL();
    } catch (const EBtrieveEngineError& error) {
        EXPECT_EQ(error.Status(), BtrStatus::RequesterInactive);
        EXPECT_EQ(error.AttachedText(), "/M:64");
    }
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
}

TEST(BtrieveSessionThreads, ASessionOfAnotherThreadLeavesTheRequesterAlone)
{
    ASSERT_FALSE(IsBtrieveRequesterLoaded());
    TBaseSession* session = nullptr;
    std::thread worker([&] { session = CreateObject<TBtrSession>(nullptr, "", "worker", nullptr); });
    worker.join();
    ASSERT_NE(session, nullptr);
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
    EXPECT_EQ(session->Name(), "worker");
    session->Free();
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
}

}  // namespace
