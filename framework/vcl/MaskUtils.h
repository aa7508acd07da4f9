// Edit masks: "picture;save-literals;blank". The picture holds mask characters (L l A a C c 0 9 #), literals
// (any other character, "\x" for a mask character, ":" and "/" as the locale's separators, "_" as a blank) and
// directives (">" upper case, "<" lower case, "<>" as typed, "!" optional characters blank at the start).
#pragma once

#include <string>
#include <vector>

#include "rtl/Types.h"

struct TMaskSlot {
    bool Literal = false;
    char Char = 0;           // the literal shown, or the mask character
    char CaseConversion = 0; // '>' upper, '<' lower, 0 as typed
};

class TEditMaskPicture {
public:
    explicit TEditMaskPicture(const std::string& mask);

    bool Empty() const { return slots_.empty(); }
    Integer Length() const { return Integer(slots_.size()); }
    const TMaskSlot& Slot(Integer index) const { return slots_.at(index); }
    bool IsLiteral(Integer index) const { return slots_.at(index).Literal; }
    bool IsRequired(Integer index) const;
    bool SaveLiterals() const { return saveLiterals_; }
    char Blank() const { return blank_; }
    bool ReverseBlanks() const { return reverse_; }

    // The character as the slot takes it (case converted), or 0 when the slot refuses it.
    char Accept(Integer index, char ch) const;
    // The text shown for an empty value: literals in place, blanks elsewhere.
    std::string EmptyEditText() const;
    // Edit text -> Text: without saved literals only the mask slots; blanks trimmed at the end (at the start with
    // "!") and the rest shown as spaces.
    std::string TextFromEditText(const std::string& editText) const;
    // Text -> edit text: the characters go into the slots in order (into every slot when literals are saved).
    std::string EditTextFromText(const std::string& text) const;
    // First slot at or after index that is not a literal; Length() when none.
    Integer NextEditable(Integer index) const;
    // Last slot before index that is not a literal; -1 when none.
    Integer PriorEditable(Integer index) const;
    // First required slot that is blank in the edit text; -1 when every required slot is filled.
    Integer FirstMissing(const std::string& editText) const;

private:
    std::vector<TMaskSlot> slots_;
    bool saveLiterals_ = true;
    char blank_ = '_';
    bool reverse_ = false;
};

// The value laid into the mask, as the platform's FormatMaskText does (empty slots become spaces).
std::string FormatMaskText(const std::string& editMask, const std::string& value);
