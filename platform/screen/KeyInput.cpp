#include "platform/screen/KeyInput.h"

#include "platform/shell/Power.h"

#include <algorithm>
#include <cctype>

namespace platform::screen {
namespace {

struct NamedKey {
    const char* name;
    UINT vk;
};

constexpr NamedKey kKeys[] = {
    {"up", VK_UP},           {"down", VK_DOWN},     {"left", VK_LEFT},        {"right", VK_RIGHT},
    {"enter", VK_RETURN},    {"escape", VK_ESCAPE}, {"tab", VK_TAB},          {"backspace", VK_BACK},
    {"delete", VK_DELETE},   {"home", VK_HOME},     {"end", VK_END},          {"space", VK_SPACE},
    {"softleft", VK_TSOFT1}, {"f1", VK_F1},         {"softright", VK_TSOFT2}, {"f2", VK_F2},
};

} // namespace

wchar_t CharOfKey(UINT vk) {
    switch (vk) {
    case VK_BACK:
        return L'\b';
    case VK_TAB:
        return L'\t';
    case VK_RETURN:
        return L'\r';
    case VK_ESCAPE:
        return 0x1B;
    case VK_SPACE:
        return L' ';
    default:
        return 0;
    }
}

void PressKey(UINT vk) {
    shell::UserKey(vk, true);
    if (const wchar_t ch = CharOfKey(vk)) {
        shell::UserChar(ch);
    }
    shell::UserKey(vk, false);
}

void TypeText(std::wstring_view text) {
    for (const wchar_t ch : text) {
        shell::UserChar(ch);
    }
}

std::optional<UINT> KeyByName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& key : kKeys) {
        if (lower == key.name) {
            return key.vk;
        }
    }
    return std::nullopt;
}

std::vector<std::string> KeyNames() {
    std::vector<std::string> names;
    for (const auto& key : kKeys) {
        names.emplace_back(key.name);
    }
    return names;
}

} // namespace platform::screen
