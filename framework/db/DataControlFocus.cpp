#include "db/DataControlFocus.h"

#include "db/DataLinks.h"
#include "vcl/Controls.h"

void InstallDataControlFocus()
{
    if (FocusDataControl) return;
    FocusDataControl = [](TComponent* control) {
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (!windowed || !windowed->CanFocus()) return false;
        windowed->SetFocus();
        return windowed->Focused();
    };
}
