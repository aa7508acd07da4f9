// Engine errors: the exception classes every engine object raises, their codes and the raising routines.
#pragma once

#include <string>

#include "rtl/Exceptions.h"
#include "rtl/Types.h"

// Engine error codes (the platform database engine's numbering) that the engine raises or maps to.
constexpr Word DBIERR_NONE = 0x0000;
constexpr Word DBIERR_SYSCORRUPT = 0x2103;
constexpr Word DBIERR_BOF = 0x2201;
constexpr Word DBIERR_EOF = 0x2202;
constexpr Word DBIERR_NOCURRREC = 0x2205;
constexpr Word DBIERR_RECNOTFOUND = 0x2206;
constexpr Word DBIERR_READERR = 0x2401;
constexpr Word DBIERR_WRITEERR = 0x2402;
constexpr Word DBIERR_NOMEMORY = 0x2501;
constexpr Word DBIERR_NOFILEHANDLES = 0x2502;
constexpr Word DBIERR_NODISKSPACE = 0x2503;
constexpr Word DBIERR_RECTOOBIG = 0x2505;
constexpr Word DBIERR_CURSORLIMIT = 0x2506;
constexpr Word DBIERR_OPENTBLLIMIT = 0x250B;
constexpr Word DBIERR_CLIENTSLIMIT = 0x250E;
constexpr Word DBIERR_DBLIMIT = 0x2511;
constexpr Word DBIERR_LOCKFILELIMIT = 0x2517;
constexpr Word DBIERR_KEYVIOL = 0x2601;
constexpr Word DBIERR_INVALIDPARAM = 0x2702;
constexpr Word DBIERR_INVALIDFILENAME = 0x2703;
constexpr Word DBIERR_NOSUCHFILE = 0x2704;
constexpr Word DBIERR_INVALIDHNDL = 0x2706;
constexpr Word DBIERR_UNKNOWNFILE = 0x2708;
constexpr Word DBIERR_NOSUCHINDEX = 0x270D;
constexpr Word DBIERR_INVALIDRECSTRUCT = 0x2713;
constexpr Word DBIERR_UNKNOWNDB = 0x271E;
constexpr Word DBIERR_INVALIDPASSWORD = 0x271F;
constexpr Word DBIERR_INVALIDDIR = 0x2722;
constexpr Word DBIERR_INVALIDINDEXNAME = 0x2726;
constexpr Word DBIERR_INVALIDIDXDESC = 0x2727;
constexpr Word DBIERR_NOSUCHTABLE = 0x2728;
constexpr Word DBIERR_USECOUNT = 0x2729;
constexpr Word DBIERR_INVALIDMODE = 0x2731;
constexpr Word DBIERR_CANNOTCLOSE = 0x2732;
constexpr Word DBIERR_INVALIDUSRPASS = 0x2734;
constexpr Word DBIERR_NOSUCHFILTER = 0x2742;
constexpr Word DBIERR_INVALIDTABLECREATE = 0x2744;
constexpr Word DBIERR_LOCKED = 0x2801;
constexpr Word DBIERR_FILEBUSY = 0x2803;
constexpr Word DBIERR_LOSTEXCLACCESS = 0x280C;
constexpr Word DBIERR_DEADLOCK = 0x280F;
constexpr Word DBIERR_NA = 0x2A04;
constexpr Word DBIERR_NOTINDEXED = 0x2A05;
constexpr Word DBIERR_NOTINITIALIZED = 0x2A06;
constexpr Word DBIERR_NOTABLESUPPORT = 0x2A0E;
constexpr Word DBIERR_NOUNIQUERECS = 0x2A10;
constexpr Word DBIERR_OSUNKNOWNSRVERR = 0x2B66;
constexpr Word DBIERR_NOTSUPPORTED = 0x3001;

// Longest context text an engine error keeps.
constexpr size_t EngineErrorTextMax = 255;

// One engine failure: a 16-bit engine code, an optional context text and the driver's own error number.
// Its message is always empty; GetNativeText gives the driver's text.
class EBoreaEngineError : public EAbort {
public:
    explicit EBoreaEngineError(Word code);
    EBoreaEngineError(Word code, const std::string& text);

    Word Code() const { return code_; }
    const std::string& Text() const { return text_; }
    Integer NativeCode() const { return nativeCode_; }

    virtual void GetNativeText(std::string& text) const;

protected:
    void SetNativeCode(Integer nativeCode) { nativeCode_ = nativeCode; }

private:
    Word code_;
    std::string text_;
    Integer nativeCode_ = 0;
};

// The common base of the two end-of-data errors: what navigation loops catch to detect an end.
class EBoreaBoundryError : public EBoreaEngineError {
public:
    using EBoreaEngineError::EBoreaEngineError;
};

class EBoreaEOFError : public EBoreaBoundryError {
public:
    EBoreaEOFError() : EBoreaBoundryError(DBIERR_EOF) {}
};

class EBoreaBOFError : public EBoreaBoundryError {
public:
    EBoreaBOFError() : EBoreaBoundryError(DBIERR_BOF) {}
};

[[noreturn]] void RaiseEngineError(Word code);
[[noreturn]] void RaiseEngineErrorText(Word code, const std::string& text);
[[noreturn]] void RaiseEOF();
[[noreturn]] void RaiseBOF();
// Raises code when condition is false.
bool CheckCondition(bool condition, Word code);
// Raises DBIERR_NOTSUPPORTED with the program's string textId (empty when the program has none).
[[noreturn]] void RaiseNotSupported(Integer textId);

// Raises DBIERR_INVALIDPARAM for a null reference, else returns it.
template <class T>
T* CheckParam(T* reference)
{
    CheckCondition(reference != nullptr, DBIERR_INVALIDPARAM);
    return reference;
}

// Raises DBIERR_INVALIDHNDL for a null handle, else returns it.
template <class T>
T* CheckHandle(T* reference)
{
    CheckCondition(reference != nullptr, DBIERR_INVALIDHNDL);
    return reference;
}

// A driver's status and the engine code it stands for.
struct TStatusCodePair {
    Word Status;
    Word Code;
};

// The code of the first pair whose status matches; the status itself when none does, for status 0 or count <= 0.
Word MapStatusToCode(const TStatusCodePair* pairs, Integer count, Word status);

// The program's string-table entry id, empty when there is none.
std::string LoadProgramString(Integer id);
