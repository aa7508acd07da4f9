// The rich-edit window's OLE callback: new storage for embedded objects, the drop effect of the keys held, and
// nothing of the container's own interface (no in-place frame, no menus of its own).
#pragma once

#include <string>

#include "rtl/Exceptions.h"
#include "rtl/WinApi.h"

#include <ole2.h>
#include <richedit.h>
#include <richole.h>

class TvxCustomRichEdit;

// A failing OLE call.
class EOleError : public Exception {
public:
    using Exception::Exception;
};

class EOleSysError : public EOleError {
public:
    EOleSysError(const std::string& message, HRESULT errorCode) : EOleError(message), errorCode_(errorCode) {}
    HRESULT ErrorCode() const { return errorCode_; }

private:
    HRESULT errorCode_;
};

// Raises EOleSysError for a failing result.
void OleCheck(HRESULT result);

// The effect a drop gets: Ctrl and Shift link, Ctrl copies, otherwise it moves, each only when the source allows it;
// while dragging the effect stays as it is.
DWORD vxDragDropEffect(bool drag, DWORD keyState, DWORD effect);

class TRichEditOleCallback : public IRichEditOleCallback {
public:
    explicit TRichEditOleCallback(TvxCustomRichEdit* richEdit) : richEdit_(richEdit) {}
    virtual ~TRichEditOleCallback() = default;
    TRichEditOleCallback(const TRichEditOleCallback&) = delete;
    TRichEditOleCallback& operator=(const TRichEditOleCallback&) = delete;

    TvxCustomRichEdit* RichEdit() const { return richEdit_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* document,
                                                LPOLEINPLACEFRAMEINFO frameInfo) override;
    HRESULT STDMETHODCALLTYPE ShowContainerUI(WINBOOL show) override;
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID classId, LPSTORAGE storage, LONG position) override;
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT object) override;
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD operation, WINBOOL really,
                                              HGLOBAL metaPicture) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL enterMode) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE* range, DWORD operation, LPDATAOBJECT* data) override;
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(WINBOOL drag, DWORD keyState, LPDWORD effect) override;
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD selectionType, LPOLEOBJECT object, CHARRANGE* range,
                                             HMENU* menu) override;

private:
    LONG refCount_ = 0;
    TvxCustomRichEdit* richEdit_;
};
