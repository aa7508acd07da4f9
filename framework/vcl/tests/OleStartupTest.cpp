// The application's initialisation starts OLE for the main thread (not only COM), and shut-down ends it once. A
// process of its own: the first test sees OLE not yet started.
#include "vcl/OleStartup.h"

#include <gtest/gtest.h>

#include "rtl/InitProc.h"
#include "vcl/Forms.h"

#include <ole2.h>

namespace {

// A drag whose source cancels it at once, of an empty data object: the drag loop runs only where OLE is started.
class TCancellingDrag : public IDropSource, public IDataObject {
public:
    HRESULT Run()
    {
        DWORD effect = DROPEFFECT_NONE;
        return DoDragDrop(static_cast<IDataObject*>(this), static_cast<IDropSource*>(this), DROPEFFECT_COPY, &effect);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDropSource)
            *object = static_cast<IDropSource*>(this);
        else if (iid == IID_IDataObject)
            *object = static_cast<IDataObject*>(this);
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return DRAGDROP_S_CANCEL; }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

TEST(OleStartup, TheApplicationsInitialisationStartsOleAndShutDownEndsItOnce)
{
    TCancellingDrag drag;
    ASSERT_FALSE(OleStarted());
    EXPECT_NE(drag.Run(), DRAGDROP_S_CANCEL);
    Application->Initialize();
    ASSERT_TRUE(OleStarted());
    EXPECT_EQ(drag.Run(), DRAGDROP_S_CANCEL);

    EndOleStartup();
    EXPECT_FALSE(OleStarted());
    EndOleStartup();  // ended already: nothing more to end
    EXPECT_EQ(CoInitialize(nullptr), S_OK) << "COM was ended with OLE";
    CoUninitialize();
}

TEST(OleStartup, TheHookRunsThePreviousOneFirstAndALibraryLeavesItAlone)
{
    const TProcedure applicationHook = InitProc;
    static bool oleStartedInPreviousHook = true;
    InitProc = [] { oleStartedInPreviousHook = OleStarted(); };
    ChainOleStartup();
    InitProc();
    EXPECT_FALSE(oleStartedInPreviousHook);
    EXPECT_TRUE(OleStarted());
    EndOleStartup();

    IsLibrary = true;
    const TProcedure hook = InitProc;
    ChainOleStartup();
    EXPECT_EQ(InitProc, hook);
    IsLibrary = false;
    InitProc = applicationHook;
}

}  // namespace
