#include "engine/tests/support/RequesterScript.h"

#include <algorithm>
#include <cstring>

#include "engine/tests/support/FakeRequesterHooks.h"
#include "rtl/WinApi.h"

namespace {

int16_t CallHook(uint16_t operation, void*, void* data, uint16_t* length, void* key, uint8_t keyLength,
                 int8_t keyNumber, const void* clientId)
{
    RequesterScript& script = RequesterScript::Instance();
    RecordedCall call;
    call.Operation = operation;
    call.WithClientId = clientId != nullptr;
    if (clientId) std::memcpy(call.ClientId.data(), clientId, call.ClientId.size());
    call.Data = data;
    call.LengthOffered = *length;
    if (data) call.DataIn.assign(static_cast<Byte*>(data), static_cast<Byte*>(data) + *length);
    if (key) call.KeyIn.assign(static_cast<Byte*>(key), static_cast<Byte*>(key) + keyLength);
    call.KeyLength = keyLength;
    call.KeyNumber = keyNumber;
    script.Calls.push_back(call);

    if (script.Replies.empty()) return 0;
    const ScriptedReply reply = script.Replies.front();
    script.Replies.pop_front();
    const size_t written = std::min<size_t>(reply.Data.size(), *length);
    if (data && written) std::memcpy(data, reply.Data.data(), written);
    if (key && !reply.Key.empty()) std::memcpy(key, reply.Key.data(), std::min<size_t>(reply.Key.size(), keyLength));
    if (reply.Length) *length = *reply.Length;
    else if (!reply.Data.empty()) *length = Word(written);
    return reply.Status;
}

int16_t InitHook(const char* options)
{
    RequesterScript& script = RequesterScript::Instance();
    script.Inits.push_back(options ? options : "<null>");
    if (script.InitStatuses.empty()) return 0;
    const SmallInt status = script.InitStatuses.front();
    script.InitStatuses.pop_front();
    return status;
}

int16_t StopHook()
{
    ++RequesterScript::Instance().Stops;
    return 0;
}

}  // namespace

RequesterScript& RequesterScript::Instance()
{
    static RequesterScript script;
    return script;
}

void RequesterScript::Install(void* fakeModule)
{
    static const FakeRequesterHooks hooks{&CallHook, &InitHook, &StopHook};
    auto setHooks = reinterpret_cast<FakeRequesterSetHooksProc>(
            reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(fakeModule), "FakeRequesterSetHooks")));
    if (setHooks) setHooks(&hooks);
    Reset();
}

void RequesterScript::Reset()
{
    Calls.clear();
    Replies.clear();
    Inits.clear();
    InitStatuses.clear();
    Stops = 0;
}

std::vector<Word> RequesterScript::Operations() const
{
    std::vector<Word> operations;
    for (const RecordedCall& call : Calls) operations.push_back(call.Operation);
    return operations;
}

void RequesterScript::Queue(SmallInt status, std::vector<Byte> data, std::optional<Word> length)
{
    Replies.push_back(ScriptedReply{status, std::move(data), length, {}});
}

std::vector<Byte> StatReply(Word recordLength, Word keyCount, const std::vector<StatSegment>& segments,
                            Integer records, const std::vector<Byte>& sequences)
{
    std::vector<Byte> reply(16 + segments.size() * 16);
    const Word pageSize = 4096;
    std::memcpy(&reply[0], &recordLength, 2);
    std::memcpy(&reply[2], &pageSize, 2);
    std::memcpy(&reply[4], &keyCount, 2);
    std::memcpy(&reply[6], &records, 4);
    for (size_t i = 0; i < segments.size(); ++i) {
        std::memcpy(&reply[16 + i * 16 + 4], &segments[i].Flags, 2);
        reply[16 + i * 16 + 15] = segments[i].Collating;
    }
    reply.insert(reply.end(), sequences.begin(), sequences.end());
    return reply;
}
