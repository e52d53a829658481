// Message maps: the static table through which a class says which of its member functions answer which
// commands and messages.
//
// A class declares DECLARE_MESSAGE_MAP() in its body; its source file lists the entries between
// BEGIN_MESSAGE_MAP(Class, BaseClass) and END_MESSAGE_MAP(). Handlers are named as member pointers:
//
//     BEGIN_MESSAGE_MAP(CMainDialog, CDialog)
//         ON_BN_CLICKED(IDC_RUN, &CMainDialog::OnRunStop)
//         ON_NOTIFY(NM_CUSTOMDRAW, IDC_LEVEL_METER, &CMainDialog::OnCustomDraw)
//         ON_WM_PAINT()
//     END_MESSAGE_MAP()
//
// The first matching entry wins; a class's own entries come before its base class's, to which the map
// chains. Commands: ON_COMMAND(id, handler) and ON_BN_CLICKED(id, handler) take `void Handler()`;
// ON_NOTIFY(code, id, handler) takes `void Handler(NMHDR*, LRESULT* result)`, whose *result (0 at first)
// becomes the message's result. The window messages (ON_WM_PAINT and the others) are in
// WindowMessageMap.h.
#pragma once

#include "platform/afx/AfxDefs.h"

namespace platform::afx {

// How an entry's handler is called: on the object whose map holds it, with the message as it came.
using MessageThunk = LRESULT (*)(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam);

template <typename F> struct HandlerOf;
template <typename C, typename R, typename... A> struct HandlerOf<R (C::*)(A...)> { using Class = C; };
template <typename C, typename R, typename... A> struct HandlerOf<R (C::*)(A...) const> { using Class = C; };

template <auto F> auto* Receiver(CCmdTarget* target) {
    return static_cast<typename HandlerOf<decltype(F)>::Class*>(target);
}

template <auto F> LRESULT CallCommand(CCmdTarget* target, UINT, WPARAM, LPARAM) {
    (Receiver<F>(target)->*F)();
    return 0;
}

template <auto F> LRESULT CallNotify(CCmdTarget* target, UINT, WPARAM, LPARAM lParam) {
    LRESULT result = 0;
    (Receiver<F>(target)->*F)(reinterpret_cast<NMHDR*>(lParam), &result);
    return result;
}

} // namespace platform::afx

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // WM_COMMAND, WM_NOTIFY or the window message
    UINT nCode;    // the notification code (low 16 bits) of WM_COMMAND and WM_NOTIFY entries
    UINT nID;      // the control or command id: first and last of the range the entry answers
    UINT nLastID;
    platform::afx::MessageThunk pfn; // nullptr ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)(); // nullptr for the root of the chain
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                                      \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                                        \
        using ThisClass [[maybe_unused]] = theClass;                                                         \
        using TheBaseClass = baseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    { 0, 0, 0, 0, nullptr }                                                                                  \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]};             \
    return &messageMap;                                                                                      \
    }

#define ON_COMMAND(id, memberFxn)                                                                            \
    {WM_COMMAND, static_cast<UINT>(CN_COMMAND), static_cast<UINT>(id), static_cast<UINT>(id),                \
     &::platform::afx::CallCommand<memberFxn>},

#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                               \
    {WM_COMMAND, static_cast<UINT>(static_cast<WORD>(wNotifyCode)), static_cast<UINT>(id),                   \
     static_cast<UINT>(id), &::platform::afx::CallCommand<memberFxn>},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                                \
    {WM_NOTIFY, static_cast<UINT>(static_cast<WORD>(wNotifyCode)), static_cast<UINT>(id),                    \
     static_cast<UINT>(id), &::platform::afx::CallNotify<memberFxn>},
