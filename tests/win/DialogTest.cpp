// The dialog manager with input from the desktop: tab order, arrow keys within a radio group, Enter and
// Escape, characters, dialog codes, a disabled owner while its modal dialog is up, turning the screen,
// and modal dialogs on two threads at once.
#include "TestWindows.h"

#include "platform/win/Desktop.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace lwtest;
namespace desktop = platform::desktop;

namespace {

constexpr UINT kFocusOn = WM_USER + 20; // wParam: control id
constexpr UINT kEnd = WM_USER + 9;      // wParam: result
constexpr int kEdit = 10;
constexpr int kRadio1 = 11;
constexpr int kRadio2 = 12;
constexpr int kRadio3 = 13;
constexpr int kLabel = 14;

// Runs a test dialog on a thread of its own.
class DialogOnThread {
public:
    explicit DialogOnThread(TemplateBuilder& tmpl, HWND owner = nullptr, std::string name = "dlg")
        : script_{std::move(name),
                  [this](HWND d, UINT msg, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
                      if (msg == WM_INITDIALOG) {
                          dialog_ = d;
                      } else if (msg == kFocusOn) {
                          SetFocus(GetDlgItem(d, static_cast<int>(wParam)));
                          return TRUE;
                      } else if (msg == kEnd) {
                          EndDialog(d, static_cast<INT_PTR>(wParam));
                          return TRUE;
                      } else if (msg == WM_COMMAND || msg == WM_TIMER) {
                          return TRUE;
                      }
                      return std::nullopt;
                  }},
          thread_([this, &tmpl, owner] { result_ = RunDialog(tmpl.get(), owner, script_); }) {
        WaitOrDie([this] { return dialog_.load() && IsWindowVisible(dialog_); }, "the dialog to show");
        WaitOrDie([] { return desktop::WaitUntilIdle(std::chrono::milliseconds(0)); },
                  "the dialog's thread to settle");
    }
    ~DialogOnThread() { end(0); }

    HWND dialog() const { return dialog_; }
    INT_PTR end(INT_PTR result) {
        if (!thread_.finished()) {
            SendMessage(dialog_, kEnd, static_cast<WPARAM>(result), 0);
            thread_.join();
        }
        return result_;
    }
    int focusId() const {
        for (const auto& info : desktop::EnumerateChildren(dialog_)) {
            if (info.focused) {
                return info.id;
            }
        }
        return 0;
    }

private:
    std::atomic<HWND> dialog_{nullptr};
    std::atomic<INT_PTR> result_{-5};
    DialogScript script_;
    UiThread thread_;
};

void Settle() {
    WaitOrDie([] { return desktop::WaitUntilIdle(std::chrono::milliseconds(0)); }, "the windows to settle");
}

void Press(UINT vk, bool shift = false) {
    if (shift) {
        desktop::InjectKey(VK_SHIFT, true);
    }
    desktop::InjectKey(vk, true);
    desktop::InjectKey(vk, false);
    if (shift) {
        desktop::InjectKey(VK_SHIFT, false);
    }
    Settle();
}

TemplateBuilder FormTemplate() {
    RegisterTestControls();
    TemplateBuilder t(WS_POPUP | WS_CAPTION, 113, 116, L"Form");
    t.add(L"LwTestEdit", kEdit, WS_TABSTOP, 5, 5, 60, 12)
        .add(L"LwTestRadio", kRadio1, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 5, 20, 40, 10)
        .add(L"LwTestRadio", kRadio2, BS_AUTORADIOBUTTON, 5, 32, 40, 10)
        .add(L"LwTestRadio", kRadio3, BS_AUTORADIOBUTTON, 5, 44, 40, 10)
        .add(L"LwTestWindow", kLabel, WS_GROUP, 5, 56, 40, 10)
        .add(L"LwTestButton", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 5, 70, 40, 14, L"OK")
        .add(L"LwTestButton", IDCANCEL, WS_TABSTOP, 50, 70, 40, 14, L"Cancel");
    return t;
}

class DialogTest : public WinTest {};

TEST_F(DialogTest, TabMovesAlongTheTabStopsBothWays) {
    auto tmpl = FormTemplate();
    DialogOnThread dlg(tmpl);
    EXPECT_EQ(dlg.focusId(), kEdit) << "WM_INITDIALOG returned TRUE: focus on the first tab stop";
    const struct {
        bool shift;
        int focus;
    } steps[] = {{false, kRadio1}, {false, IDOK},    {false, IDCANCEL},
                 {false, kEdit},   {true, IDCANCEL}, {true, IDOK}};
    for (const auto& step : steps) {
        Press(VK_TAB, step.shift);
        EXPECT_EQ(dlg.focusId(), step.focus) << (step.shift ? "Shift+Tab" : "Tab");
    }
}

TEST_F(DialogTest, ArrowKeysMoveAndCheckWithinTheRadioGroup) {
    auto tmpl = FormTemplate();
    DialogOnThread dlg(tmpl);
    SendMessage(dlg.dialog(), kFocusOn, kRadio1, 0);
    const struct {
        UINT key;
        int focus;
    } steps[] = {
        {VK_DOWN, kRadio2}, {VK_DOWN, kRadio3}, {VK_DOWN, kRadio1}, {VK_UP, kRadio3}, {VK_RIGHT, kRadio1}};
    for (const auto& step : steps) {
        Press(step.key);
        EXPECT_EQ(dlg.focusId(), step.focus);
        for (const int radio : {kRadio1, kRadio2, kRadio3}) {
            EXPECT_EQ(GetWindowLongPtr(GetDlgItem(dlg.dialog(), radio), GWL_USERDATA),
                      radio == step.focus ? 1 : 0)
                << "radio " << radio << " after moving to " << step.focus;
        }
    }
}

TEST_F(DialogTest, EnterAndEscapeBecomeCommands) {
    auto tmpl = FormTemplate();
    DialogOnThread dlg(tmpl);
    const struct {
        int focus;
        UINT key;
        WPARAM command;
    } cases[] = {
        {kEdit, VK_RETURN, IDOK},        // the default push button
        {IDCANCEL, VK_RETURN, IDCANCEL}, // a focused push button is pressed
        {kEdit, VK_ESCAPE, IDCANCEL},
        {kRadio2, VK_ESCAPE, IDCANCEL},
    };
    for (const auto& c : cases) {
        SendMessage(dlg.dialog(), kFocusOn, static_cast<WPARAM>(c.focus), 0);
        Log().watch({WM_COMMAND});
        Press(c.key);
        ExpectSequence(Log().take(), {{"dlg", WM_COMMAND, c.command}},
                       "key on control " + std::to_string(c.focus));
    }
}

TEST_F(DialogTest, CharactersAndWantedKeysGoToTheFocusControl) {
    auto tmpl = FormTemplate();
    DialogOnThread dlg(tmpl);
    Log().watch({WM_KEYDOWN, WM_CHAR});
    desktop::InjectChar(L'h');
    desktop::InjectChar(L'i');
    Press(VK_DOWN); // the edit wants arrows (WM_GETDLGCODE)
    EXPECT_EQ(dlg.focusId(), kEdit);
    ExpectSequence(Log().take(),
                   {{"ctl10", WM_CHAR, L'h'}, {"ctl10", WM_CHAR, L'i'}, {"ctl10", WM_KEYDOWN, VK_DOWN}},
                   "keys for the edit");
    std::wstring text;
    for (const auto& info : desktop::EnumerateChildren(dlg.dialog())) {
        if (info.id == kEdit) {
            text = info.text;
        }
    }
    EXPECT_EQ(text, L"hi");

    // A control that does not want characters gets no Enter, Tab or Escape typed as a character.
    SendMessage(dlg.dialog(), kFocusOn, IDOK, 0);
    Log().watch({WM_CHAR});
    desktop::InjectChar(L'\r');
    desktop::InjectChar(L'\t');
    desktop::InjectChar(L'x');
    Settle();
    ExpectSequence(Log().take(), {{"ctl1", WM_CHAR, L'x'}}, "characters for a button");
}

TEST_F(DialogTest, ADisabledOwnerTakesNoClickWhileItsModalDialogIsUp) {
    RegisterTestControls();
    std::atomic<HWND> owner{nullptr};
    std::atomic<HWND> dialog{nullptr};
    TemplateBuilder box(WS_POPUP | DS_CENTER, 60, 40);
    box.add(L"LwTestButton", 1, WS_TABSTOP, 5, 5, 40, 14);
    DialogScript script{"box", [&](HWND d, UINT msg, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
                            if (msg == WM_INITDIALOG) {
                                dialog = d;
                            } else if (msg == kEnd) {
                                EndDialog(d, static_cast<INT_PTR>(wParam));
                                return TRUE;
                            }
                            return std::nullopt;
                        }};
    UiThread thread([&] {
        const HWND o = MakeWindow("owner", WS_POPUP | WS_VISIBLE);
        MakeWindow("ownerButton", WS_CHILD | WS_VISIBLE, o, {10, 10, 50, 20});
        owner = o;
        RunDialog(box.get(), o, script);
        RunMessageLoop();
        DestroyWindow(o);
    });
    WaitOrDie([&] { return dialog.load() && IsWindowVisible(dialog); }, "the box");
    RECT boxRect{};
    GetWindowRect(dialog, &boxRect);
    EXPECT_EQ(boxRect.left, 60);
    EXPECT_EQ(boxRect.top, 120);
    EXPECT_EQ(desktop::ForegroundWindow(), dialog.load());
    Settle();

    Log().watch({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_COMMAND});
    desktop::InjectClick(POINT{20, 41}); // the owner's button, outside the box
    Settle();
    desktop::InjectClick(POINT{80, 140}); // the box's button
    Settle();
    SendMessage(dialog, kEnd, 1, 0);
    WaitOrDie([&] { return !IsWindow(dialog) && IsWindowEnabled(owner); }, "the box to end");
    Settle();
    desktop::InjectClick(POINT{20, 41});
    Settle();
    ExpectSequence(Log().take(),
                   {{"ctl1", WM_LBUTTONDOWN},
                    {"ctl1", WM_LBUTTONUP},
                    {"box", WM_COMMAND, 1},
                    {"ownerButton", WM_LBUTTONDOWN},
                    {"ownerButton", WM_LBUTTONUP}},
                   "clicks around a modal box");
}

TEST_F(DialogTest, TurningTheScreenResizesAFullScreenDialog) {
    auto tmpl = FormTemplate();
    DialogOnThread dlg(tmpl);
    RECT r{};
    GetWindowRect(dlg.dialog(), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 294);

    Log().watch({WM_SIZE, WM_PAINT});
    desktop::SetScreenSize(320, 240);
    const RECT work = desktop::Layout().workArea;
    EXPECT_EQ(work.bottom, 214);
    WaitOrDie([&] { return GetWindowRect(dlg.dialog(), &r) && r.right == 320 && r.bottom == 214; },
              "the resize");
    Settle();
    const auto log = Log().take();
    ExpectSequence(log, {{"dlg", WM_SIZE, SIZE_RESTORED}, {"dlg", WM_PAINT}}, "turned to landscape", "dlg");
    if (!log.empty()) {
        EXPECT_EQ(log[0].lParam, MAKELPARAM(320, 188));
    }
    desktop::SetScreenSize(240, 320);
    WaitOrDie([&] { return GetWindowRect(dlg.dialog(), &r) && r.right == 240 && r.bottom == 294; },
              "turning back");
}

TEST_F(DialogTest, TwoThreadsRunModalDialogsAtOnce) {
    TemplateBuilder tmpl(WS_POPUP | WS_CAPTION, 50, 50);
    std::atomic<int> ticksA{0};
    std::atomic<int> ticksB{0};
    auto scriptFor = [](const char* name, std::atomic<int>& ticks) {
        return DialogScript{name,
                            [&ticks](HWND d, UINT msg, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
                                if (msg == WM_INITDIALOG) {
                                    SetTimer(d, 1, 100, nullptr);
                                } else if (msg == WM_TIMER) {
                                    ++ticks;
                                    return TRUE;
                                } else if (msg == kEnd) {
                                    KillTimer(d, 1);
                                    EndDialog(d, static_cast<INT_PTR>(wParam));
                                    return TRUE;
                                }
                                return std::nullopt;
                            }};
    };
    DialogScript a = scriptFor("a", ticksA);
    DialogScript b = scriptFor("b", ticksB);
    std::atomic<INT_PTR> resultA{0};
    std::atomic<INT_PTR> resultB{0};
    UiThread threadA([&] { resultA = RunDialog(tmpl.get(), nullptr, a); });
    UiThread threadB([&] { resultB = RunDialog(tmpl.get(), nullptr, b); });
    std::vector<HWND> modal;
    WaitOrDie(
        [&] {
            modal.clear();
            for (const auto& top : desktop::EnumerateTopLevels()) {
                if (top.modal && top.visible) {
                    modal.push_back(top.hwnd);
                }
            }
            return modal.size() == 2 && ticksA >= 2 && ticksB >= 2;
        },
        "both dialogs up and ticking");
    for (const HWND d : modal) {
        SendMessage(d, kEnd, GetWindowThreadProcessId(d, nullptr) == threadA.id() ? 11 : 22, 0);
    }
    threadA.join();
    threadB.join();
    EXPECT_EQ(resultA.load(), 11);
    EXPECT_EQ(resultB.load(), 22);
}

} // namespace

TEST_F(DialogTest, TurnedFullScreenDialogScrollsToItsFocusAndByItsScrollBar) {
    RegisterTestControls();
    // The button's bottom lies 248 pixels down: inside the upright work area (268), below the turned one
    // (188).
    TemplateBuilder tmpl(WS_POPUP, 113, 130, L"Tall");
    tmpl.add(L"LwTestEdit", kEdit, WS_TABSTOP, 5, 5, 60, 12)
        .add(L"LwTestButton", IDOK, WS_TABSTOP, 5, 110, 40, 14, L"OK");
    DialogOnThread dlg(tmpl);
    const auto top = [&](int id) {
        RECT window{};
        RECT child{};
        GetWindowRect(dlg.dialog(), &window);
        GetWindowRect(GetDlgItem(dlg.dialog(), id), &child);
        return std::pair{child.top - window.top, child.bottom - window.top};
    };
    const auto upright = std::pair{top(kEdit), top(IDOK)};
    EXPECT_EQ(upright.second.second, 248);
    SendMessage(dlg.dialog(), kFocusOn, IDOK, 0);
    Settle();
    EXPECT_EQ(std::pair(top(kEdit), top(IDOK)), upright) << "a dialog that fits never scrolls";

    desktop::SetScreenSize(320, 240);
    RECT r{};
    WaitOrDie([&] { return GetWindowRect(dlg.dialog(), &r) && r.bottom == 214; }, "the resize");
    SendMessage(dlg.dialog(), kFocusOn, kEdit, 0);
    SendMessage(dlg.dialog(), kFocusOn, IDOK, 0);
    Settle();
    const int scrolled = upright.second.second + 4 - 188; // the content's bottom keeps a small margin
    EXPECT_EQ(top(IDOK).second, 188 - 4) << "focus brings the button into view";
    EXPECT_EQ(top(kEdit).first, upright.first.first - scrolled) << "the other controls move with it";

    // The scroll bar at the right edge: a press above its thumb pages up, one below pages down.
    desktop::InjectClick(POINT{r.right - 2, r.top + 1});
    Settle();
    EXPECT_EQ(top(kEdit), upright.first);
    desktop::InjectClick(POINT{r.right - 2, r.bottom - 1});
    Settle();
    EXPECT_EQ(top(IDOK).second, 188 - 4);

    // Turned back it fits again: nothing is scrolled.
    desktop::SetScreenSize(240, 320);
    WaitOrDie([&] { return GetWindowRect(dlg.dialog(), &r) && r.bottom == 294; }, "turning back");
    Settle();
    EXPECT_EQ(std::pair(top(kEdit), top(IDOK)), upright);
}
