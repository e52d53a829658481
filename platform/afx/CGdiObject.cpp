#include "platform/afx/CGdiObject.h"
#include "platform/afx/CBitmap.h"
#include "platform/afx/CBrush.h"
#include "platform/afx/CWinApp.h"
#include "platform/afx/Temporaries.h"

CGdiObject::~CGdiObject() {
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (m_hObject || !hObject) {
        return FALSE;
    }
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    const HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) {
        return FALSE;
    }
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const {
    return m_hObject ? ::GetObject(m_hObject, nCount, lpObject) : 0;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
    return platform::afx::TemporaryGdiObject<CGdiObject>(hObject);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    return LoadBitmap(MAKEINTRESOURCE(nIDResource));
}

BOOL CBitmap::LoadBitmap(LPCWSTR lpszResourceName) {
    return Attach(::LoadBitmap(AfxGetResourceHandle(), lpszResourceName));
}

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) {
    return platform::afx::TemporaryGdiObject<CBitmap>(hBitmap);
}

CBrush* CBrush::FromHandle(HBRUSH hBrush) {
    return platform::afx::TemporaryGdiObject<CBrush>(hBrush);
}
