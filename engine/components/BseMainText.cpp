#include "engine/components/BseMainText.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/core/BseEng.h"
#include "rtl/CodePages.h"
#include "rtl/Format.h"
#include "rtl/Strings.h"

namespace {

constexpr size_t AliasValueMax = 255;

using TTranslation = Word (TVirtEng::*)(char* dest, bool& dataLoss, Word length, const char* source);

void TranslateBuf(TVirtEng* engine, TTranslation translation, const char* source, Integer length, char* dest)
{
    if (length <= 0) return;
    bool dataLoss = false;
    (engine->*translation)(dest, dataLoss, Word(length), source);
}

}  // namespace

void AnsiToNativeBuf(TVirtEng* engine, const char* source, Integer length, char* dest)
{
    TranslateBuf(engine, &TVirtEng::AnsiToNative, source, length, dest);
}

void NativeToAnsiBuf(TVirtEng* engine, const char* source, Integer length, char* dest)
{
    TranslateBuf(engine, &TVirtEng::NativeToAnsi, source, length, dest);
}

char* AnsiToNative(TVirtEng* engine, const std::string& text, Integer maxLength, char* dest)
{
    const size_t length = std::min(text.size(), size_t(std::max(maxLength, 0)));
    std::memcpy(dest, text.data(), length);
    dest[length] = '\0';
    AnsiToNativeBuf(engine, dest, Integer(length), dest);
    return dest;
}

void NativeToAnsi(TVirtEng* engine, const char* nativeText, std::string& text)
{
    const size_t length = std::strlen(nativeText);
    text.assign(length, '\0');
    NativeToAnsiBuf(engine, nativeText, Integer(length), text.data());
}

std::string AnsiToOem(const std::string& text)
{
    return CharToOemString(text);
}

Integer GetIntProp(TVirtEng* engine, TBapiListItem* object, Cardinal property)
{
    Integer value = 0;
    Word length = 0;
    if (engine->GetProp(object, property, &value, sizeof(value), length) != 0) return 0;
    return value;
}

bool SetBoolProp(TVirtEng* engine, TBapiListItem* object, Cardinal property, bool value)
{
    return engine->SetProp(object, property, value ? 1 : 0) == 0;
}

void ParamsToAliasString(const TStrings* list, std::string& text)
{
    std::string result;
    for (Integer i = 0; i < list->Count(); ++i) {
        const std::string line = list->Strings(i);
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals + 1 == line.size()) continue;
        const std::string value = line.substr(equals + 1, AliasValueMax);
        result = Format("%s%s:\"%s\";", {result, line.substr(0, equals), value});
    }
    text = AnsiToOem(result);
    if (!text.empty()) text.pop_back();
}
