#include "engine/core/BseSqlStmt.h"

#include <cstring>
#include <vector>

#include "engine/core/BseDb.h"
#include "engine/core/BseError.h"
#include "rtl/WinApi.h"

namespace {

const char EmptyText[] = "";

}  // namespace

TSqlStmt::TSqlStmt(TBaseDatabase* owner, SmallInt kind, const char* text, TBoreaCollection* collection)
        : TBapiListItem(owner, collection), kind_(kind)
{
    if (text) constructionText_ = text;
}

TSqlStmt::~TSqlStmt() = default;

void TSqlStmt::AfterConstruction()
{
    TBapiListItem::AfterConstruction();
    SetText(constructionText_ ? constructionText_->c_str() : nullptr);
    constructionText_.reset();
    AfterCreate();
}

void TSqlStmt::BeforeDestruction()
{
    BeforeDestroy();
    SetText(nullptr);
    TBapiListItem::BeforeDestruction();
}

void TSqlStmt::SetText(const char* text)
{
    text_.reset();
    if (!text) return;
    const size_t length = std::strlen(text);
    std::vector<char> oem(length + 1, '\0');
    CharToOemBuffA(text, oem.data(), DWORD(length));
    text_ = std::string(oem.data(), length);
}

void TSqlStmt::GetProp(Cardinal property, void* buffer, Word& length, Word maxLength)
{
    switch (Word(property)) {
    case stmtPROPLANGUAGE: {
        const Word language = StatementLanguage;
        std::memcpy(buffer, &language, sizeof language);
        length = sizeof language;
        return;
    }
    case stmtPROPTEXT: {
        const char* empty = EmptyText;
        std::memcpy(buffer, &empty, sizeof empty);
        length = 1;
        return;
    }
    case stmtPROPVALUE:
        std::memcpy(buffer, &value_, sizeof value_);
        length = sizeof value_;
        return;
    default:
        RaiseEngineError(DBIERR_NOTSUPPORTED);
    }
}

void TSqlStmt::SetProp(Cardinal property, uintptr_t value)
{
    if (Word(property) == stmtPROPVALUE) value_ = Cardinal(value);
}

void TSqlStmt::CheckProp(Cardinal property, bool flag)
{
    const Word number = Word(property);
    if (flag && ((number >= 1 && number <= 4) || number == 19)) RaiseEngineError(DBIERR_NOTSUPPORTED);
}
