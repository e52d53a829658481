// Text that the window thread replaces and other threads read as a whole.
//
// A reader gets either the text before or the text after a Set, never a mix of both, and takes its own
// copy. Set builds the new text before it takes the lock, and both sides hold the lock only long enough to
// swap or copy one pointer, so a reader never waits on a copy or an allocation of the writer's.
#pragma once

#include <memory>
#include <mutex>
#include <string>

class SharedText {
public:
    SharedText() = default;
    SharedText(const SharedText&) = delete;
    SharedText& operator=(const SharedText&) = delete;

    void Set(std::wstring text);
    std::wstring Get() const;

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<const std::wstring> m_text; // null: empty
};
