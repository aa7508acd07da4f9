// A flag raised for the length of a scope.
#pragma once

// Raises a flag for as long as it lives, also when an exception passes.
class TFlagRaised {
public:
    explicit TFlagRaised(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagRaised() { flag_ = false; }
    TFlagRaised(const TFlagRaised&) = delete;
    TFlagRaised& operator=(const TFlagRaised&) = delete;

private:
    bool& flag_;
};
