#include <gtest/gtest.h>

#include "engine/btrieve/BtrLoad.h"
#include "engine/tests/support/FakeRequesterFixture.h"

namespace {

SmallInt PlainCall()
{
    Byte positionBlock[128] = {};
    Byte key[256] = {};
    Word length = 0;
    return BtrCall(6, positionBlock, nullptr, &length, key, 255, 0);
}

using RequesterBinding = FakeDllTest;

TEST_F(RequesterBinding, StartLoadsTheNamedDllAndInitialisesIt)
{
    EXPECT_EQ(StartBtrieveRequester("/options", "fakebtrv.dll"), 0);
    EXPECT_TRUE(IsBtrieveRequesterLoaded());
    EXPECT_EQ(Script().Inits, std::vector<std::string>{"/options"});
    EXPECT_EQ(PlainCall(), 0);
    EXPECT_EQ(Script().Calls.size(), 1u);
    EXPECT_EQ(StopBtrieveRequester(), 0);
    EXPECT_EQ(Script().Stops, 1);
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
}

TEST_F(RequesterBinding, SecondStartInitialisesAgainAndCountsAsSuccess)
{
    Script().InitStatuses = {0, BtrStatus::AlreadyInitialized};
    EXPECT_EQ(StartBtrieveRequester("", "fakebtrv.dll"), 0);
    EXPECT_EQ(StartBtrieveRequester("", "fakebtrv.dll"), BtrStatus::AlreadyInitialized);
    EXPECT_EQ(Script().Inits.size(), 2u);
}

TEST_F(RequesterBinding, OnlyTheLastUsersStopUnloads)
{
    ASSERT_EQ(StartBtrieveRequester("", "fakebtrv.dll"), 0);
    ASSERT_EQ(StartBtrieveRequester("", "fakebtrv.dll"), 0);
    EXPECT_EQ(StopBtrieveRequester(), 0);
    EXPECT_EQ(Script().Stops, 0);
    EXPECT_TRUE(IsBtrieveRequesterLoaded());
    EXPECT_EQ(PlainCall(), 0);
    EXPECT_EQ(Script().Calls.size(), 1u);

    EXPECT_EQ(StopBtrieveRequester(), 0);
    EXPECT_EQ(Script().Stops, 1);
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
}

TEST_F(RequesterBinding, UnloadedBindingAnswersInactiveWithoutACall)
{
    EXPECT_EQ(StopBtrieveRequester(), 0);  // stop without start
    EXPECT_EQ(Script().Stops, 0);
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
    EXPECT_EQ(PlainCall(), BtrStatus::RequesterInactive);
    Byte positionBlock[128] = {};
    Byte key[256] = {};
    Byte clientId[16] = {};
    Word length = 0;
    EXPECT_EQ(BtrCallId(6, positionBlock, nullptr, &length, key, 255, 0, clientId), BtrStatus::RequesterInactive);
    EXPECT_TRUE(Script().Calls.empty());
}

TEST_F(RequesterBinding, MissingDllOrEntryPointReportsInactive)
{
    EXPECT_EQ(StartBtrieveRequester("", "nosuchrequester.dll"), BtrStatus::RequesterInactive);
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
    // fakebtrv_noid.dll has every entry point but BTRCALLID.
    EXPECT_EQ(StartBtrieveRequester("", "fakebtrv_noid.dll"), BtrStatus::RequesterInactive);
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
    EXPECT_EQ(GetModuleHandleA("fakebtrv_noid.dll"), nullptr);
    EXPECT_EQ(PlainCall(), BtrStatus::RequesterInactive);
}

TEST_F(RequesterBinding, FailedFirstInitialisationLeavesNothingLoaded)
{
    Script().InitStatuses = {BtrStatus::RequesterInactive};
    EXPECT_EQ(StartBtrieveRequester("", "fakebtrv.dll"), BtrStatus::RequesterInactive);
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
    EXPECT_EQ(StopBtrieveRequester(), 0);
    EXPECT_EQ(Script().Stops, 0);
}

TEST_F(RequesterBinding, FailedLaterInitialisationKeepsTheOtherUser)
{
    Script().InitStatuses = {0, 2001};
    ASSERT_EQ(StartBtrieveRequester("", "fakebtrv.dll"), 0);
    EXPECT_EQ(StartBtrieveRequester("", "fakebtrv.dll"), 2001);
    EXPECT_TRUE(IsBtrieveRequesterLoaded());
    EXPECT_EQ(StopBtrieveRequester(), 0);
    EXPECT_EQ(Script().Stops, 1);
    EXPECT_FALSE(IsBtrieveRequesterLoaded());
}

TEST_F(RequesterBinding, CallsCarryTheirArguments)
{
    ASSERT_EQ(StartBtrieveRequester("", "fakebtrv.dll"), 0);
    Byte positionBlock[128] = {};
    Byte data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Byte key[256] = {'K', 'E', 'Y'};
    Byte clientId[16] = {};
    clientId[12] = 'A';
    clientId[15] = 7;
    Word length = 8;
    Script().Queue(84, {9, 9}, Word(2));
    EXPECT_EQ(BtrCallId(205, positionBlock, data, &length, key, 3, 2, clientId), 84);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(data[0], 9);
    ASSERT_EQ(Script().Calls.size(), 1u);
    const RecordedCall& call = Script().Calls[0];
    EXPECT_EQ(call.Operation, 205);
    EXPECT_TRUE(call.WithClientId);
    EXPECT_EQ(call.ClientId[12], 'A');
    EXPECT_EQ(call.ClientId[15], 7);
    EXPECT_EQ(call.LengthOffered, 8);
    EXPECT_EQ(call.KeyIn, (std::vector<Byte>{'K', 'E', 'Y'}));
    EXPECT_EQ(call.KeyNumber, 2);
}

}  // namespace
