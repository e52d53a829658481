#include "platform/afx/CCmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
    const bool byId = message == WM_COMMAND || message == WM_NOTIFY;
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != message) {
                continue;
            }
            if (!byId || (e->nCode == code && id >= e->nID && id <= e->nLastID)) {
                return e;
            }
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO*) {
    const auto bits = static_cast<std::uintptr_t>(static_cast<UINT>(nCode));
    const UINT message = HIWORD(bits) == WM_NOTIFY ? WM_NOTIFY : WM_COMMAND;
    const UINT code = LOWORD(bits);
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, code, nID);
    if (!entry) {
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        auto* notify = static_cast<AFX_NOTIFY*>(pExtra);
        const LRESULT result = entry->pfn(this, WM_NOTIFY, nID, reinterpret_cast<LPARAM>(notify->pNMHDR));
        if (notify->pResult) {
            *notify->pResult = result;
        }
    } else {
        entry->pfn(this, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nID), static_cast<WORD>(code)), 0);
    }
    return TRUE;
}
