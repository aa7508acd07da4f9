// The classes unit: objects, lists, string lists and streams.
#pragma once

#include "rtl/Lists.h"
#include "rtl/Objects.h"
#include "rtl/Streams.h"
#include "rtl/Strings.h"
