// The entry points of the field-conversion DLL (boreac32.dll), shared by the DLL and the engine that binds them.
//
// Every entry point is __stdcall and answers 0 on success, anything else on failure. Numbers pass as 64-bit floats.
// Dates and times pass through an intermediate value: a date-time of the platform (days since 30 Dec 1899, the
// fraction the time of day). "Btrieve" dates and times are the record manager's 4-byte forms: day, month, 16-bit
// year; hundredths, seconds, minutes, hours.
#pragma once

#include <cstdint>

namespace FieldConv {

using Result = int16_t;
using Intermediate = double;

// Dates and times of a private format to and from the intermediate value.
using GetDateTimeFn = Result(__stdcall*)(const void* source, Intermediate* value);
using SetDateTimeFn = Result(__stdcall*)(void* destination, Intermediate value);
// The day-count date: stored = days since 1 Jan 0001 (that day being 1) - dayBase.
using GetDayCountFn = Result(__stdcall*)(const void* source, Intermediate* value, int32_t dayBase);
using SetDayCountFn = Result(__stdcall*)(void* destination, int32_t dayBase, Intermediate value);
// A binary integer of size bytes scaled by 10^decimals; isSigned, bigEndian choose the variant.
using GetBinaryFn = Result(__stdcall*)(const void* source, int32_t size, int32_t decimals, double* value,
                                       int32_t isSigned, int32_t bigEndian);
using SetBinaryFn = Result(__stdcall*)(void* destination, int32_t size, int32_t decimals, double value,
                                       int32_t isSigned, int32_t bigEndian);
using GetSizedNumberFn = Result(__stdcall*)(const void* source, int32_t size, double* value);
using SetSizedNumberFn = Result(__stdcall*)(void* destination, int32_t size, double value);
using GetScaledNumberFn = Result(__stdcall*)(const void* source, int32_t size, int32_t decimals, double* value);
using SetScaledNumberFn = Result(__stdcall*)(void* destination, int32_t size, int32_t decimals, double value);
using GetNumberFn = Result(__stdcall*)(const void* source, double* value);
using SetNumberFn = Result(__stdcall*)(void* destination, double value);

}  // namespace FieldConv
