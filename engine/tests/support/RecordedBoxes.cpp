#include "engine/tests/support/RecordedBoxes.h"

#include "vcl/TestHelpers.h"

struct TRecordedBoxes::TImpl {
    TScriptedDialogs Dialogs;
};

TRecordedBoxes::TRecordedBoxes() : impl_(std::make_unique<TImpl>()) {}

TRecordedBoxes::~TRecordedBoxes() = default;

std::vector<TRecordedBoxes::TBox> TRecordedBoxes::Shown() const
{
    std::vector<TBox> boxes;
    for (const auto& shown : impl_->Dialogs.Shown) boxes.push_back({shown.Text, shown.Flags});
    return boxes;
}

bool TRecordedBoxes::TakeQuitRequest()
{
    MSG quit;
    return PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}
