// A brush, made in one colour and deleted with the wrapper.
#pragma once

#include "platform/afx/CGdiObject.h"

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }

    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
    operator HBRUSH() const { return m_hObject; }

    static CBrush* FromHandle(HBRUSH hBrush);
};
