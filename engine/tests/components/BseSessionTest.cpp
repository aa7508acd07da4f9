// The session list, session and database components over the facade with a test session: the default session and
// the engine object, automatic and duplicate session names, configuration parameters, temporary databases by name,
// logins, failed opens and deactivation.
#include <memory>
#include <mutex>
#include <string>

#include <gtest/gtest.h>

#include "engine/components/BseDatabase.h"
#include "engine/components/BseMainErr.h"
#include "engine/components/BseSession.h"
#include "engine/core/BseEng.h"
#include "engine/tests/support/SessTestSupport.h"
#include "rtl/StringRoutines.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

namespace {

// What the engine was last asked to open.
struct TOpenCall {
    std::string Name;
    std::string Password;
    Integer OpenMode = -1;
    Integer ShareMode = -1;
};
TOpenCall lastOpen;

class TRecordingSession : public TTestSession {
    DUN_CLASS(TRecordingSession, TTestSession)
public:
    using TTestSession::TTestSession;
    static inline bool FailOpen = false;
    TBaseDatabase* OpenDatabase(const char* name, const char* type, Integer openMode, Integer shareMode,
                                const char* password, const TDatabaseOptions& options) override
    {
        lastOpen = {name, password ? password : "", openMode, shareMode};
        if (FailOpen) RaiseEngineErrorText(DBIERR_INVALIDDIR, name);
        return TTestSession::OpenDatabase(name, type, openMode, shareMode, password, options);
    }
};

class TtSessionList;
class TtSession;

// What the driver classes of these tests share: one engine object, one list, one default session, one lock.
struct TWorld {
    TVirtEng* Engine = nullptr;
    TtSessionList* List = nullptr;
    TtSession* Default = nullptr;
    std::recursive_mutex Lock;
    TSessionClass EngineClass = &MakeSession<TRecordingSession>;
    Integer LocksHeld = 0;
};
TWorld* world = nullptr;

class TtSessionList : public TbqSessionlist {
    DUN_CLASS(TtSessionList, TbqSessionlist)
public:
    TVirtEng* EngineObject() override { return world->Engine; }
    TbqSession* DefaultSession() override;
    TClass SessionClass() override;
    void CreateListLock() override { ++world->LocksHeld; }
    void DeleteListLock() override { --world->LocksHeld; }
};

class TtDatabase : public TbqDatabase {
    DUN_CLASS(TtDatabase, TbqDatabase)
public:
    explicit TtDatabase(TComponent* owner) : TbqDatabase(owner) {}
    bool LoginPromptDefault() override { return false; }
    TVirtEng* Engine() override { return world->Engine; }
    void SetSessionList() override;
    TbqSession* DefaultSession() override;
};

class TtSession : public TbqSession {
    DUN_CLASS(TtSession, TbqSession)
public:
    explicit TtSession(TComponent* owner) : TbqSession(owner) {}
    TVirtEng* Engine() override { return world->Engine; }
    void SetEngineObject(TVirtEng* engine) override { world->Engine = engine; }
    void CriticalSectionStart() override { world->Lock.lock(); }
    void CriticalSectionEnd() override { world->Lock.unlock(); }
    void SetSessionList() override { BindSessionList(world->List); }
    TSessionClass GetEngineClass() override { return world->EngineClass; }
    TbqSession* DefaultSession() override { return world->Default; }
    TClass GetDatabaseClass() override { return TtDatabase::StaticClass(); }
    TClass GetTableClass() override { return nullptr; }
};

TbqSession* TtSessionList::DefaultSession() { return world->Default; }
TClass TtSessionList::SessionClass() { return TtSession::StaticClass(); }
void TtDatabase::SetSessionList() { BindSessionList(world->List); }
TbqSession* TtDatabase::DefaultSession() { return world->Default; }

class TFailingStart : public TTestSession {
    DUN_CLASS(TFailingStart, TTestSession)
public:
    using TTestSession::TTestSession;
    void AfterCreate() override { RaiseEngineErrorText(DBIERR_NOTINITIALIZED, "no requester"); }
};

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& error) {
        return error.Message();
    }
    return "(no error)";
}

// Saves the form's image in the temporary folder, to be looked at.
void SaveScreenshot(TCustomForm* form, const std::string& name)
{
    PumpMessages();
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), std::string(folder) + name));
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world = &state;
        state.List = CreateObject<TtSessionList>();
        state.Default = CreateObject<TtSession>(nullptr);
        state.Default->SetSessionName("Default");
    }
    void TearDown() override
    {
        state.List->Free();
        EXPECT_EQ(state.Engine, nullptr);
        EXPECT_EQ(state.LocksHeld, 0);
        world = nullptr;
    }

    // The result of the engine session's ConfigPathExists.
    Word CodeOfConfigPath(const std::string& path)
    {
        try {
            state.Default->Handle()->ConfigPathExists(path);
        } catch (const EBoreaEngineError& error) {
            return error.Code();
        }
        return 0;
    }

    TTestAliases aliases;
    TWorld state;
};

TEST_F(SessionTest, WithoutAHandlerThePasswordDialogAsksWhetherToTryAgain)
{
    TScriptedDialogs dialogs;
    dialogs.AnswerNextModalForm([](TCustomForm* form) {
        PumpMessages();
        TypeText("secret");
        EXPECT_EQ(static_cast<TEdit*>(form->FindComponent("PasswordEdit"))->Text(), "secret");
        SaveScreenshot(form, "engine-password-dialog.png");
        TypeKey(VK_RETURN);
    });
    EXPECT_TRUE(state.Default->GetPassword());
    dialogs.AnswerNextModalForm([](TCustomForm* form) {
        ClickControl(static_cast<TButton*>(form->FindComponent("CancelButton")));
    });
    EXPECT_FALSE(state.Default->GetPassword());

    state.Default->OnPassword = [](TObject*, bool& continueFlag) { continueFlag = true; };
    EXPECT_TRUE(state.Default->GetPassword());
}

TEST_F(SessionTest, DefaultSessionOwnsTheEngineAndOtherSessionsStartItFirst)
{
    EXPECT_TRUE(state.Default->IsDefault());
    EXPECT_FALSE(state.Default->Active());
    EXPECT_EQ(state.Engine, nullptr);

    auto* second = CreateObject<TtSession>(nullptr);
    EXPECT_FALSE(second->IsDefault());
    second->SetSessionName("Second");
    second->SetActive(true);
    EXPECT_TRUE(state.Default->Active());
    ASSERT_NE(state.Engine, nullptr);
    EXPECT_NE(second->Handle(), state.Default->Handle());
    EXPECT_EQ(second->GetConfigMode(), cfgModeSession);

    second->Free();
    EXPECT_TRUE(state.Default->Active());
    state.Default->SetActive(false);
    EXPECT_EQ(state.Engine, nullptr);
}

TEST_F(SessionTest, StoppingTheDefaultSessionStopsTheSessionsOnItsEngine)
{
    auto* second = CreateObject<TtSession>(nullptr);
    second->SetSessionName("Second");
    auto* database = CreateObject<TtDatabase>(second);
    database->SetDatabaseName("c:\\data");
    database->Open();
    state.Default->SetActive(false);
    EXPECT_FALSE(second->Active());
    EXPECT_FALSE(database->Connected());
    EXPECT_EQ(state.Engine, nullptr);
    second->Free();
}

TEST_F(SessionTest, ListFindsSessionsByNameIgnoringCase)
{
    auto* second = CreateObject<TtSession>(nullptr);
    second->SetSessionName("Second");
    EXPECT_EQ(state.List->FindSession(""), state.Default);
    EXPECT_EQ(state.List->FindSession("sECOND"), second);
    EXPECT_EQ(state.List->FindSession("third"), nullptr);
    EXPECT_EQ(MessageOf([&] { state.List->GetSession("third"); }), "Invalid session name third");
    EXPECT_EQ(MessageOf([&] { second->SetSessionName("DEFAULT"); }), "Duplicate session name 'DEFAULT'");
    EXPECT_EQ(second->SessionName(), "Second");
}

TEST_F(SessionTest, SessionRulesRaiseThePlatformTexts)
{
    auto* unnamed = CreateObject<TtSession>(nullptr);
    EXPECT_EQ(MessageOf([&] { unnamed->SetActive(true); }), "Session name missing");
    EXPECT_FALSE(unnamed->Active());
    state.Default->SetActive(true);
    EXPECT_EQ(MessageOf([&] { state.Default->SetSessionName("Other"); }),
              "Cannot perform this operation on an active session");
    EXPECT_EQ(MessageOf([&] { state.Default->SetAutoSessionName(true); }),
              "Cannot perform this operation on an active session");
}

TEST_F(SessionTest, FailedEngineStartIsRaisedAndLeavesTheSessionInactive)
{
    state.EngineClass = &MakeSession<TFailingStart>;
    try {
        state.Default->SetActive(true);
        FAIL();
    } catch (const ETDBEngineError& error) {
        EXPECT_EQ(error.Errors(0).ErrorCode, DBIERR_NOTINITIALIZED);
    }
    EXPECT_FALSE(state.Default->Active());
    EXPECT_EQ(state.Engine, nullptr);
}

TEST_F(SessionTest, AutomaticSessionNamesTakeTheLowestFreeNumber)
{
    std::unique_ptr<TComponent, void (*)(TComponent*)> form1(new TComponent(nullptr), [](TComponent* c) { c->Free(); });
    std::unique_ptr<TComponent, void (*)(TComponent*)> form2(new TComponent(nullptr), [](TComponent* c) { c->Free(); });
    auto* first = CreateObject<TtSession>(form1.get());
    first->SetName("Session1");
    first->SetAutoSessionName(true);
    EXPECT_EQ(first->SessionName(), "Session1_1");
    EXPECT_EQ(MessageOf([&] { first->SetSessionName("x"); }),
              "Session1: Cannot modify SessionName while AutoSessionName is enabled");

    auto* database = CreateObject<TtDatabase>(form1.get());
    EXPECT_EQ(database->Session(), first);
    EXPECT_EQ(database->SessionName(), "Session1_1");

    auto* second = CreateObject<TtSession>(form2.get());
    second->SetName("Session1");
    second->SetAutoSessionName(true);
    EXPECT_EQ(second->SessionName(), "Session1_2");
    second->SetName("Other");
    EXPECT_EQ(second->SessionName(), "Other_2");

    form2.reset();  // freeing keeps number 2 taken
    first->SetAutoSessionName(false);
    auto* third = CreateObject<TtSession>(form1.get());
    EXPECT_EQ(MessageOf([&] { third->SetAutoSessionName(true); }),
              "Cannot enable AutoSessionName property with more than one session on a form or data-module");
    third->Free();
    first->SetAutoSessionName(true);
    EXPECT_EQ(first->SessionName(), "Session1_1");
    auto* fourth = CreateObject<TtSession>(nullptr);
    fourth->SetName("S");
    fourth->SetAutoSessionName(true);
    EXPECT_EQ(fourth->SessionName(), "S_3");
    fourth->Free();
}

TEST_F(SessionTest, SecondSessionBesideAnAutoNamedOneIsRefused)
{
    TComponent* form = new TComponent(nullptr);
    auto* first = CreateObject<TtSession>(form);
    first->SetName("Session1");
    first->SetAutoSessionName(true);
    EXPECT_EQ(MessageOf([&] { CreateObject<TtSession>(form); }),
              "Cannot add a session to the form or data-module while session 'Session1' has AutoSessionName enabled");
    form->Free();
}

TEST_F(SessionTest, ConfigurationParameters)
{
    TStringList list;
    state.Default->GetDriverParams("standard", &list);
    EXPECT_EQ(list.Text(), "PATH=\r\n");

    aliases.Add("HOST", {{"PhysicalName", "c:\\host"}, {"Description", "d"}});
    state.Default->GetAliasParams("host", &list);
    EXPECT_EQ(list.Values("PhysicalName"), "c:\\host");
    EXPECT_EQ(list.Values("Description"), "d");
    EXPECT_GE(list.IndexOfName("USER NAME"), 0);
    EXPECT_TRUE(state.Default->Active());

    state.Default->SetConfigMode(7);
    EXPECT_EQ(state.Default->GetConfigMode(), 2);
}

TEST_F(SessionTest, DirectoriesReadFromAnActiveSessionAreUpperCase)
{
    state.Default->SetNetFileDir("c:\\net");
    EXPECT_EQ(state.Default->NetFileDir(), "c:\\net");
    state.Default->SetActive(true);
    const std::string netDir = state.Default->NetFileDir();
    EXPECT_FALSE(netDir.empty());
    EXPECT_EQ(netDir, AnsiUpperCase(netDir));
    state.Default->SetPrivateDir("c:\\priv");
    EXPECT_EQ(state.Default->PrivateDir(), AnsiUpperCase(state.Default->PrivateDir()));
}

// ---- databases ----

TEST_F(SessionTest, TablesOfOneNameShareATemporaryDatabase)
{
    aliases.Add("vavuz", {{"PhysicalName", "c:\\host"}});
    TbqDatabase* first = state.Default->OpenDatabase("vavuz", nullptr);
    TbqDatabase* second = state.Default->OpenDatabase("VAVUZ", nullptr);
    ASSERT_EQ(first, second);
    EXPECT_TRUE(first->Temporary());
    EXPECT_TRUE(first->Connected());
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_EQ(first->Owner(), state.Default);
    EXPECT_FALSE(first->IsSQLBased());
    EXPECT_EQ(MessageOf([&] { first->SetDatabaseName("other"); }),
              "Cannot perform this operation on an open database");

    // Kept open for reuse by default; freed with the last user once it no longer keeps its connection.
    state.Default->CloseDatabase(first);
    state.Default->CloseDatabase(first);
    EXPECT_EQ(state.Default->DatabaseCount(), 1);
    EXPECT_TRUE(first->Connected());
    TbqDatabase* again = state.Default->OpenDatabase("vavuz", nullptr);
    ASSERT_EQ(again, first);
    again->SetKeepConnection(false);
    state.Default->CloseDatabase(again);
    EXPECT_EQ(state.Default->DatabaseCount(), 0);
}

TEST_F(SessionTest, ANamedDatabaseReplacesAnUnusedTemporaryOne)
{
    aliases.Add("vavuz", {{"PhysicalName", "c:\\host"}});
    TbqDatabase* temporary = state.Default->OpenDatabase("vavuz", nullptr);
    auto* named = CreateObject<TtDatabase>(nullptr);
    EXPECT_EQ(MessageOf([&] { named->SetDatabaseName("VAVUZ"); }), "Duplicate database name 'VAVUZ'");

    state.Default->CloseDatabase(temporary);
    named->SetDatabaseName("VAVUZ");
    ASSERT_EQ(state.Default->DatabaseCount(), 1);
    EXPECT_EQ(state.Default->Databases(0), named);
    EXPECT_EQ(state.Default->OpenDatabase("vavuz", nullptr), named);
    EXPECT_EQ(named->RefCount(), 1);
    named->Free();
}

TEST_F(SessionTest, FailedOpenFreesTheTemporaryDatabase)
{
    EXPECT_THROW(state.Default->OpenDatabase("nosuchalias", nullptr), ETDBEngineError);
    EXPECT_EQ(state.Default->DatabaseCount(), 0);
}

TEST_F(SessionTest, DatabaseComponentNamesAndSessions)
{
    auto* database = CreateObject<TtDatabase>(nullptr);
    EXPECT_FALSE(database->LoginPrompt());
    EXPECT_EQ(database->Session(), state.Default);
    EXPECT_EQ(database->SessionName(), "Default");
    EXPECT_EQ(MessageOf([&] { database->Open(); }), "Database name missing");

    database->SetDatabaseName("c:\\data");
    auto* twin = CreateObject<TtDatabase>(nullptr);
    EXPECT_EQ(MessageOf([&] { twin->SetDatabaseName("C:\\DATA"); }), "Duplicate database name 'C:\\DATA'");
    twin->Free();

    auto* second = CreateObject<TtSession>(nullptr);
    second->SetSessionName("Second");
    database->SetSessionName("second");
    EXPECT_EQ(database->Session(), second);
    EXPECT_FALSE(second->Active());
    database->Open();
    EXPECT_TRUE(second->Active());
    EXPECT_EQ(second->DatabaseCount(), 1);
    EXPECT_EQ(state.Default->DatabaseCount(), 0);

    // A database component is closed, not freed, when its session stops.
    second->SetActive(false);
    EXPECT_FALSE(database->Connected());
    EXPECT_EQ(second->DatabaseCount(), 1);
    database->Free();
    EXPECT_EQ(second->DatabaseCount(), 0);
}

TEST_F(SessionTest, ReadOnlyAndExclusiveChooseTheOpenAndShareModes)
{
    struct TCase {
        bool ReadOnly;
        bool Exclusive;
        Integer OpenMode;
        Integer ShareMode;
    };
    for (const TCase& c : {TCase{false, false, 0, 0}, TCase{true, false, 1, 0}, TCase{false, true, 0, 1}}) {
        auto* database = CreateObject<TtDatabase>(nullptr);
        database->SetDatabaseName("c:\\data");
        database->SetReadOnly(c.ReadOnly);
        database->SetExclusive(c.Exclusive);
        database->Open();
        EXPECT_EQ(lastOpen.Name, "c:\\data");
        EXPECT_EQ(lastOpen.OpenMode, c.OpenMode);
        EXPECT_EQ(lastOpen.ShareMode, c.ShareMode);
        EXPECT_EQ(MessageOf([&] { database->SetReadOnly(false); }),
                  "Cannot perform this operation on an open database");
        database->Free();
    }
}

TEST_F(SessionTest, TemporaryDatabasesGoWithTheirSession)
{
    aliases.Add("vavuz", {{"PhysicalName", "c:\\host"}});
    state.Default->OpenDatabase("vavuz", nullptr);
    ASSERT_EQ(state.Default->DatabaseCount(), 1);
    state.Default->SetActive(false);
    EXPECT_EQ(state.Default->DatabaseCount(), 0);
}

TEST_F(SessionTest, ADatabaseOnAnotherAliasOpensAnAliasOfItsOwnUntilItCloses)
{
    aliases.Add("host", {{"PhysicalName", "c:\\host"}});
    aliases.Add("other", {{"PhysicalName", "c:\\other"}});
    auto* database = CreateObject<TtDatabase>(nullptr);
    database->SetDatabaseName("mine");
    database->SetAliasName("host");
    database->Params()->Add("PhysicalName=c:\\merged");
    database->Open();
    EXPECT_EQ(lastOpen.Name, "mine");
    EXPECT_EQ(std::string(database->Handle()->Description().szPhyName), "c:\\merged") << "its parameter merged";
    EXPECT_EQ(CodeOfConfigPath("\\DATABASES\\mine\\"), 0) << "the alias of its own";
    database->Close();
    EXPECT_EQ(CodeOfConfigPath("\\DATABASES\\mine\\"), DBIERR_EOF) << "removed on close";

    // Opened again on another alias, it finds that alias's directory.
    database->Params()->Clear();
    database->SetAliasName("other");
    database->Open();
    EXPECT_EQ(std::string(database->Handle()->Description().szPhyName), "c:\\other");
    database->Close();

    TRecordingSession::FailOpen = true;
    EXPECT_THROW(database->Open(), EDatabaseError);
    TRecordingSession::FailOpen = false;
    EXPECT_FALSE(database->Connected());
    EXPECT_EQ(CodeOfConfigPath("\\DATABASES\\mine\\"), DBIERR_EOF) << "removed after a failed open";
    database->Free();
}

TEST_F(SessionTest, LoginAsksTheHandlerOrTheLoginDialog)
{
    aliases.Add("secure", {{"PhysicalName", "c:\\s"}, {"USER", "anna"}});
    auto* database = CreateObject<TtDatabase>(nullptr);
    database->SetLoginPrompt(true);
    database->SetDatabaseName("secure");
    TScriptedDialogs dialogs;
    std::string shownDatabase;
    std::string shownUser;
    dialogs.AnswerNextModalForm([&](TCustomForm* form) {
        shownDatabase = static_cast<TLabel*>(form->FindComponent("DatabaseName"))->Caption();
        shownUser = static_cast<TEdit*>(form->FindComponent("UserNameEdit"))->Text();
        SaveScreenshot(form, "engine-login-dialog.png");
        TypeKey(VK_ESCAPE);
    });
    EXPECT_EQ(MessageOf([&] { database->Open(); }), "Cannot connect to database 'secure'");
    EXPECT_FALSE(database->Connected());
    EXPECT_EQ(shownDatabase, "secure");
    EXPECT_EQ(shownUser, "anna");

    // The password field has the focus; the user name can be changed too.
    dialogs.AnswerNextModalForm([&](TCustomForm* form) {
        PumpMessages();
        TypeText("pw");
        ClickControl(static_cast<TEdit*>(form->FindComponent("UserNameEdit")));
        TypeKey(VK_END);
        TypeText("x");
        TypeKey(VK_RETURN);
    });
    database->Open();
    EXPECT_TRUE(database->Connected());
    EXPECT_EQ(lastOpen.Password, "pw");
    EXPECT_EQ(database->Params()->Values("USER NAME"), "annax");
    database->Close();
    database->Params()->SetValues("USER NAME", "anna");

    std::string askedUser;
    database->OnLogin = [&](TbqDatabase*, TStrings* login) {
        askedUser = login->Values("USER NAME");
        login->SetValues("USER NAME", "bert");
        login->SetValues("PASSWORD", "pw");
    };
    database->Open();
    EXPECT_TRUE(database->Connected());
    EXPECT_EQ(askedUser, "anna");
    EXPECT_EQ(lastOpen.Password, "pw");
    EXPECT_EQ(database->Params()->Values("USER NAME"), "bert");
    database->Close();

    // Without the prompt, no handler runs.
    askedUser.clear();
    database->SetLoginPrompt(false);
    database->Params()->SetValues("PASSWORD", "secret");
    database->Open();
    EXPECT_TRUE(database->Connected());
    EXPECT_EQ(askedUser, "");
    EXPECT_EQ(lastOpen.Password, "secret");
    EXPECT_EQ(MessageOf([&] { database->Params()->Add("X=1"); }),
              "Cannot perform this operation on an open database");
    database->Free();
}

}  // namespace
