// Masked edit: an edit whose text follows an edit mask (see MaskUtils.h). Typed characters fill the mask's slots
// one by one in overwrite fashion, literals are skipped, refused characters beep. EditText is what the window shows
// (literals and blanks included); Text is the value (literals only when the mask saves them, blanks as spaces).
#pragma once

#include <string>

#include "rtl/Exceptions.h"
#include "vcl/MaskUtils.h"
#include "vcl/StdCtrls.h"

// The text of a masked edit does not fill its required slots.
class EDBEditError : public Exception { public: using Exception::Exception; };

class TCustomMaskEdit : public TCustomEdit {
    DUN_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* owner);

    std::string EditMask() const { return editMask_; }
    void SetEditMask(const std::string& mask);
    bool IsMasked() const { return !picture_.Empty(); }
    std::string EditText() const { return TCustomEdit::GetText(); }
    void SetEditText(const std::string& text);
    // Raises EDBEditError (after a beep, with the caret on the first missing slot) when a required slot is blank.
    virtual void ValidateEdit();
    // Gives back the text the edit had when it got the focus, when it was changed since.
    virtual void Reset();

    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TCustomMaskEdit>& p);

protected:
    std::string GetText() const override;
    void SetTextBuf(const std::string& text) override;
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;
    virtual void ValidateError();
    // Asked before a key, paste or cut changes a masked text; false leaves the text alone.
    virtual bool EditCanModify() { return true; }

private:
    void CharKey(char key);
    void BackspaceKey();
    void DeleteKey();
    // Puts the character into the slot at or after the caret; false when no slot there takes it.
    bool PlaceChar(char key);
    // Blanks the editable slots in [from, to).
    void BlankSlots(Integer from, Integer to);
    void PasteText();
    void WriteEditText(const std::string& text, Integer caret);

    std::string editMask_;
    TEditMaskPicture picture_{""};
    std::string oldValue_;
};

class TMaskEdit : public TCustomMaskEdit {
    DUN_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};
