// The text of a single-line edit field and its caret, without any drawing: what typing, Backspace,
// Delete and the caret keys do to them. The caret is an index between characters, 0 to the length.
//
// The limit is the number of characters typing may reach; text set as a whole (setText) is taken in full,
// even beyond the limit, as on the device. Each operation returns whether it changed anything.
#pragma once

#include <cstddef>
#include <string>

namespace platform::controls {

class EditText {
public:
    // The device's limits: the default of a new field, and the largest one (EM_LIMITTEXT with 0).
    static constexpr std::size_t kDefaultLimit = 30000;
    static constexpr std::size_t kMaximumLimit = 0x7FFFFFFE;

    const std::wstring& text() const { return text_; }
    std::size_t caret() const { return caret_; }
    std::size_t limit() const { return limit_; }

    // Replaces the text and puts the caret at its end.
    void setText(std::wstring text);
    // 0 means the largest limit.
    void setLimit(std::size_t limit);
    void setCaret(std::size_t caret);

    bool insert(wchar_t ch); // false when the text is at the limit
    bool backspace();
    bool deleteForward();
    bool left();
    bool right();
    bool home();
    bool end();

private:
    bool moveTo(std::size_t caret);

    std::wstring text_;
    std::size_t caret_ = 0;
    std::size_t limit_ = kDefaultLimit;
};

} // namespace platform::controls
