// The dataset components' engine error: a failed facade result raised with the entries of the engine's error stack.
#pragma once

#include <string>
#include <vector>

#include "db/DBErrors.h"
#include "rtl/Types.h"

class TVirtEng;

// One entry of an ETDBEngineError.
struct TbqError {
    Word ErrorCode = 0;
    Integer NativeError = 0;
    std::string Message;
};

class ETDBEngineError : public EDatabaseError {
public:
    // Reads the engine's error stack for the failure with this code.
    ETDBEngineError(TVirtEng* engine, Word code);

    Integer ErrorCount() const { return Integer(errors_.size()); }
    // Entry 0 is the code that was raised; the others follow the error stack.
    const TbqError& Errors(Integer index) const { return errors_.at(index); }

private:
    std::vector<TbqError> errors_;
};

// Code that lists its stack entries without the texts of their codes.
constexpr Word DBIERR_NOCODETEXT = 0x2EC4;

[[noreturn]] void RaiseEngineError(TVirtEng* engine, Word code);
// Raises ETDBEngineError when the low 16 bits of result are not 0.
void CheckEngineResult(TVirtEng* engine, Cardinal result);
