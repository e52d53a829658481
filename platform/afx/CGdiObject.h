// The framework's drawing objects: a wrapper that owns one GDI handle and deletes it when the wrapper
// goes, unless it was detached. FromHandle wraps a handle the caller does not own in a temporary object
// of this thread, valid until the current message has been handled, and never deleting its handle.
#pragma once

#include "platform/afx/CObject.h"
#include "platform/gdi/GdiApi.h"

class CGdiObject : public CObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    ~CGdiObject() override;

    BOOL Attach(HGDIOBJ hObject); // FALSE when the wrapper already holds a handle
    HGDIOBJ Detach();
    BOOL DeleteObject(); // deletes the handle held, if any
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    int GetObject(int nCount, LPVOID lpObject) const;

    static CGdiObject* FromHandle(HGDIOBJ hObject);
};
