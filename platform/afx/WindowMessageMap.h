// Message-map entries for window messages. Each names the handler of the class whose map it is in (or,
// when that class declares none, the framework's default one, which does the default processing):
//
//   ON_WM_PAINT()       void OnPaint()
//   ON_WM_ERASEBKGND()  BOOL OnEraseBkgnd(CDC* pDC)              nonzero: the background is erased
//   ON_WM_DESTROY()     void OnDestroy()
//   ON_WM_CREATE()      int OnCreate(LPCREATESTRUCT lpCreateStruct)   -1 fails the creation
//   ON_WM_CLOSE()       void OnClose()
//   ON_WM_CTLCOLOR()    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)   every WM_CTLCOLOR*
//   ON_WM_CHAR()        void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
//   ON_WM_KEYDOWN()     void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
#pragma once

#include "platform/afx/CDC.h"
#include "platform/afx/CWnd.h"

namespace platform::afx {

template <auto F> LRESULT CallEraseBkgnd(CCmdTarget* target, UINT, WPARAM wParam, LPARAM) {
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    const BOOL erased = (Receiver<F>(target)->*F)(&dc);
    dc.Detach();
    return erased;
}

template <auto F> LRESULT CallCreate(CCmdTarget* target, UINT, WPARAM, LPARAM lParam) {
    return (Receiver<F>(target)->*F)(reinterpret_cast<LPCREATESTRUCT>(lParam));
}

template <auto F> LRESULT CallCtlColor(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam) {
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    const HBRUSH brush = (Receiver<F>(target)->*F)(&dc, CWnd::FromHandle(reinterpret_cast<HWND>(lParam)),
                                                   message - WM_CTLCOLORMSGBOX);
    dc.Detach();
    return reinterpret_cast<LRESULT>(brush);
}

template <auto F> LRESULT CallKey(CCmdTarget* target, UINT, WPARAM wParam, LPARAM lParam) {
    const auto bits = static_cast<std::uintptr_t>(lParam);
    (Receiver<F>(target)->*F)(static_cast<UINT>(wParam), LOWORD(bits), HIWORD(bits));
    return 0;
}

} // namespace platform::afx

#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, &::platform::afx::CallCommand<&ThisClass::OnPaint>},
#define ON_WM_ERASEBKGND()                                                                                   \
    {WM_ERASEBKGND, 0, 0, 0, &::platform::afx::CallEraseBkgnd<&ThisClass::OnEraseBkgnd>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, &::platform::afx::CallCommand<&ThisClass::OnDestroy>},
#define ON_WM_CREATE() {WM_CREATE, 0, 0, 0, &::platform::afx::CallCreate<&ThisClass::OnCreate>},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, &::platform::afx::CallCommand<&ThisClass::OnClose>},
#define ON_WM_CTLCOLOR() {WM_CTLCOLOR, 0, 0, 0, &::platform::afx::CallCtlColor<&ThisClass::OnCtlColor>},
#define ON_WM_CHAR() {WM_CHAR, 0, 0, 0, &::platform::afx::CallKey<&ThisClass::OnChar>},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, 0, 0, 0, &::platform::afx::CallKey<&ThisClass::OnKeyDown>},
