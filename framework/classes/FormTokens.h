// A form file as a sequence of tokens, the form the reader and writer work on:
//   object   := ObjectHeader (PropertyName value)* End object* End
//   value    := Value | List value* End | Set Ident* End | Collection item* End | Binary
//   item     := List (PropertyName value)* End
// "End" is a Value token of type vaNull.
#pragma once

#include <string>
#include <vector>

#include "rtl/Types.h"

enum TValueType {
    vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue, vaBinary, vaSet,
    vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString, vaInt64
};

enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = Set<TFilerFlag>;

struct TFormToken {
    enum TKind { Value, PropertyName, ObjectHeader };

    TKind Kind = Value;
    TValueType Type = vaNull;  // Value tokens
    Int64 Int = 0;             // vaInt32, vaInt64
    double Float = 0;          // vaExtended, vaSingle, vaDate; vaCurrency holds the amount itself
    std::string Text;          // string, identifier, binary bytes, property name, class name of a header
    std::string ObjectName;    // ObjectHeader
    TFilerFlags Flags;         // ObjectHeader
    Integer Position = -1;     // ObjectHeader with ffChildPos

    bool IsEnd() const { return Kind == Value && Type == vaNull; }
    bool operator==(const TFormToken&) const = default;
};

using TFormTokens = std::vector<TFormToken>;
