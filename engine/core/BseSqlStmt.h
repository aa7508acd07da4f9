// TSqlStmt: the base of SQL statement objects. It keeps the statement text in the OEM character set, the kind
// (0 SQL text, 1 stored-procedure call) and the value of statement property 16; the SQL driver compiles, binds and
// runs it. A statement must be made with CreateObject and freed with Free: SetText and AfterCreate run from there.
#pragma once

#include <optional>
#include <string>

#include "engine/core/BseBase.h"
#include "engine/core/BseRecords.h"

class TBaseDatabase;
class TBaseTable;
struct TDatabaseOptions;

// Statement properties (the low 16 bits decide).
constexpr Word stmtPROPLANGUAGE = 1;
constexpr Word stmtPROPTEXT = 4;
constexpr Word stmtPROPVALUE = 16;
constexpr Word StatementLanguage = 32;

class TSqlStmt : public TBapiListItem {
    DUN_CLASS(TSqlStmt, TBapiListItem)
public:
    // text none leaves the statement without text.
    TSqlStmt(TBaseDatabase* owner, SmallInt kind, const char* text, TBoreaCollection* collection);
    ~TSqlStmt() override;
    // SetText with the construction text, then AfterCreate.
    void AfterConstruction() override;
    // BeforeDestroy, then the text is released.
    void BeforeDestruction() override;

    SmallInt Kind() const { return kind_; }
    Cardinal Value() const { return value_; }
    bool HasText() const { return text_.has_value(); }
    // The text in the OEM character set (empty without text).
    std::string Text() const { return text_.value_or(""); }

    // TBapiListItem
    void GetProp(Cardinal property, void* buffer, Word& length, Word maxLength) override;
    void SetProp(Cardinal property, uintptr_t value) override;
    void CheckProp(Cardinal property, bool flag) override;

    // Replaces the text by a copy translated to the OEM character set; none releases it.
    virtual void SetText(const char* text);
    virtual void AfterCreate() {}
    virtual void BeforeDestroy() {}
    // The driver binds the parameters (count descriptors with values) and runs the statement.
    virtual void SetParams(const TDatabaseOptions& parameters) = 0;
    // result none: no result cursor is wanted.
    virtual void Execute(TBaseTable** result) = 0;

private:
    std::optional<std::string> constructionText_;
    SmallInt kind_;
    Cardinal value_ = 0;
    std::optional<std::string> text_;
};
