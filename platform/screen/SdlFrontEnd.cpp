#include "platform/screen/SdlFrontEnd.h"

#include "platform/screen/SdlInput.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <future>
#include <string>

namespace platform::screen {

// The SDL window, renderer and texture; made, used and destroyed on the screen thread only.
class SdlFrontEnd::Window {
public:
    explicit Window(int zoom) : zoom_(zoom) {}
    ~Window() {
        if (texture_) {
            SDL_DestroyTexture(texture_);
        }
        if (renderer_) {
            SDL_DestroyRenderer(renderer_);
        }
        if (window_) {
            SDL_DestroyWindow(window_);
        }
    }

    bool Open(int width, int height, std::string* error) {
        const bool fit = zoom_ == kZoomFit;
        window_ = SDL_CreateWindow("Phone screen - F1/F2 soft keys, F5 turns", SDL_WINDOWPOS_UNDEFINED,
                                   SDL_WINDOWPOS_UNDEFINED, width * std::max(1, zoom_),
                                   height * std::max(1, zoom_), fit ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        if (window_) {
            // SDL's own software renderer: a phone-sized picture needs no GPU, and a GL driver (Mesa's
            // software rasteriser under Xvfb) brings worker threads and start-up time for nothing.
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        }
        if (!window_ || !renderer_ || !Resize(width, height)) {
            *error = std::string("SDL could not open the screen window: ") + SDL_GetError();
            return false;
        }
        return true;
    }

    // Copies the given rectangles of the frame into the texture and shows the whole texture.
    void Present(const gdi::Surface& frame, std::vector<RECT> rects) {
        {
            std::lock_guard lock(frame.mutex());
            if (frame.width() != width_ || frame.height() != height_) {
                Resize(frame.width(), frame.height());
                rects.assign(1, RECT{0, 0, width_, height_});
            }
            for (const RECT& r : rects) {
                if (r.right <= r.left || r.bottom <= r.top || r.right > width_ || r.bottom > height_) {
                    continue;
                }
                const SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
                SDL_UpdateTexture(texture_, &area,
                                  frame.pixels() + static_cast<std::size_t>(r.top) * width_ + r.left,
                                  width_ * static_cast<int>(sizeof(std::uint32_t)));
            }
        }
        Show();
    }

    void Show() {
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }

private:
    bool Resize(int width, int height) {
        if (texture_) {
            SDL_DestroyTexture(texture_);
        }
        width_ = std::max(1, width);
        height_ = std::max(1, height);
        if (zoom_ == kZoomFit) {
            // SDL scales the picture and the mouse's coordinates alike.
            SDL_RenderSetLogicalSize(renderer_, width_, height_);
            SDL_RenderSetIntegerScale(renderer_, SDL_TRUE);
        } else {
            SDL_SetWindowSize(window_, width_ * zoom_, height_ * zoom_);
        }
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width_,
                                     height_);
        return texture_ != nullptr;
    }

    const int zoom_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

namespace {

// The display the environment names, for messages: DISPLAY and WAYLAND_DISPLAY as they are set.
std::string NamedDisplay() {
    std::string named;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            named += std::string(named.empty() ? "" : ", ") + name + "=" + value;
        }
    }
    return named.empty() ? "no DISPLAY or WAYLAND_DISPLAY set" : named;
}

// SDL falls back to drivers that draw nowhere (offscreen, dummy) when no display answers. Such a driver
// only counts when the user asked for it by name.
bool ShowsAWindow(const char* driver) {
    if (driver == nullptr) {
        return false;
    }
    const std::string name = driver;
    if (name != "offscreen" && name != "dummy" && name != "evdev") {
        return true;
    }
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked != nullptr && name == asked;
}

} // namespace

SdlFrontEnd::SdlFrontEnd(int zoom) : zoom_(zoom == kZoomFit ? kZoomFit : std::max(1, zoom)) {}

SdlFrontEnd::~SdlFrontEnd() {
    Stop();
}

bool SdlFrontEnd::Start(FrontEndHost& host, std::string* error) {
    stopping_.store(false, std::memory_order_release);
    std::promise<std::string> started;
    auto result = started.get_future();
    thread_ = std::thread([this, &host, started = std::move(started)]() mutable {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            started.set_value("SDL could not use the display (" + NamedDisplay() + "): " + SDL_GetError());
            return;
        }
        if (!ShowsAWindow(SDL_GetCurrentVideoDriver())) {
            started.set_value("SDL found no working display (" + NamedDisplay() + ")");
        } else {
            Window window(zoom_);
            std::string failure;
            const auto frame = host.Frame();
            if (!window.Open(frame->width(), frame->height(), &failure)) {
                started.set_value(failure + " (" + NamedDisplay() + ")");
            } else {
                wakeEvent_.store(SDL_RegisterEvents(1), std::memory_order_release);
                started.set_value("");
                Run(host, window);
                wakeEvent_.store(0, std::memory_order_release);
            }
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    });
    const std::string failure = result.get();
    if (!failure.empty()) {
        thread_.join();
        *error = failure;
        return false;
    }
    Wake();
    return true;
}

void SdlFrontEnd::Wake() {
    const std::uint32_t type = wakeEvent_.load(std::memory_order_acquire);
    if (type == 0 || type == static_cast<std::uint32_t>(-1) || wakePending_.exchange(true)) {
        return;
    }
    SDL_Event event{};
    event.type = type;
    if (SDL_PushEvent(&event) != 1) {
        wakePending_.store(false);
    }
}

void SdlFrontEnd::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    stopping_.store(true, std::memory_order_release);
    wakePending_.store(false);
    Wake();
    thread_.join();
}

void SdlFrontEnd::Run(FrontEndHost& host, Window& window) {
    const std::uint32_t wakeType = wakeEvent_.load(std::memory_order_acquire);
    while (!stopping_.load(std::memory_order_acquire)) {
        SDL_Event event;
        if (!SDL_WaitEventTimeout(&event, 200)) {
            continue;
        }
        bool compose = false;
        bool expose = false;
        do {
            if (event.type == wakeType) {
                compose = true;
            } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                expose = true;
            } else {
                switch (HandleSdlEvent(event, std::max(1, zoom_))) {
                case SdlAction::Turn:
                    host.Turn();
                    break;
                case SdlAction::Close:
                    host.RequestClose();
                    break;
                case SdlAction::None:
                    break;
                }
            }
        } while (SDL_PollEvent(&event));
        if (compose) {
            wakePending_.store(false, std::memory_order_release);
            window.Present(*host.Frame(), host.TakeComposed());
        } else if (expose) {
            window.Show();
        }
    }
}

} // namespace platform::screen
