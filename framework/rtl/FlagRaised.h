// A flag raised for the length of a scope.
#pragma once

// Raises a flag for as long as it lives and then gives it back its earlier value, also when an exception passes.
class TFlagRaised {
public:
    explicit TFlagRaised(bool& flag) : flag_(flag), earlier_(flag) { flag_ = true; }
    ~TFlagRaised() { flag_ = earlier_; }
    TFlagRaised(const TFlagRaised&) = delete;
    TFlagRaised& operator=(const TFlagRaised&) = delete;

private:
    bool& flag_;
    const bool earlier_;
};
