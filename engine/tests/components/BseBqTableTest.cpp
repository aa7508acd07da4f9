// The table component on fake engine tables: the read-only fallback and the password retry of an open, and the
// failures of a key search.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "classes/ClassRegistry.h"
#include "classes/DataModule.h"
#include "classes/FormResource.h"
#include "db/StringField.h"
#include "engine/components/BseBqTable.h"
#include "engine/components/BseDatabase.h"
#include "engine/components/BseSession.h"
#include "engine/core/BseEng.h"
#include "engine/tests/support/FakeKeyedTable.h"
#include "engine/tests/support/SessTestSupport.h"

namespace {

constexpr Word DBIERR_TABLEREADONLY = 0x2A0B;
constexpr Word fldADT = 20;

// What the fake tables answer.
struct TFaults {
    bool ReadOnlyFile = false;         // a read/write open answers "table read-only"
    Integer PasswordsWanted = 0;       // opens answering "not sufficient table rights"
    bool KeySearchFails = false;       // a key search fails with an error other than "not found"
    bool WithAddress = false;          // the table describes an ADT of one member after its code
    std::vector<Integer> OpenModes;
};
TFaults faults;

class TCodeTable : public TFakeKeyedTable {
    DUN_CLASS(TCodeTable, TFakeKeyedTable)
public:
    TCodeTable(Integer openMode, TBoreaCollection* collection)
        : TFakeKeyedTable({{"Code", fldZSTRING, 8}}, {{"ByCode", {1}}}, collection), openMode_(openMode)
    {
        for (const char* code : {"A", "B", "C"}) Add({code});
    }
    void GetCursorProps(CURProps& properties) override
    {
        TFakeKeyedTable::GetCursorProps(properties);
        properties.eOpenMode = openMode_;
        properties.iIndexes = 1;
        if (faults.WithAddress) properties.iFields = 3;
    }
    void GetFieldDescs(FLDDesc* descriptors) override
    {
        TFakeKeyedTable::GetFieldDescs(descriptors);
        if (!faults.WithAddress) return;
        descriptors[1] = descriptors[2] = descriptors[0];
        std::strcpy(descriptors[1].szName, "Address");
        descriptors[1].iFldType = fldADT;
        descriptors[1].iUnits1 = 1;
        std::strcpy(descriptors[2].szName, "Street");
    }
    void GetRecordForKey(bool keyItself, Word fieldCount, Byte* record, const Byte* key, Word length) override
    {
        if (faults.KeySearchFails) RaiseEngineError(DBIERR_INVALIDHNDL);
        SetToKey(keySEARCHEQ, keyItself, fieldCount, length, key);
        if (record) GetRecord(dbiNOLOCK, record, nullptr);
    }

private:
    Integer openMode_;
};

class TCodeDatabase : public TTestDatabase {
    DUN_CLASS(TCodeDatabase, TTestDatabase)
public:
    using TTestDatabase::TTestDatabase;
    TBaseTable* OpenTable(const std::string&, const std::string&, Word, Integer openMode, Integer) override
    {
        faults.OpenModes.push_back(openMode);
        if (faults.PasswordsWanted > 0) {
            --faults.PasswordsWanted;
            RaiseEngineError(DBIERR_NOTSUFFTABLERIGHTS);
        }
        if (faults.ReadOnlyFile && openMode == 0) RaiseEngineError(DBIERR_TABLEREADONLY);
        return CreateObject<TCodeTable>(openMode, Tables());
    }
};

class TCodeSession : public TTestSession {
    DUN_CLASS(TCodeSession, TTestSession)
public:
    using TTestSession::TTestSession;
    TBaseDatabase* CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                  Integer shareMode, const TDatabaseOptions& options) override
    {
        return CreateObject<TCodeDatabase>(this, Databases(), &description, openMode, shareMode, name.c_str(),
                                           options);
    }
};

// The driver classes of these tests: one engine object, one list and one default session.
struct TWorld {
    TVirtEng* Engine = nullptr;
    TbqSessionlist* List = nullptr;
    TbqSession* Default = nullptr;
};
TWorld world;

class TtSessionList : public TbqSessionlist {
    DUN_CLASS(TtSessionList, TbqSessionlist)
public:
    TVirtEng* EngineObject() override { return world.Engine; }
    TbqSession* DefaultSession() override { return world.Default; }
    TClass SessionClass() override;
    void CreateListLock() override {}
    void DeleteListLock() override {}
};

class TtDatabase : public TbqDatabase {
    DUN_CLASS(TtDatabase, TbqDatabase)
public:
    explicit TtDatabase(TComponent* owner) : TbqDatabase(owner) {}
    bool LoginPromptDefault() override { return false; }
    TVirtEng* Engine() override { return world.Engine; }
    void SetSessionList() override { BindSessionList(world.List); }
    TbqSession* DefaultSession() override { return world.Default; }
};

class TtTable : public TbqTable {
    DUN_CLASS(TtTable, TbqTable)
public:
    explicit TtTable(TComponent* owner) : TbqTable(owner) { SetSessionList(); }
    TVirtEng* Engine() const override { return world.Engine; }
    void SetSessionList() override { BindSessionList(world.List); }
    TbqSession* DefaultSession() override { return world.Default; }
    TClass GetBatchMoveClass() override { return nullptr; }
};

class TtSession : public TbqSession {
    DUN_CLASS(TtSession, TbqSession)
public:
    explicit TtSession(TComponent* owner) : TbqSession(owner) {}
    TVirtEng* Engine() override { return world.Engine; }
    void SetEngineObject(TVirtEng* engine) override { world.Engine = engine; }
    void CriticalSectionStart() override {}
    void CriticalSectionEnd() override {}
    void SetSessionList() override { BindSessionList(world.List); }
    TSessionClass GetEngineClass() override { return &MakeSession<TCodeSession>; }
    TbqSession* DefaultSession() override { return world.Default; }
    TClass GetDatabaseClass() override { return TtDatabase::StaticClass(); }
    TClass GetTableClass() override { return TtTable::StaticClass(); }
};

TClass TtSessionList::SessionClass() { return TtSession::StaticClass(); }

class TableComponentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        faults = TFaults{};
        aliases.Add("CODES", {{"PhysicalName", "c:\\codes"}});
        world.List = CreateObject<TtSessionList>();
        world.Default = CreateObject<TtSession>(nullptr);
        world.Default->SetSessionName("Default");
        table = new TtTable(nullptr);
        table->SetDatabaseName("codes");
        table->SetTableName("codes.dat");
    }
    void TearDown() override
    {
        table->Free();
        world.List->Free();
        world = TWorld{};
    }

    TTestAliases aliases;
    TtTable* table = nullptr;
};

TEST_F(TableComponentTest, AReadOnlyFileOpensReadOnly)
{
    faults.ReadOnlyFile = true;
    table->Open();
    EXPECT_EQ(faults.OpenModes, (std::vector<Integer>{0, 1}));
    EXPECT_FALSE(table->CanModify());
}

TEST_F(TableComponentTest, AGrantedPasswordRetriesTheOpenAndARefusedOneRaises)
{
    Integer asked = 0;
    world.Default->OnPassword = [&](TObject*, bool& continueFlag) {
        ++asked;
        continueFlag = true;
    };
    faults.PasswordsWanted = 1;
    table->Open();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(table->Active());
    table->Close();

    world.Default->OnPassword = [&](TObject*, bool& continueFlag) { continueFlag = false; };
    faults.PasswordsWanted = 1;
    EXPECT_THROW(table->Open(), ETDBEngineError);
    EXPECT_FALSE(table->Active());
}

TEST_F(TableComponentTest, FindKeyRaisesFailuresOtherThanAMissingKey)
{
    table->Open();
    EXPECT_TRUE(table->FindKey({"B"}));
    EXPECT_FALSE(table->FindKey({"X"}));
    EXPECT_EQ(table->FieldByName("Code")->AsString(), "B");
    faults.KeySearchFails = true;
    EXPECT_THROW(table->FindKey({"C"}), ETDBEngineError);
}

const char* const StoredDefsModule =
    "object Module: TDataModule\n"
    "  OldCreateOrder = False\n"
    "  object Codes: TtTable\n"
    "    Constraints = <\n"
    "      item\n"
    "        CustomConstraint = 'Code IS NOT NULL'\n"
    "        ErrorMessage = 'A code is needed'\n"
    "      end>\n"
    "    FieldDefs = <\n"
    "      item\n"
    "        Name = 'Code'\n"
    "        DataType = ftString\n"
    "        Size = 8\n"
    "      end>\n"
    "    IndexDefs = <\n"
    "      item\n"
    "        Name = 'ByCode'\n"
    "        Fields = 'Code'\n"
    "        Options = [ixPrimary]\n"
    "      end>\n"
    "    StoreDefs = True\n"
    "  end\n"
    "end\n";

std::string Written(TComponent* root)
{
    std::string text = WriteComponentText(root);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

TEST_F(TableComponentTest, StoredDefinitionsAndConstraintsReadFromAFormAndWriteBack)
{
    RegisterClass(TtTable::StaticClass());
    TDataModule* module = CreateObject<TDataModule>(nullptr);
    ReadComponentText(module, StoredDefsModule);
    auto* codes = dynamic_cast<TtTable*>(module->FindComponent("Codes"));
    ASSERT_TRUE(codes);
    EXPECT_EQ(codes->FieldDefs()->Find("Code")->Size, 8);
    EXPECT_EQ(codes->IndexDefs()->Find("ByCode")->Fields, "Code");
    EXPECT_EQ(codes->Constraints()->Items(0)->ErrorMessage(), "A code is needed");
    EXPECT_EQ(Written(module), StoredDefsModule);

    // Definitions are written only with StoreDefs; constraints whenever there are any.
    codes->SetStoreDefs(false);
    std::string text = Written(module);
    EXPECT_EQ(text.find("Defs ="), std::string::npos) << text;
    EXPECT_NE(text.find("Constraints ="), std::string::npos) << text;
    codes->Constraints()->Clear();
    EXPECT_EQ(Written(module).find("Constraints ="), std::string::npos);

    // A change of the definitions stores them; the index definitions are copied in.
    codes->FieldDefs()->Add("Name", ftString, 20);
    EXPECT_TRUE(codes->StoreDefs());
    TIndexDefs other(codes);
    other.Add("ByName", "Name", {});
    codes->SetIndexDefs(&other);
    ASSERT_EQ(codes->IndexDefs()->Count(), 1);
    EXPECT_EQ(codes->IndexDefs()->Items(0)->Name, "ByName");
    EXPECT_NE(codes->IndexDefs()->Items(0), other.Items(0));
    module->Free();
}

// The engine answers the constraint callback with "not applicable": only a table that cannot modify opens with
// constraints.
TEST_F(TableComponentTest, AModifiableTableWithConstraintsDoesNotOpen)
{
    enum TConstraint { None, Record, Field };
    struct TCase {
        TConstraint Constraint;
        bool ReadOnly;
        bool Opens;
    } cases[] = {{None, false, true}, {Record, false, false}, {Field, false, false}, {Record, true, true},
                 {Field, true, true}};
    for (const TCase& c : cases) {
        TtTable* codes = new TtTable(nullptr);
        codes->SetDatabaseName("codes");
        codes->SetTableName("codes.dat");
        codes->SetReadOnly(c.ReadOnly);
        if (c.Constraint == Record) codes->Constraints()->Add()->SetCustomConstraint("Code IS NOT NULL");
        if (c.Constraint == Field) {
            auto* code = CreateObject<TStringField>(codes);
            code->SetFieldName("Code");
            code->SetSize(8);
            code->SetCustomConstraint("Code <> 'X'");
            code->SetDataSet(codes);
        }
        try {
            codes->Open();
            EXPECT_TRUE(c.Opens) << c.Constraint << c.ReadOnly;
        } catch (const ETDBEngineError& e) {
            EXPECT_FALSE(c.Opens) << c.Constraint << c.ReadOnly;
            EXPECT_EQ(e.Errors(0).ErrorCode, DBIERR_NA);
            EXPECT_EQ(codes->Database(), nullptr) << "the database is released";
        }
        EXPECT_EQ(codes->Active(), c.Opens);
        codes->Free();
    }
}

TEST_F(TableComponentTest, DefinitionsReadFromTheEngineAreNotStored)
{
    faults.WithAddress = true;
    table->Open();
    TFieldDef* address = table->FieldDefs()->Find("Address");
    ASSERT_EQ(address->ChildDefs()->Count(), 1);
    EXPECT_EQ(address->ChildDefs()->Items(0)->Name, "Street");
    EXPECT_FALSE(table->StoreDefs());
    table->FieldDefs()->Add("Extra", ftInteger);
    EXPECT_TRUE(table->StoreDefs());
}

}  // namespace
