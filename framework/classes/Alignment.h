// Text alignment, shared by fields and controls.
#pragma once

#include "classes/TypInfo.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
DUN_ENUM(TAlignment, "taLeftJustify", "taRightJustify", "taCenter");
