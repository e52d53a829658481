#include "platform/afx/CDC.h"

#include "platform/afx/Temporaries.h"

CDC::~CDC() {
    DeleteDC();
}

BOOL CDC::Attach(HDC hDC) {
    if (m_hDC || !hDC) {
        return FALSE;
    }
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach() {
    const HDC h = m_hDC;
    m_hDC = nullptr;
    return h;
}

CDC* CDC::FromHandle(HDC hDC) {
    return platform::afx::TemporaryDC(hDC);
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) {
        return FALSE;
    }
    return ::DeleteDC(Detach());
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    const HGDIOBJ old = ::SelectObject(m_hDC, pBitmap ? pBitmap->m_hObject : nullptr);
    return old ? CBitmap::FromHandle(old) : nullptr;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    const HGDIOBJ old = ::SelectObject(m_hDC, pBrush ? pBrush->m_hObject : nullptr);
    return old ? CBrush::FromHandle(old) : nullptr;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
    return ::SelectObject(m_hDC, hObject);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop) {
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, nSrcWidth,
                        nSrcHeight, dwRop);
}

void CDC::FillRect(const RECT* lpRect, CBrush* pBrush) {
    ::FillRect(m_hDC, lpRect, pBrush ? pBrush->m_hObject : nullptr);
}
