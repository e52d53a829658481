#include "settings/SharedText.h"

void SharedText::Set(std::wstring text) {
    auto next = std::make_shared<const std::wstring>(std::move(text));
    std::lock_guard lock(m_mutex);
    m_text.swap(next);
    // The previous text, now in `next`, is released after the lock.
}

std::wstring SharedText::Get() const {
    std::shared_ptr<const std::wstring> current;
    {
        std::lock_guard lock(m_mutex);
        current = m_text;
    }
    return current ? *current : std::wstring();
}
