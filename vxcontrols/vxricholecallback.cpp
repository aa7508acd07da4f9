#include "vxcontrols/vxricholecallback.h"

#include "rtl/Format.h"

namespace {

const IID IIDRichEditOleCallback = {0x00020D03, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace

void OleCheck(HRESULT result)
{
    if (FAILED(result)) throw EOleSysError(Format("OLE error %.8X", {Cardinal(result)}), result);
}

DWORD vxDragDropEffect(bool drag, DWORD keyState, DWORD effect)
{
    if (drag) return effect;
    const bool ctrl = keyState & MK_CONTROL, shift = keyState & MK_SHIFT;
    const DWORD wanted = ctrl && shift ? DROPEFFECT_LINK : ctrl ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    return effect & wanted ? wanted : effect;
}

HRESULT TRichEditOleCallback::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IIDRichEditOleCallback)) {
        *object = static_cast<IRichEditOleCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TRichEditOleCallback::AddRef() { return ULONG(InterlockedIncrement(&refCount_)); }

ULONG TRichEditOleCallback::Release()
{
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0) delete this;
    return ULONG(count);
}

// A compound file in a memory block that goes with it.
HRESULT TRichEditOleCallback::GetNewStorage(LPSTORAGE* storage)
{
    if (!storage) return E_OUTOFMEMORY;
    *storage = nullptr;
    ILockBytes* bytes = nullptr;
    if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes))) return E_OUTOFMEMORY;
    const HRESULT created =
        StgCreateDocfileOnILockBytes(bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, storage);
    bytes->Release();
    return SUCCEEDED(created) ? S_OK : E_OUTOFMEMORY;
}

HRESULT TRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* document,
                                                LPOLEINPLACEFRAMEINFO)
{
    if (frame) *frame = nullptr;
    if (document) *document = nullptr;
    return E_NOTIMPL;
}

HRESULT TRichEditOleCallback::ShowContainerUI(WINBOOL) { return E_NOTIMPL; }

HRESULT TRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return S_OK; }

HRESULT TRichEditOleCallback::DeleteObject(LPOLEOBJECT) { return S_OK; }

HRESULT TRichEditOleCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, WINBOOL, HGLOBAL) { return S_OK; }

HRESULT TRichEditOleCallback::ContextSensitiveHelp(WINBOOL) { return E_NOTIMPL; }

HRESULT TRichEditOleCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* data)
{
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

HRESULT TRichEditOleCallback::GetDragDropEffect(WINBOOL drag, DWORD keyState, LPDWORD effect)
{
    if (effect) *effect = vxDragDropEffect(drag, keyState, *effect);
    return S_OK;
}

HRESULT TRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu)
{
    if (menu) *menu = nullptr;
    return S_OK;
}
