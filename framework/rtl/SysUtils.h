// The runtime library's routines: strings, Format, numbers, format settings, dates, files and the exceptions.
#pragma once

#include "rtl/Exceptions.h"
#include "rtl/FloatConv.h"
#include "rtl/Format.h"
#include "rtl/FormatSettings.h"
#include "rtl/IntConv.h"
#include "rtl/StringRoutines.h"
#include "rtl/Types.h"
