// Two lookup combos and an edit on a shown form, for the tests of the lookup-combo routines in both programs'
// variants.
#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "hostdata/OVWCon.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/vxdblook.h"

class LookupComboRoutines : public ::testing::Test {
protected:
    using TKeyFilter = std::function<void(TvxDBCustomLookupCombo*, Word&)>;

    void SetUp() override
    {
        form_ = CreateObject<TForm>(nullptr);
        form_->SetBounds(80, 80, 300, 160);
        first_ = AddCombo(8);
        second_ = AddCombo(40);
        edit_ = new TEdit(form_);
        edit_->SetParent(form_);
        edit_->SetBounds(8, 72, 100, 22);
        form_->Show();
        PumpMessages();
    }
    void TearDown() override { delete form_; }

    TvxDBLookupCombo* AddCombo(Integer top)
    {
        auto* combo = new TvxDBLookupCombo(form_);
        combo->SetParent(form_);
        combo->SetBounds(8, top, 150, 24);
        return combo;
    }

    // Puts the combo's search on and its drop-down grid up, runs the filter with the key on the text, and tells
    // whether the search was switched off and the grid hidden; the key must come back unchanged.
    bool SwitchesSearchOff(const TKeyFilter& filter, Word key, const std::string& text)
    {
        SetLookupComboSearch(first_, true);
        first_->SetText(text);
        first_->DropDownGrid()->SetVisible(true);
        Word passed = key;
        filter(first_, passed);
        EXPECT_EQ(passed, key) << "the key is never changed";
        const bool off = !first_->AutoDropDown() && !first_->ShowMatchText() && first_->SeqSearchOptions().Empty();
        const bool hidden = !first_->DropDownGrid()->Visible();
        EXPECT_EQ(off, hidden) << "key " << key;
        first_->DropDownGrid()->SetVisible(false);
        return off && hidden;
    }

    // Paints the form, colours its combos and tells whether the combos are waiting to be repainted.
    bool ColoursAndRepaints(const std::function<void(TComponent*)>& colour)
    {
        PumpMessages();
        for (TvxDBLookupCombo* combo : {first_, second_}) ValidateRect(combo->Handle(), nullptr);
        colour(form_);
        bool repaint = true;
        for (TvxDBLookupCombo* combo : {first_, second_}) {
            EXPECT_EQ(combo->DropDownGrid()->Color(), clYellow);
            EXPECT_EQ(combo->DropDownGrid()->Font()->Color(), clMaroon);
            repaint = repaint && GetUpdateRect(combo->Handle(), nullptr, FALSE);
        }
        EXPECT_NE(edit_->Color(), clYellow) << "only lookup combos are coloured";
        return repaint;
    }

    TForm* form_ = nullptr;
    TvxDBLookupCombo* first_ = nullptr;
    TvxDBLookupCombo* second_ = nullptr;
    TEdit* edit_ = nullptr;
};
