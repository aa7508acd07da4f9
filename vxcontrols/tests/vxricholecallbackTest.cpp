// Embedded objects of the rich-text control: the callback's answers and drop effects, and under Wine the
// window's OLE interface, an inserted static picture, its items in the context menu and its verbs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "rtl/tests/UsSettings.h"
#include "vcl/Clipbrd.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/OleStartup.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/vxriched.h"
#include "vxcontrols/vxricholecallback.h"

namespace {

TEST(RichOleCallback, DropEffectsFollowTheKeysWhenTheSourceAllowsThem)
{
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    struct Case {
        bool Drag;
        DWORD Keys, Allowed, Expected;
    } cases[] = {
        {false, MK_CONTROL | MK_SHIFT, all, DROPEFFECT_LINK},
        {false, MK_CONTROL, all, DROPEFFECT_COPY},
        {false, 0, all, DROPEFFECT_MOVE},
        {false, MK_SHIFT, all, DROPEFFECT_MOVE},
        {false, MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_MOVE},  // copy not allowed: left as it is
        {false, MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {true, MK_CONTROL, all, all},
    };
    auto* callback = new TRichEditOleCallback(nullptr);
    callback->AddRef();
    for (const Case& c : cases) {
        DWORD effect = c.Allowed;
        EXPECT_EQ(callback->GetDragDropEffect(c.Drag, c.Keys, &effect), S_OK);
        EXPECT_EQ(effect, c.Expected) << c.Drag << " " << c.Keys << " " << c.Allowed;
    }
    callback->Release();
}

TEST(RichOleCallback, GivesStorageAndDeclinesTheContainersOwnInterface)
{
    if (!OleStarted()) Application->Initialize();
    auto* callback = new TRichEditOleCallback(nullptr);
    callback->AddRef();
    IStorage* storage = nullptr;
    ASSERT_EQ(callback->GetNewStorage(&storage), S_OK);
    ASSERT_TRUE(storage);
    IStream* stream = nullptr;
    EXPECT_EQ(storage->CreateStream(L"x", STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, 0, &stream), S_OK);
    if (stream) stream->Release();
    storage->Release();

    IOleInPlaceFrame* frame = reinterpret_cast<IOleInPlaceFrame*>(1);
    IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    EXPECT_EQ(callback->GetInPlaceContext(&frame, &document, nullptr), E_NOTIMPL);
    EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(document, nullptr);
    IDataObject* data = reinterpret_cast<IDataObject*>(1);
    EXPECT_EQ(callback->GetClipboardData(nullptr, 0, &data), E_NOTIMPL);
    EXPECT_EQ(data, nullptr);
    HMENU menu = reinterpret_cast<HMENU>(1);
    EXPECT_EQ(callback->GetContextMenu(0, nullptr, nullptr, &menu), S_OK);
    EXPECT_EQ(menu, nullptr);
    EXPECT_EQ(callback->ShowContainerUI(TRUE), E_NOTIMPL);
    EXPECT_EQ(callback->ContextSensitiveHelp(TRUE), E_NOTIMPL);
    EXPECT_EQ(callback->QueryInsertObject(nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(callback->DeleteObject(nullptr), S_OK);
    EXPECT_EQ(callback->QueryAcceptData(nullptr, nullptr, 0, TRUE, nullptr), S_OK);
    callback->Release();
}

// An enhanced metafile picture, offered as data to make a static object from.
class TPictureData : public IDataObject {
public:
    TPictureData()
    {
        HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
        RECT box{0, 0, 40, 30};
        FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        picture_ = CloseEnhMetaFile(dc);
    }
    ~TPictureData() { DeleteEnhMetaFile(picture_); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (format->cfFormat != CF_ENHMETAFILE || !(format->tymed & TYMED_ENHMF)) return DV_E_FORMATETC;
        medium->tymed = TYMED_ENHMF;
        medium->hEnhMetaFile = CopyEnhMetaFileA(picture_, nullptr);
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return format->cfFormat == CF_ENHMETAFILE ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    HENHMETAFILE picture_;
};

// The insert-object dialog answered by the test: a static picture, or the user's Cancel.
class TScriptedObjectRichEdit : public TvxCustomRichEdit {
public:
    using TvxCustomRichEdit::TvxCustomRichEdit;
    bool Choose = true;
    Integer DialogsShown = 0;

protected:
    UINT RunInsertObjectDialog(OLEUIINSERTOBJECTA& data) override
    {
        ++DialogsShown;
        if (!Choose) return OLEUI_CANCEL;
        TPictureData picture;
        FORMATETC format{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
        const HRESULT made = OleCreateStaticFromData(&picture, data.iid, OLERENDER_FORMAT, &format,
                                                     data.lpIOleClientSite, data.lpIStorage, data.ppvObj);
        EXPECT_EQ(made, S_OK);
        data.clsid = CLSID_NULL;
        return SUCCEEDED(made) ? OLEUI_OK : OLEUI_CANCEL;
    }
};

class RichObjects : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        if (!OleStarted()) Application->Initialize();
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(20, 20, 420, 300);
        form->SetCaption("Rich text objects");
        edit = new TScriptedObjectRichEdit(form);
        edit->SetParent(form);
        edit->SetBounds(8, 8, 390, 240);
        edit->SetOleOptions(TvxRichEditOleOptions{reoAdjustPopupMenu});
        form->Show();
        ActivateForm(form);
        PumpMessages();
    }
    void TearDown() override
    {
        delete form;
        PumpMessages(20);
        UsSettings::TearDown();
    }
    // Opens the context menu from the keyboard; the action runs while it is open.
    void OpenContextMenu(const std::function<void(HWND)>& action)
    {
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, MenuTick);
        whileOpen = action;
        SendMessageA(edit->Handle(), WM_CONTEXTMENU, WPARAM(edit->Handle()), -1);
        KillTimer(nullptr, timer);
        whileOpen = nullptr;
        PumpMessages();
    }
    static BOOL CALLBACK FindMenu(HWND window, LPARAM found)
    {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "#32768" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    static void CALLBACK MenuTick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND menu = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindMenu, reinterpret_cast<LPARAM>(&menu));
        if (!menu || !whileOpen) return;
        auto action = std::move(whileOpen);
        whileOpen = nullptr;
        action(menu);
        EndMenu();
    }

    static inline std::function<void(HWND)> whileOpen;
    TForm* form = nullptr;
    TScriptedObjectRichEdit* edit = nullptr;
};

TEST_F(RichObjects, TheWindowGetsTheCallbackUnlessOleIsDisabled)
{
    ASSERT_TRUE(edit->RichEditOle());
    edit->SetText("kept");
    edit->SetOleOptions(TvxRichEditOleOptions{reoDisableOLE});
    EXPECT_EQ(edit->RichEditOle(), nullptr);
    EXPECT_EQ(edit->Text(), "kept");
    EXPECT_FALSE(edit->InsertObjectDialog());
    EXPECT_EQ(edit->DialogsShown, 0);
    OpenContextMenu([](HWND) {});
    EXPECT_FALSE(edit->PopupItem(piInsertObject)->Visible());
    edit->SetOleOptions(TvxRichEditOleOptions{reoAdjustPopupMenu});
    EXPECT_TRUE(edit->RichEditOle());
    EXPECT_EQ(edit->Text(), "kept");
}

TEST_F(RichObjects, AnInsertedPictureIsSelectedAndAddsTwoItemsToTheMenuEachTime)
{
    edit->SetText("ab");
    edit->SetSelStart(1);
    ASSERT_TRUE(OpenClipboard(edit->Handle()));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 8);
    std::strcpy(static_cast<char*>(GlobalLock(text)), "mine");
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();

    ASSERT_TRUE(edit->InsertObjectDialog());
    EXPECT_EQ(ClipboardText(), "mine");
    EXPECT_EQ(edit->GetTextLen(), 3);
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 1);
    EXPECT_EQ(edit->RichEditOle()->GetObjectCount(), 1);
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxriched_object.png"));

    const Integer menuItems = edit->PopupMenu()->Items()->Count();
    for (int opening = 0; opening < 2; ++opening) {
        Integer shown = 0;
        OpenContextMenu([&](HWND menu) {
            shown = edit->PopupMenu()->Items()->Count();
            if (opening == 0) {
                EXPECT_TRUE(SaveWindowToPng(menu, "vxriched_object_menu.png"));
            }
        });
        EXPECT_EQ(shown, menuItems + 2) << opening;
        ASSERT_EQ(edit->OleMenuItems().size(), 2u);
        EXPECT_EQ(edit->OleMenuItems()[0]->Caption(), "-");
        const std::string caption = edit->OleMenuItems()[1]->Caption();
        const bool named = caption.size() > 8 && caption.substr(caption.size() - 8) == " &Object";
        EXPECT_TRUE(caption == "Object" || named) << caption;
    }
    try {
        edit->DoVerb(std::max<Integer>(Integer(edit->VerbNames().size()), 1));
        FAIL() << "no error";
    } catch (const EOleError& error) {
        EXPECT_STREQ(error.what(), "Invalid Verb");
    }
    // A picture has no server to run its primary verb: the failing call is an OLE error with its code.
    try {
        edit->DoVerb(0);
        FAIL() << "no error";
    } catch (const EOleSysError& error) {
        EXPECT_TRUE(FAILED(error.ErrorCode()));
    }

    // Nothing selected: no object items.
    edit->SetSelStart(0);
    OpenContextMenu([](HWND) {});
    EXPECT_TRUE(edit->OleMenuItems().empty());
    EXPECT_EQ(edit->PopupMenu()->Items()->Count(), menuItems);
}

TEST_F(RichObjects, CancellingTheDialogChangesNothing)
{
    edit->SetText("ab");
    edit->SetSelStart(1);
    edit->Choose = false;
    EXPECT_FALSE(edit->InsertObjectDialog());
    EXPECT_EQ(edit->DialogsShown, 1);
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_EQ(edit->RichEditOle()->GetObjectCount(), 0);
}

}  // namespace
