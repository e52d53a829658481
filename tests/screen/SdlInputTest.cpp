// The SDL window's events as the windows receive them: keys with the characters a keyboard makes,
// text, the stylus scaled down by the zoom, and the screen's own keys and the close button, which reach
// no window. No display is needed: the events are made here.
#include "platform/screen/SdlInput.h"
#include "platform/shell/Power.h"
#include "platform/win/Desktop.h"
#include "support/WindowThread.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace {

using platform::screen::HandleSdlEvent;
using platform::screen::SdlAction;

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received&) const = default;
};

std::mutex g_mutex;
std::vector<Received> g_received;

LRESULT RecorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR || msg == WM_LBUTTONDOWN ||
        msg == WM_LBUTTONUP || msg == WM_MOUSEMOVE) {
        std::lock_guard lock(g_mutex);
        g_received.push_back(
            {msg, wParam, msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR ? 0 : lParam});
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

SDL_Event Key(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event Text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8);
    return e;
}

SDL_Event Button(Uint32 type, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event Motion(int x, int y, Uint32 state) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.state = state;
    return e;
}

SDL_Event Window(Uint8 event) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    return e;
}

struct Case {
    const char* name;
    SDL_Event event;
    SdlAction action;
    std::vector<Received> received;
};

class SdlInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::shell::SetDisplayOn(true);
        WNDCLASS wc{};
        wc.lpfnWndProc = RecorderProc;
        wc.lpszClassName = L"SdlInputRecorder";
        RegisterClass(&wc);
        windows.Run([&] {
            pane = CreateWindowEx(0, L"SdlInputRecorder", L"Recorder", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268,
                                  nullptr, nullptr, nullptr, nullptr);
        });
    }

    std::vector<Received> Take() {
        EXPECT_TRUE(platform::desktop::WaitUntilIdle(std::chrono::seconds(10)));
        std::lock_guard lock(g_mutex);
        return std::exchange(g_received, {});
    }

    testing_support::WindowThread windows;
    HWND pane = nullptr;
};

TEST_F(SdlInputTest, EventsReachTheWindowsAsAKeyboardAndStylusWould) {
    const auto at = [](int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); };
    const Case cases[] = {
        {"enter makes its character",
         Key(SDL_KEYDOWN, SDLK_RETURN),
         SdlAction::None,
         {{WM_KEYDOWN, VK_RETURN, 0}, {WM_CHAR, L'\r', 0}}},
        {"a released key", Key(SDL_KEYUP, SDLK_RETURN), SdlAction::None, {{WM_KEYUP, VK_RETURN, 0}}},
        {"backspace makes its character",
         Key(SDL_KEYDOWN, SDLK_BACKSPACE),
         SdlAction::None,
         {{WM_KEYDOWN, VK_BACK, 0}, {WM_CHAR, L'\b', 0}}},
        {"space's character comes as text",
         Key(SDL_KEYDOWN, SDLK_SPACE),
         SdlAction::None,
         {{WM_KEYDOWN, VK_SPACE, 0}}},
        {"F1 is the left soft key", Key(SDL_KEYDOWN, SDLK_F1), SdlAction::None, {{WM_KEYDOWN, VK_TSOFT1, 0}}},
        {"delete", Key(SDL_KEYDOWN, SDLK_DELETE), SdlAction::None, {{WM_KEYDOWN, VK_DELETE, 0}}},
        {"text, one character each",
         Text("a\xC3\xA9"),
         SdlAction::None,
         {{WM_CHAR, L'a', 0}, {WM_CHAR, 0xE9, 0}}},
        {"the stylus scaled by the zoom",
         Button(SDL_MOUSEBUTTONDOWN, 100, 300),
         SdlAction::None,
         {{WM_LBUTTONDOWN, MK_LBUTTON, at(50, 150 - 26)}}},
        {"a drag",
         Motion(110, 300, SDL_BUTTON_LMASK),
         SdlAction::None,
         {{WM_MOUSEMOVE, MK_LBUTTON, at(55, 124)}}},
        {"the stylus lifted",
         Button(SDL_MOUSEBUTTONUP, 110, 300),
         SdlAction::None,
         {{WM_LBUTTONUP, 0, at(55, 124)}}},
        {"a move without the button is nothing", Motion(10, 300, 0), SdlAction::None, {}},
        {"F5 turns the screen", Key(SDL_KEYDOWN, SDLK_F5), SdlAction::Turn, {}},
        {"Ctrl+R turns the screen", Key(SDL_KEYDOWN, SDLK_r, KMOD_LCTRL), SdlAction::Turn, {}},
        {"the close button", Window(SDL_WINDOWEVENT_CLOSE), SdlAction::Close, {}},
        {"a key the phone has not", Key(SDL_KEYDOWN, SDLK_F9), SdlAction::None, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HandleSdlEvent(c.event, 2), c.action) << c.name;
        EXPECT_EQ(Take(), c.received) << c.name;
    }
}

} // namespace
