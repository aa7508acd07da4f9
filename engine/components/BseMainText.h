// Text and property routines of the dataset components: ANSI / native translation through the facade, engine
// properties read and set without raising, and alias parameter strings.
#pragma once

#include <string>

#include "rtl/Types.h"
#include "rtl/WinApi.h"

// Windows names a macro AnsiToOem; the routine below takes its place wherever this header is included.
#undef AnsiToOem

class TBapiListItem;
class TStrings;
class TVirtEng;

// Translate length bytes; nothing happens for length 0 or less.
void AnsiToNativeBuf(TVirtEng* engine, const char* source, Integer length, char* dest);
void NativeToAnsiBuf(TVirtEng* engine, const char* source, Integer length, char* dest);
// At most maxLength characters of text into dest (which holds maxLength + 1), NUL-terminated and translated.
char* AnsiToNative(TVirtEng* engine, const std::string& text, Integer maxLength, char* dest);
// The NUL-terminated native text translated to ANSI.
void NativeToAnsi(TVirtEng* engine, const char* nativeText, std::string& text);
std::string AnsiToOem(const std::string& text);

// A 4-byte property; 0 when the call fails.
Integer GetIntProp(TVirtEng* engine, TBapiListItem* object, Cardinal property);
// Sends 1 for true; whether the call succeeded.
bool SetBoolProp(TVirtEng* engine, TBapiListItem* object, Cardinal property, bool value);

// The parameter string of an alias: name:"value"; pairs of the list's name=value lines, in OEM characters.
void ParamsToAliasString(const TStrings* list, std::string& text);
