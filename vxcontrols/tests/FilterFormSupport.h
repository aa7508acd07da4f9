// Driving the filter form inside the modal loop of TvxFilterDialog::Execute with real clicks.
#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "vcl/StdCtrls.h"
#include "vcl/Tabs.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/Vxfltdlg.h"
#include "vxcontrols/vxdbedit.h"
#include "vxdata/tests/FilterDialogSupport.h"

namespace filterdialog {

inline TPoint Middle(const TRect& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

// Selects the field's entry with the list's own keys, as a person does from the list.
inline void SelectField(TvxFilterDlg* form, const std::string& label)
{
    TListBox* list = form->FieldsListBox;
    const Integer index = list->Items()->IndexOf(label);
    ASSERT_GE(index, 0) << label;
    list->SetFocus();
    TypeKey(VK_HOME);
    for (Integer i = 0; i < index; ++i) TypeKey(VK_DOWN);
    ASSERT_EQ(list->ItemIndex(), index) << label;
    ASSERT_EQ(form->CurrentIndex, index) << label;
}

inline void ClickTab(TTabSet* tabs, Integer index) { MouseClick(tabs, Middle(tabs->ItemRect(index))); }

// Shows the dialog's form through Execute; the script runs inside the form's modal loop with the form active and
// ends it (Cancel when the script leaves the form open). Returns Execute's result.
inline bool RunFilterForm(TScriptedDialogs& boxes, TvxFilterDialog* dialog,
                          const std::function<void(TvxFilterDlg*)>& script)
{
    boxes.AnswerNextModalForm([&](TCustomForm* shown) {
        ActivateForm(shown);
        PumpMessages();
        if (auto* form = dynamic_cast<TvxFilterDlg*>(shown))
            script(form);
        else
            ADD_FAILURE() << "not the filter form";
        if (shown->ModalResult() == mrNone) shown->SetModalResult(mrCancel);
    });
    return dialog->Execute();
}

}  // namespace filterdialog
