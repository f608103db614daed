#pragma once

// The OLE drop target of a window's drop site: a thin adaptor that feeds the drags and drops
// of its window to the portable CMailIntake and answers through the drop host it was
// registered with (the site: pending list, zone test, processing requests).

#include "intake/DropHost.h"
#include "intake/MailIntake.h"
#include "ui/ComObject.h"
#include "ui/ScopedGdi.h"

#include <ole2.h>

#include <string>

class CMailDropTarget final : public ui::CComObject<IDropTarget> {
public:
    // dataFolder: the data folder with its trailing backslash.
    static ui::ComPtr<CMailDropTarget> Create(std::string dataFolder);

    // RegisterDragDrop on hwnd (OLE must be initialised), answering through host, which must
    // stay until Revoke. Revoke before the window is destroyed; a drop being handled then
    // finishes without reaching host (its copies are not processed).
    bool Register(HWND hwnd, IDropHost& host);
    void Revoke();

    // The prohibited list of the last drop, which the processing of the drop reads.
    const CExtensionList& GetProhibitedList() const;

    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                   DWORD* effect) override;

private:
    class CDropInProgress;

    explicit CMailDropTarget(std::string dataFolder);
    ~CMailDropTarget() override;

    // The effect of a drag at a screen point: copy where the window takes a drop.
    DWORD AnswerDragAt(POINTL point);
    DropPoint ToClient(POINTL point) const;
    HRESULT HandleDrop(IDataObject* data, POINTL point, DWORD* effect);

    HWND m_hWnd = nullptr;
    IDropHost* m_pHost = nullptr;
    // A drop is being handled: its progress dialog lets other messages run, a second drop
    // among them, which would empty the pending list the first one is filling.
    bool m_bDropping = false;
    CMailIntake m_intake;
};
