#include "platform/shell/MenuBar.h"

#include <map>
#include <mutex>

namespace platform::shell {
namespace {

struct Entry {
    MenuDescription menu;
    HWND popup = nullptr;
};

struct Registry {
    std::mutex mutex;
    std::map<HWND, Entry> bars;
};

Registry& Bars() {
    static auto* registry = new Registry; // menu bars may still go while the process exits
    return *registry;
}

} // namespace

MenuDescription Describe(const MENUBARTEMPLATE& tmpl) {
    MenuDescription menu;
    const SOFTKEYTEMPLATE* keys[2] = {&tmpl.left, &tmpl.right};
    for (int k = 0; k < 2; ++k) {
        menu.keys[k].text = keys[k]->text ? keys[k]->text : L"";
        menu.keys[k].id = keys[k]->id;
        for (UINT i = 0; keys[k]->popup && i < keys[k]->popupCount; ++i) {
            const MENUPOPUPITEM& item = keys[k]->popup[i];
            menu.keys[k].popup.push_back(MenuItem{item.text ? item.text : L"", item.id});
        }
    }
    return menu;
}

void RecordMenuBar(HWND menuBar, const MenuDescription& menu) {
    auto& r = Bars();
    std::lock_guard lock(r.mutex);
    std::erase_if(r.bars, [](const auto& entry) { return !IsWindow(entry.first); }); // bars of ended threads
    r.bars[menuBar] = Entry{menu, nullptr};
}

void ForgetMenuBar(HWND menuBar) {
    auto& r = Bars();
    std::lock_guard lock(r.mutex);
    r.bars.erase(menuBar);
}

void RecordPopup(HWND menuBar, HWND popup) {
    auto& r = Bars();
    std::lock_guard lock(r.mutex);
    if (const auto it = r.bars.find(menuBar); it != r.bars.end()) {
        it->second.popup = popup;
    }
}

std::optional<MenuDescription> MenuOf(HWND menuBar) {
    auto& r = Bars();
    std::lock_guard lock(r.mutex);
    const auto it = r.bars.find(menuBar);
    if (it == r.bars.end()) {
        return std::nullopt;
    }
    return it->second.menu;
}

HWND PopupOf(HWND menuBar) {
    auto& r = Bars();
    std::lock_guard lock(r.mutex);
    const auto it = r.bars.find(menuBar);
    return it == r.bars.end() ? nullptr : it->second.popup;
}

} // namespace platform::shell
