// TvxQBE: the library's query-by-example dataset (see TvxQueryDataSet). Its lines may hold ~Name variables, which
// are replaced by the values given with SetVariable before the text is run.
#pragma once

#include <vector>

#include "vxdata/Vxquery.h"

class TvxQBE;
using TvxQBEFilterEvent = std::function<void(TvxQBE* qbe, bool& accept)>;

class TvxQBE : public TvxQueryDataSet {
    DUN_CLASS(TvxQBE, TvxQueryDataSet)
public:
    explicit TvxQBE(TComponent* owner);
    static void Publish(TPublisher<TvxQBE>& p);

    TStrings* QBE() const { return qbe_.get(); }
    // An open dataset is closed and opened again.
    void SetQBE(TStrings* value);
    std::string AnswerTable;
    bool AuxiliaryTables = true;
    bool BlankAsZero = true;
    TvxQBEFilterEvent OnFilter() const { return onFilter_; }
    void SetOnFilter(const TvxQBEFilterEvent& value);

    // A variable for ~Name in the lines (name compared without case); a later one of the same name wins.
    void SetVariable(const std::string& name, const std::string& value);
    // The lines with the variables replaced, joined by CR LF.
    std::string SubstitutedText();
    // Runs the text; the engine's result code (no query backend here: "not supported").
    Word ExecuteQBE(TBaseTable*& cursor);

protected:
    std::string FilterRefusedWarning() const override;
    TBaseTable* CreateHandle() override;

private:
    std::string SubstituteLine(const std::string& line);

    std::unique_ptr<TStringList> qbe_;
    TvxQBEFilterEvent onFilter_;
    std::vector<std::string> names_;
    std::vector<std::string> values_;
};
