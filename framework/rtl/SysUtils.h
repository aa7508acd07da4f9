// The runtime library's routines: strings, Format, numbers, format settings, dates, the clock, files, the
// command line and the exceptions.
#pragma once

#include "rtl/Clock.h"
#include "rtl/CommandLine.h"
#include "rtl/DateFormat.h"
#include "rtl/DateParse.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/FileUtils.h"
#include "rtl/FloatConv.h"
#include "rtl/Format.h"
#include "rtl/FormatSettings.h"
#include "rtl/IntConv.h"
#include "rtl/OSError.h"
#include "rtl/StrBuf.h"
#include "rtl/StringRoutines.h"
#include "rtl/Types.h"
