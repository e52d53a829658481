// The automation channel's commands, one function each, grouped in files by what they touch: windows
// (WindowCommands.cpp), input (InputCommands.cpp), waiting (WaitCommand.cpp), the screen and the
// program (ScreenCommands.cpp). `args` are the words after the command word.
#pragma once

#include "platform/automation/Channel.h"

#include <chrono>

namespace platform::automation::commands {

using Args = std::vector<std::string>;

// How long an input command waits for the window threads to handle what it gave them.
constexpr std::chrono::milliseconds kSettleTime{2000};

// The reply of an input command once its input has been handled: it waits until every window thread
// waits for input again (at most kSettleTime), so that the next command finds the focus, the windows and
// their texts as the input left them. A thread still busy then (in a Sleep, say) is noted in the reply.
Reply Delivered(std::string status);

Reply Windows(const ChannelHooks& hooks, const Args& args);
Reply Controls(const ChannelHooks& hooks, const Args& args);
Reply Click(const ChannelHooks& hooks, const Args& args);
Reply MsgBox(const ChannelHooks& hooks, const Args& args);

Reply Key(const ChannelHooks& hooks, const Args& args);
Reply Type(const ChannelHooks& hooks, const Args& args);
Reply SoftKey(const ChannelHooks& hooks, const Args& args);
Reply Menu(const ChannelHooks& hooks, const Args& args);

Reply Wait(const ChannelHooks& hooks, const Args& args);

Reply Snapshot(const ChannelHooks& hooks, const Args& args);
Reply Turn(const ChannelHooks& hooks, const Args& args);
Reply ScreenState(const ChannelHooks& hooks, const Args& args);
Reply Display(const ChannelHooks& hooks, const Args& args);
Reply Quit(const ChannelHooks& hooks, const Args& args);

} // namespace platform::automation::commands
