// Message boxes recorded instead of shown while an instance lives (answered OK). Kept apart from the window
// framework's headers so that tests of engine units can use it.
#pragma once

#include <memory>
#include <string>
#include <vector>

class TRecordedBoxes {
public:
    struct TBox {
        std::string Text;
        unsigned Flags = 0;
    };

    TRecordedBoxes();
    ~TRecordedBoxes();

    std::vector<TBox> Shown() const;
    // True when the program was asked to end (a quit message is waiting); takes the request away.
    static bool TakeQuitRequest();

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};
