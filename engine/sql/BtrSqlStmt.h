// TSSQLSqlStmt: a statement of a Scalable SQL database. Its text is rewritten for the requester (":" names and "?"
// parameters become "@" variables "@QVAR0000", "@QVAR0001", ...), compiled on a requester cursor, given parameter
// values by substitution and executed; a result cursor reads what it selects.
#pragma once

#include <string>

#include "engine/core/BseSqlStmt.h"

// The text as the requester takes it: outside single-quoted literals ":" becomes "@" and each "?" becomes the next
// variable "@QVAR" + a 4-digit number from 0; count gets the number of variables.
std::string SubstituteSqlParameters(const std::string& text, Integer& count);

class TSSQLSqlStmt : public TSqlStmt {
    DUN_CLASS(TSSQLSqlStmt, TSqlStmt)
public:
    // clientId: the session's client identifier, kept by reference and handed to result cursors.
    TSSQLSqlStmt(TBaseDatabase* owner, SmallInt kind, const char* text, TBoreaCollection* collection,
                 const Byte* clientId);

    SmallInt CursorId() const { return cursorId_; }

    // A new text drops the compiled cursor: the next use compiles again.
    void SetText(const char* text) override;
    // Compiles the text on a new requester cursor (unresolved variables are expected here).
    void AfterCreate() override;
    // Frees the requester cursor.
    void BeforeDestroy() override;
    // Each unnamed parameter, in order, gives the next variable its value as text.
    void SetParams(const TDatabaseOptions& parameters) override;
    // With result: the result cursor (listed in the database's tables) runs the statement as it opens, so the
    // statement runs once either way.
    void Execute(TBaseTable** result) override;

private:
    void Prepare();
    void PrepareWhenNeeded();
    void FreeCursor();

    SmallInt cursorId_ = -1;
    const Byte* clientId_;
};
