// A device context wrapper. A context the wrapper made (CreateCompatibleDC) is deleted with it; one that
// was attached is deleted too unless it is detached first, as the framework does. FromHandle gives a
// temporary wrapper of this thread that never deletes the context.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/afx/CBrush.h"

class CDC : public CObject {
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    ~CDC() override;

    BOOL Attach(HDC hDC); // FALSE when the wrapper already holds a context
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    static CDC* FromHandle(HDC hDC);

    // A memory context compatible with pDC (or with the screen when pDC is nullptr).
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    // Each returns the object it replaced, as a temporary wrapper (nullptr on failure).
    CBitmap* SelectObject(CBitmap* pBitmap);
    CBrush* SelectObject(CBrush* pBrush);
    HGDIOBJ SelectObject(HGDIOBJ hObject);

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                    int nSrcHeight, DWORD dwRop);
    void FillRect(const RECT* lpRect, CBrush* pBrush);
};
