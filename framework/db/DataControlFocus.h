// Where the dataset layer and the windowing layer meet: a field's FocusControl focuses the windowed control its
// data link serves.
#pragma once

// Sets FocusDataControl (DataLinks.h) to give a windowed control the focus when it can take it; data-aware
// controls call it when they are made. Calling it again changes nothing.
void InstallDataControlFocus();
