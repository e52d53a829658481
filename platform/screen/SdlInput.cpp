#include "platform/screen/SdlInput.h"

#include "platform/screen/KeyInput.h"
#include "platform/shell/Power.h"
#include "platform/win/Utf8.h"

namespace platform::screen {
namespace {

// The device's key for an SDL key, or 0.
UINT KeyOf(SDL_Keycode sym) {
    switch (sym) {
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_F1:
        return VK_TSOFT1;
    case SDLK_F2:
        return VK_TSOFT2;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    default:
        return 0;
    }
}

POINT ScreenPoint(int x, int y, int zoom) {
    return POINT{x / zoom, y / zoom};
}

SdlAction KeyDown(const SDL_KeyboardEvent& key) {
    const bool ctrl = (key.keysym.mod & KMOD_CTRL) != 0;
    if (key.keysym.sym == SDLK_F5 || (ctrl && key.keysym.sym == SDLK_r)) {
        return key.repeat ? SdlAction::None : SdlAction::Turn;
    }
    const UINT vk = KeyOf(key.keysym.sym);
    if (vk == 0 || ctrl) {
        return SdlAction::None;
    }
    shell::UserKey(vk, true);
    // Space arrives as text input as well; the other character keys do not.
    if (const wchar_t ch = CharOfKey(vk); ch && vk != VK_SPACE) {
        shell::UserChar(ch);
    }
    return SdlAction::None;
}

} // namespace

SdlAction HandleSdlEvent(const SDL_Event& event, int zoom) {
    switch (event.type) {
    case SDL_QUIT:
        return SdlAction::Close;
    case SDL_WINDOWEVENT:
        return event.window.event == SDL_WINDOWEVENT_CLOSE ? SdlAction::Close : SdlAction::None;
    case SDL_KEYDOWN:
        return KeyDown(event.key);
    case SDL_KEYUP:
        if (const UINT vk = KeyOf(event.key.keysym.sym)) {
            shell::UserKey(vk, false);
        }
        return SdlAction::None;
    case SDL_TEXTINPUT:
        TypeText(FromUtf8(event.text.text));
        return SdlAction::None;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            shell::UserMouse(ScreenPoint(event.button.x, event.button.y, zoom),
                             event.type == SDL_MOUSEBUTTONDOWN);
        }
        return SdlAction::None;
    case SDL_MOUSEMOTION:
        if (event.motion.state & SDL_BUTTON_LMASK) {
            shell::UserMouseMove(ScreenPoint(event.motion.x, event.motion.y, zoom));
        }
        return SdlAction::None;
    default:
        return SdlAction::None;
    }
}

} // namespace platform::screen
