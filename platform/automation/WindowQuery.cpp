#include "platform/automation/WindowQuery.h"

#include "platform/automation/TextFormat.h"
#include "platform/controls/ControlConstants.h"
#include "platform/controls/MessageBoxes.h"
#include "platform/win/WinApi.h"

#include <cwctype>

namespace platform::automation {
namespace {

bool ClassIs(const std::wstring& name, std::wstring_view wanted) {
    if (name.size() != wanted.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::towupper(static_cast<wint_t>(name[i])) != std::towupper(static_cast<wint_t>(wanted[i]))) {
            return false;
        }
    }
    return true;
}

bool Checkable(const desktop::WindowInfo& info) {
    if (!ClassIs(info.className, L"BUTTON")) {
        return false;
    }
    switch (info.style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case 0x5: // BS_3STATE
    case 0x6: // BS_AUTO3STATE
        return true;
    default:
        return false;
    }
}

int AsInt(LRESULT value) {
    return static_cast<int>(value);
}

} // namespace

std::optional<desktop::WindowInfo> FindTopLevel(const std::string& word, std::string* error) {
    const auto tops = desktop::EnumerateTopLevels();
    if (word == "foreground") {
        const HWND foreground = desktop::ForegroundWindow();
        for (const auto& info : tops) {
            if (foreground && info.hwnd == foreground) {
                return info;
            }
        }
        *error = "no foreground window";
        return std::nullopt;
    }
    if (const auto handle = ParseNumber(word); handle && word.size() > 2 && word[1] == 'x') {
        for (const auto& info : tops) {
            if (reinterpret_cast<std::uintptr_t>(info.hwnd) == static_cast<std::uintptr_t>(*handle)) {
                return info;
            }
        }
        *error = "no top-level window " + word;
        return std::nullopt;
    }
    for (const bool visibleOnly : {true, false}) {
        for (const auto& info : tops) {
            if ((!visibleOnly || info.visible) && SameText(info.text, word)) {
                return info;
            }
        }
    }
    *error = "no window " + Quote(std::string_view(word));
    return std::nullopt;
}

std::optional<desktop::WindowInfo> FindControl(HWND topLevel, const std::string& word, std::string* error) {
    std::optional<long long> id;
    std::string text = word;
    if (word.rfind("id=", 0) == 0) {
        id = ParseNumber(word.substr(3));
        if (!id) {
            *error = "bad control id " + word.substr(3);
            return std::nullopt;
        }
    } else if (word.rfind("text=", 0) == 0) {
        text = word.substr(5);
    } else {
        id = ParseNumber(word);
    }
    for (const auto& info : desktop::EnumerateChildren(topLevel)) {
        if (id ? info.id == static_cast<int>(*id) : SameText(info.text, text)) {
            return info;
        }
    }
    *error = id ? "no control with id " + std::to_string(*id) : "no control " + Quote(std::string_view(text));
    return std::nullopt;
}

ControlState QueryControl(const desktop::WindowInfo& info) {
    ControlState state{info, {}, {}, {}, {}};
    if (Checkable(info)) {
        state.checked = AsInt(SendMessage(info.hwnd, BM_GETCHECK, 0, 0));
    } else if (ClassIs(info.className, L"msctls_progress32")) {
        state.low = AsInt(SendMessage(info.hwnd, PBM_GETRANGE, TRUE, 0));
        state.high = AsInt(SendMessage(info.hwnd, PBM_GETRANGE, FALSE, 0));
        state.pos = AsInt(SendMessage(info.hwnd, PBM_GETPOS, 0, 0));
    } else if (ClassIs(info.className, L"msctls_trackbar32")) {
        state.low = AsInt(SendMessage(info.hwnd, TBM_GETRANGEMIN, 0, 0));
        state.high = AsInt(SendMessage(info.hwnd, TBM_GETRANGEMAX, 0, 0));
        state.pos = AsInt(SendMessage(info.hwnd, TBM_GETPOS, 0, 0));
    }
    return state;
}

std::string DescribeTopLevel(const desktop::WindowInfo& info, bool foreground, bool messageBox) {
    std::string line = "window " + HandleText(info.hwnd) + " " + Quote(info.text) +
                       " class=" + Quote(info.className) + " thread=" + std::to_string(info.threadId) +
                       " owner=" + HandleText(info.owner);
    line += info.visible ? " visible" : " hidden";
    line += info.enabled ? " enabled" : " disabled";
    if (info.modal) {
        line += " modal";
    }
    if (foreground) {
        line += " foreground";
    }
    if (messageBox) {
        line += " messagebox";
    }
    return line + " rect=" + RectText(info.rect);
}

std::string DescribeControl(const ControlState& state) {
    const auto& info = state.info;
    std::string line = "control id=" + std::to_string(info.id) + " class=" + Quote(info.className) +
                       " text=" + Quote(info.text);
    line += info.enabled ? " enabled" : " disabled";
    line += info.visible ? " visible" : " hidden";
    if (state.checked) {
        line += *state.checked ? " checked" : " unchecked";
    }
    if (info.focused) {
        line += " focus";
    }
    if (state.low && state.high) {
        line += " range=" + std::to_string(*state.low) + ".." + std::to_string(*state.high);
    }
    if (state.pos) {
        line += " pos=" + std::to_string(*state.pos);
    }
    return line + " rect=" + RectText(info.rect) + " hwnd=" + HandleText(info.hwnd);
}

std::optional<MessageBoxView> TopmostMessageBox() {
    const HWND hwnd = controls::TopmostMessageBox();
    const auto box = hwnd ? controls::ReadMessageBox(hwnd) : std::nullopt;
    if (!box) {
        return std::nullopt;
    }
    MessageBoxView view{{}, box->text, {}};
    for (const auto& info : desktop::EnumerateTopLevels()) {
        if (info.hwnd == hwnd) {
            view.window = info;
        }
    }
    for (const auto& child : desktop::EnumerateChildren(hwnd)) {
        if (ClassIs(child.className, L"BUTTON")) {
            view.buttons.push_back(child);
        }
    }
    return view;
}

POINT CenterOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace platform::automation
