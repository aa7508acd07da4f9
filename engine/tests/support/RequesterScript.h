// The test side of the fake requester: records every call and answers from a queue of scripted replies.
#pragma once

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "rtl/Types.h"

struct RecordedCall {
    Word Operation = 0;
    bool WithClientId = false;
    std::array<Byte, 16> ClientId{};
    void* Data = nullptr;
    Word LengthOffered = 0;
    std::vector<Byte> DataIn;  // the offered bytes as they were at the call
    std::vector<Byte> KeyIn;   // KeyLength bytes of the key buffer at the call
    Byte KeyLength = 0;
    ShortInt KeyNumber = 0;
};

struct ScriptedReply {
    SmallInt Status = 0;
    std::vector<Byte> Data;      // written to the data buffer, never past the offered length
    std::optional<Word> Length;  // returned length; default: the bytes of Data, or the offered length
    std::vector<Byte> Key;       // written to the key buffer
};

class RequesterScript {
public:
    static RequesterScript& Instance();

    // Installs the hooks into a loaded fake DLL and clears the script.
    void Install(void* fakeModule);
    void Reset();

    std::vector<RecordedCall> Calls;
    std::deque<ScriptedReply> Replies;  // answered in order; success when empty
    std::vector<std::string> Inits;
    std::deque<SmallInt> InitStatuses;  // 0 when empty
    int Stops = 0;

    std::vector<Word> Operations() const;
    void Queue(SmallInt status, std::vector<Byte> data = {}, std::optional<Word> length = std::nullopt);
};

// A statistics reply: record length, page size, key count, record count, then one entry per segment
// (flags, collating sequence number), then the collating sequences.
struct StatSegment {
    Word Flags = 0;
    Byte Collating = 0;
};
std::vector<Byte> StatReply(Word recordLength, Word keyCount, const std::vector<StatSegment>& segments,
                            Integer records = 0, const std::vector<Byte>& sequences = {});
