#include "vxdata/Vxmaskkey.h"

#include <algorithm>

#include "rtl/WinApi.h"
#include "vcl/StdCtrls.h"
#include "vxdata/Vxpict.h"

Integer vxRefuseBeeps = 0;

namespace {

// The caret after the edit took the checked text: at the end when everything was selected, else after the typed
// character and the literals auto-fill appended.
Integer CaretAfter(Integer selStart, Integer oldLength, Integer selLength, Integer typedLength, Integer newLength)
{
    if (selLength == oldLength) return newLength;
    return selStart + 1 + (newLength - typedLength);
}

std::string WithoutRange(const std::string& text, Integer start, Integer length)
{
    if (start < 0 || start >= Integer(text.size()) || length <= 0) return text;
    return text.substr(0, size_t(start)) + text.substr(size_t(std::min<Integer>(start + length, Integer(text.size()))));
}

}  // namespace

TvxMaskedKeyResult vxProcessMaskedKey(TCustomEdit* edit, const std::string& mask, bool autoFill, char& key,
                                      const TvxMaskedKeyRules& rules)
{
    TvxMaskedKeyResult result;
    if (Byte(key) < 32 || Byte(key) > 254) return result;
    const std::string text = edit->Text();
    const Integer selStart = edit->SelStart(), selLength = edit->SelLength();
    const Integer length = Integer(text.size());
    const bool atEnd = selStart + selLength >= length;
    if (!atEnd && !rules.checkMiddle) return result;

    std::string wouldBe = text.substr(0, size_t(selStart)) + key + text.substr(size_t(selStart + selLength));
    if (edit->MaxLength() > 0 && Integer(wouldBe.size()) > edit->MaxLength() && wouldBe.size() > text.size())
        return result;
    result.handled = true;
    const Integer typedLength = Integer(wouldBe.size());
    TvxPictureValidator validator(mask, autoFill);
    const TvxPictureResult check = validator.Check(wouldBe, autoFill);
    if (check == prComplete || check == prIncomplete) {
        if (rules.beginEdit && !rules.beginEdit()) return result;
        edit->SetText(wouldBe);
        edit->SetSelStart(CaretAfter(selStart, length, selLength, typedLength, Integer(wouldBe.size())));
        edit->SetSelLength(0);
        key = 0;
        result.textSet = true;
        result.reported = true;
        result.passes = check == prComplete;
        return result;
    }
    if (check == prError && atEnd) {
        vxRefuseBeep();
        key = 0;
        result.beeped = true;
        return result;
    }
    if (rules.consumeAll) {
        key = 0;
        return result;
    }
    result.reported = true;
    result.passes = check != prError;
    return result;
}

bool vxProcessMaskedKey(TCustomEdit* edit, const std::string& mask, bool autoFill, char& key)
{
    return vxProcessMaskedKey(edit, mask, autoFill, key, TvxMaskedKeyRules{}).handled;
}

std::string vxTextAfterBackspace(const std::string& text, Integer selStart, Integer selLength)
{
    if (selLength > 0) return WithoutRange(text, selStart, selLength);
    return WithoutRange(text, selStart - 1, 1);
}

std::string vxTextAfterDelete(const std::string& text, Integer selStart, Integer selLength)
{
    return WithoutRange(text, selStart, selLength > 0 ? selLength : 1);
}

void vxRefuseBeep()
{
    ++vxRefuseBeeps;
    MessageBeep(0);
}
