#include "platform/controls/EditText.h"

#include <algorithm>

namespace platform::controls {

void EditText::setText(std::wstring text) {
    text_ = std::move(text);
    caret_ = text_.size();
}

void EditText::setLimit(std::size_t limit) {
    limit_ = limit == 0 ? kMaximumLimit : limit;
}

void EditText::setCaret(std::size_t caret) {
    caret_ = std::min(caret, text_.size());
}

bool EditText::insert(wchar_t ch) {
    if (text_.size() >= limit_) {
        return false;
    }
    text_.insert(caret_, 1, ch);
    ++caret_;
    return true;
}

bool EditText::backspace() {
    if (caret_ == 0) {
        return false;
    }
    text_.erase(caret_ - 1, 1);
    --caret_;
    return true;
}

bool EditText::deleteForward() {
    if (caret_ >= text_.size()) {
        return false;
    }
    text_.erase(caret_, 1);
    return true;
}

bool EditText::moveTo(std::size_t caret) {
    caret = std::min(caret, text_.size());
    if (caret == caret_) {
        return false;
    }
    caret_ = caret;
    return true;
}

bool EditText::left() {
    return caret_ > 0 && moveTo(caret_ - 1);
}
bool EditText::right() {
    return moveTo(caret_ + 1);
}
bool EditText::home() {
    return moveTo(0);
}
bool EditText::end() {
    return moveTo(text_.size());
}

} // namespace platform::controls
