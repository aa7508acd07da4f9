// Picture masks: which characters a value may hold, where literals stand, which parts are optional or repeat.
//   #  a digit               ?  a letter               &  a letter, upper-cased     ~  a letter, lower-cased
//   !  any character, upper-cased                      @  any character
//   ;c the literal c         *n the next element n times     *  the next element any number of times
//   [...] optional group     {...} group                ,  separates alternatives
// Any other character is a literal (matched ignoring ASCII case, written as the mask has it).
#pragma once

#include <string>

#include "rtl/Objects.h"
#include "rtl/Types.h"

enum TvxPictureResult {
    prComplete,          // the text fully satisfies the mask
    prIncomplete,        // a valid beginning; more characters are required
    prEmpty,             // the text is empty
    prError,             // the text cannot satisfy the mask
    prBadMask,           // the mask fails the syntax test
    prAmbiguous,         // internal: complete, but more optional input would fit
    prIncompleteNoFill   // internal: incomplete where auto-fill must not act
};

class TvxPictureValidator : public TObject {
    DUN_CLASS(TvxPictureValidator, TObject)
public:
    static constexpr Word voAutoFill = 1;

    TvxPictureValidator(const std::string& mask, bool autoFill);

    // Check with auto-fill when the validator has it and suppressFill is false; true unless the text is in error.
    virtual bool AcceptsInput(std::string& text, bool suppressFill);
    // A copy of the text checked without auto-fill is complete or empty.
    virtual bool IsValidText(const std::string& text);
    // Judges the text and normalises it in place (case, literals, auto-filled literals). Gives prComplete to
    // prBadMask only.
    virtual TvxPictureResult Check(std::string& text, bool autoFill);

    Word Status = 0;  // 1 when the mask fails the syntax test
    Word Options = 0;
    std::string Mask;

private:
    bool SyntaxIsValid() const;
    char MaskAt(Integer i) const;
    Integer StepOver(Integer p, Integer end, Integer& brackets, Integer& braces) const;
    Integer SkipElement(Integer p, Integer end) const;
    Integer SkipAlternatives(Integer p, Integer end) const;
    bool IsOptionalGroup(Integer p, Integer end) const;
    void Consume(char c);
    TvxPictureResult Alternatives(Integer end);
    TvxPictureResult Sequence(Integer end, bool& blankTyped);
    TvxPictureResult Literal(char m, bool& blankTyped);
    TvxPictureResult Repetition(Integer end);
    TvxPictureResult Group();
    TvxPictureResult RestOptional(TvxPictureResult result, Integer p, Integer end) const;

    // The check's shared state: positions (1-based) in the mask and in the text.
    std::string* text_ = nullptr;
    Integer i_ = 1;
    Integer j_ = 1;
};
