// A bitmap: loaded from the application's resources (LoadBitmap), or attached, and deleted with the
// wrapper.
#pragma once

#include "platform/afx/CGdiObject.h"

class CBitmap : public CGdiObject {
public:
    // From the resource instance (AfxGetResourceHandle). FALSE when there is no such bitmap.
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(LPCWSTR lpszResourceName);
    int GetBitmap(BITMAP* pBitMap) const { return GetObject(static_cast<int>(sizeof(BITMAP)), pBitMap); }
    operator HBITMAP() const { return m_hObject; }

    static CBitmap* FromHandle(HBITMAP hBitmap);
};
