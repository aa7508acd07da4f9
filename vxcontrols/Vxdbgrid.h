// TvxDBGrid: the library's published data grid on the grid core, with fixed data columns after the indicator and a
// colour for the fixed cells.
#pragma once

#include "vxcontrols/Vxdbigrd.h"

class TvxDataSource;

enum TvxMemoAttribute { mSizeable, mWordWrap, mGridShow, mViewOnly, mDisableDialog };
using TvxMemoAttributes = Set<TvxMemoAttribute>;
DUN_ENUM(TvxMemoAttribute, "mSizeable", "mWordWrap", "mGridShow", "mViewOnly", "mDisableDialog");

class TvxDBGrid : public TvxCustomDBGrid {
    DUN_CLASS(TvxDBGrid, TvxCustomDBGrid)
public:
    explicit TvxDBGrid(TComponent* owner);
    static void Publish(TPublisher<TvxDBGrid>& p);

    // The data source when it is the library's; nullptr for any other.
    TvxDataSource* DataSource() const;
    void SetDataSource(TvxDataSource* value);
    // Fixed data columns after the indicator column.
    Integer FixedCols() const { return fixedCols_; }
    // A negative value, or one that leaves no scrollable column, is refused with a warning.
    void SetFixedCols(Integer value);
    TColor TitleColor() const { return titleColor_; }
    void SetTitleColor(TColor value);
    TvxMemoAttributes MemoAttributes() const { return memoAttributes_; }
    void SetMemoAttributes(TvxMemoAttributes value) { memoAttributes_ = value; }

    // Lays the grid out from the Selected lines, or (with UseTFields) applies them to the dataset's fields.
    void ApplySelected();
    bool IsEditable() const { return Options().Contains(dgEditing) && !ReadOnly(); }
    Integer GetColCount() const { return ColCount(); }
    // Other forms pass navigation keys on to the grid.
    using TvxCustomDBGrid::KeyDown;

protected:
    void SetColumnAttributes() override;

private:
    void ApplyFixedCols();

    Integer fixedCols_ = 0;
    TvxMemoAttributes memoAttributes_{mSizeable, mWordWrap};
};
