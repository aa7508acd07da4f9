#include "vxdata/Vxmaskkey.h"

#include "rtl/WinApi.h"
#include "vcl/StdCtrls.h"
#include "vxdata/Vxpict.h"

namespace {

// Where the caret goes once the edit holds the new text; oldLength and selLength are read before the change.
Integer CaretAfter(TvxPictureResult result, Integer selStart, Integer oldLength, Integer selLength,
                   Integer newLength)
{
    if (oldLength == selLength) return newLength;  // everything was selected
    const Integer growth = newLength - oldLength;
    if (result == prComplete) return growth > 0 ? selStart + growth : selStart + 1;
    return selLength <= 0 ? selStart + growth : selStart + 1;
}

}  // namespace

bool vxProcessMaskedKey(TCustomEdit* edit, const std::string& mask, bool autoFill, char& key)
{
    if (Byte(key) < 32 || Byte(key) > 254) return false;
    const std::string text = edit->Text();
    const Integer selStart = edit->SelStart(), selLength = edit->SelLength();
    if (selStart < Integer(text.size()) - selLength) return false;

    TvxPictureValidator validator(mask, autoFill);
    std::string wouldBe = text.substr(0, size_t(selStart)) + key + text.substr(size_t(selStart + selLength));
    const TvxPictureResult result = validator.Check(wouldBe, autoFill);
    const Integer currentStart = edit->SelStart(), currentLength = Integer(edit->Text().size());
    const Integer currentSelLength = edit->SelLength();
    if (result == prComplete || result == prIncomplete) {
        edit->SetText(wouldBe);
        edit->SetSelStart(CaretAfter(result, currentStart, currentLength, currentSelLength, Integer(wouldBe.size())));
        if (result == prComplete) edit->SetSelLength(0);
    } else if (result == prError) {
        MessageBeep(0);
    }
    key = 0;
    return true;
}
