// TvxCustomDialog: the common base of the library's dialog components. The navigator finds a dialog by its primary
// dataset and shows it with Execute.
#pragma once

#include "classes/Component.h"

class TDataSet;

class TvxCustomDialog : public TComponent {
    DUN_CLASS(TvxCustomDialog, TComponent)
public:
    using TComponent::TComponent;

    // Shows the dialog modally; true when the user confirmed.
    virtual bool Execute() = 0;
    // The dataset the dialog works on.
    virtual TDataSet* GetPrimaryDataSet() = 0;
};
