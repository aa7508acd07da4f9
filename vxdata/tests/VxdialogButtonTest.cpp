// Dialog buttons made from the settings on a real form.
#include <memory>

#include <gtest/gtest.h>

#include "vcl/Buttons.h"
#include "vcl/Forms.h"
#include "vxdata/Vxintl.h"

namespace {

class VxdialogButtonTest : public ::testing::Test {
protected:
    void SetUp() override { form.reset(CreateObject<TForm>(nullptr)); }
    void TearDown() override
    {
        TvxIntl defaults(nullptr);
        defaults.SetConnected(true);
    }
    Integer Scaled(Integer value) const { return value * Screen->PixelsPerInch() / 96; }

    std::unique_ptr<TForm> form;
};

TEST_F(VxdialogButtonTest, BitmapButtonsByDefault)
{
    TvxIntl mine(nullptr);
    mine.SetDialogFontStyle(TFontStyles{fsBold});
    mine.SetBtnCancelCaption("&Abbrechen");
    mine.SetConnected(true);

    TButton* ok = vxCreateDialogButton(form.get(), vxbkOK);
    auto* okBitmap = dynamic_cast<TBitBtn*>(ok);
    ASSERT_NE(okBitmap, nullptr);
    EXPECT_EQ(ok->Owner(), form.get());
    EXPECT_EQ(ok->Parent(), form.get());
    EXPECT_FALSE(ok->Visible());
    EXPECT_EQ(ok->Width(), Scaled(77));
    EXPECT_EQ(ok->Height(), Scaled(27));
    EXPECT_EQ(ok->Caption(), "&OK");
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_EQ(okBitmap->Kind(), bkOK);
    EXPECT_EQ(okBitmap->NumGlyphs(), 2);
    EXPECT_EQ(okBitmap->Spacing(), -1);
    EXPECT_EQ(okBitmap->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(okBitmap->Font()->Style(), TFontStyles{fsBold});

    TButton* cancel = vxCreateDialogButton(form.get(), vxbkCancel);
    EXPECT_EQ(cancel->Caption(), "&Abbrechen");
    EXPECT_EQ(cancel->ModalResult(), mrCancel);
    EXPECT_TRUE(cancel->Cancel());
    EXPECT_EQ(vxCreateDialogButton(form.get(), vxbkHelp)->Caption(), "Help");
}

TEST_F(VxdialogButtonTest, PlainButtonsWhenNotBitmapped)
{
    TvxIntl mine(nullptr);
    mine.SetOKCancelBitmapped(false);
    mine.SetConnected(true);

    TButton* ok = vxCreateDialogButton(form.get(), vxbkOK);
    EXPECT_EQ(dynamic_cast<TBitBtn*>(ok), nullptr);
    EXPECT_EQ(ok->Width(), Scaled(77));
    EXPECT_EQ(ok->Height(), Scaled(24));
    EXPECT_EQ(ok->Caption(), "&OK");
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_FALSE(ok->Visible());
    TButton* cancel = vxCreateDialogButton(form.get(), vxbkCancel);
    EXPECT_EQ(cancel->Caption(), "Cancel");
    EXPECT_TRUE(cancel->Cancel());
    EXPECT_EQ(vxCreateDialogButton(form.get(), 7)->Caption(), "");
}

}  // namespace
