// The framework's command target: an object with a message map that commands can be routed to.
// OnCmdMsg looks for a handler of a command (WM_COMMAND: nCode is the notification code) or of a
// notification (WM_NOTIFY: nCode is MAKELONG(code, WM_NOTIFY) and pExtra an AFX_NOTIFY) in the object's
// map and the maps it chains to, and calls it. Windows pass commands they do not handle on to other
// targets (a dialog to the application object).
#pragma once

#include "platform/afx/CObject.h"
#include "platform/afx/MessageMap.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)

public:
    // TRUE when a handler was found and called.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry of this object's map chain for `message` (and, for WM_COMMAND and WM_NOTIFY, the
    // code and id), or nullptr.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;
};
