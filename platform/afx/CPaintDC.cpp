#include "platform/afx/CPaintDC.h"

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd.load() : nullptr) {
    Attach(BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    Detach(); // EndPaint releases the context
    EndPaint(m_hWnd, &m_ps);
}
