#pragma once

// The OLE drop target of the drop window and of the list view: a thin adaptor that feeds
// the drags and drops of its window to the portable CMailIntake. It talks to its window
// only through the window messages of ui/AppMessages.h (pending list, drop-zone test,
// processing requests), so both windows use it unchanged.

#include "intake/MailIntake.h"

#include <ole2.h>

#include <string>

// COM objects are destroyed by their own Release, never through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CMailDropTarget final : public IDropTarget {
public:
    // dataFolder: the data folder with its trailing backslash.
    static CMailDropTarget* CreateInstance(std::string dataFolder);  // one reference

    // RegisterDragDrop on hwnd (OLE must be initialised); RevokeDragDrop. Revoke before the
    // window is destroyed.
    bool Register(HWND hwnd);
    void Revoke();

    // The prohibited list of the last drop, which the processing of the drop reads.
    const CExtensionList& GetProhibitedList() const;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                   DWORD* effect) override;

private:
    explicit CMailDropTarget(std::string dataFolder);
    ~CMailDropTarget();

    // The effect of a drag at a screen point: copy where the window takes a drop.
    DWORD AnswerDragAt(POINTL point);
    DropPoint ToClient(POINTL point) const;
    HRESULT HandleDrop(IDataObject* data, POINTL point, DWORD* effect);

    LONG m_nRefs = 1;
    HWND m_hWnd = nullptr;
    // A drop is being handled: its progress dialog lets other messages run, a second drop
    // among them, which would empty the pending list the first one is filling.
    bool m_bDropping = false;
    CMailIntake m_intake;
};
#pragma GCC diagnostic pop
