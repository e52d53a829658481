#include "platform/wave/SoundCommand.h"

#include "platform/wave/TextValues.h"
#include "platform/wave/WaveService.h"

namespace platform::wave {
namespace {

using platform::automation::CommandResult;

CommandResult Ok(std::string text) {
    return CommandResult{true, std::move(text)};
}

CommandResult Error(std::string text) {
    return CommandResult{false, "sound: " + std::move(text)};
}

CommandResult SwitchTo(SoundScene scene) {
    auto& service = WaveService::Instance();
    const auto room = service.Room();
    if (!room) {
        return Error(
            "the sound comes from an ALSA device; simulated sounds need source generator or recording");
    }
    scene.seed = service.NoiseSeed();
    room->Switch(std::move(scene));
    return Ok(service.DescribeSource());
}

CommandResult Play(const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && Lower(args[2]) != "loop")) {
        return Error("expected 'play <file> [loop]'");
    }
    auto recording = std::make_shared<Recording>();
    std::string error;
    if (!LoadRecording(args[1], recording.get(), &error)) {
        return Error(error);
    }
    SoundScene scene;
    scene.kind = SoundScene::Kind::Playback;
    scene.recording = std::move(recording);
    scene.loop = args.size() == 3;
    return SwitchTo(std::move(scene));
}

CommandResult Fail(const std::vector<std::string>& args) {
    FaultPlan& faults = WaveService::Instance().Faults();
    if (args.size() == 1) {
        return Ok(faults.Describe());
    }
    if (Lower(args[1]) == "clear") {
        if (args.size() == 2) {
            faults.ClearAll();
            return Ok("none");
        }
        FaultRule rule;
        std::string error;
        // Reuse the rule parser for the call's name; the code is a placeholder.
        if (args.size() != 3 || !ParseFaultRule({args[2], "1"}, &rule, &error)) {
            return Error(args.size() != 3 ? "expected 'fail clear [<call>]'" : error);
        }
        faults.Clear(rule.call);
        return Ok(faults.Describe());
    }
    FaultRule rule;
    std::string error;
    if (!ParseFaultRule(std::vector<std::string>(args.begin() + 1, args.end()), &rule, &error)) {
        return Error(error);
    }
    faults.Set(rule);
    return Ok(faults.Describe());
}

CommandResult Volume(const std::vector<std::string>& args) {
    const auto volume = WaveService::Instance().Volume();
    if (args.size() == 2) {
        DWORD word = 0;
        if (!ParseUnsigned32(args[1], &word)) {
            return Error("bad volume word '" + args[1] + "' (0..0xFFFFFFFF)");
        }
        const MMRESULT rc = volume->Set(word);
        if (rc != MMSYSERR_NOERROR) {
            return Error("cannot set the volume (" + volume->Describe() + "): " + ResultCodeName(rc));
        }
    } else if (args.size() != 1) {
        return Error("expected 'volume [<word>]'");
    }
    DWORD word = 0;
    const MMRESULT rc = volume->Get(&word);
    if (rc != MMSYSERR_NOERROR) {
        return Error("cannot read the volume (" + volume->Describe() + "): " + ResultCodeName(rc));
    }
    return Ok(FormatHex32(word));
}

} // namespace

CommandResult RunSoundCommand(const std::vector<std::string>& args) {
    auto& service = WaveService::Instance();
    const std::string what = args.empty() ? "level" : Lower(args[0]);
    if (what == "level" && args.size() <= 1) {
        return Ok(service.DescribeSource());
    }
    if (what == "silence" || what == "tone" || what == "noise") {
        SoundScene scene;
        std::string error;
        if (!ParseGenerator(args, &scene, &error)) {
            return Error(error);
        }
        return SwitchTo(std::move(scene));
    }
    if (what == "play") {
        return Play(args);
    }
    if (what == "fail") {
        return Fail(args);
    }
    if (what == "volume") {
        return Volume(args);
    }
    if (what == "state" && args.size() == 1) {
        return Ok(service.DescribeDevice());
    }
    return Error("expected level, silence, tone <hz> <level>, noise <level>, play <file> [loop], "
                 "fail <call> <code> [once|always|<n>], fail clear [<call>], volume [<word>] or state");
}

void RegisterSoundCommand() {
    platform::automation::RegisterDeviceCommand(
        "sound",
        "the microphone's sound and the wave device: level | silence | tone <hz> <level> | noise <level> | "
        "play <file> [loop] | fail <call> <code> [once|always|<n>] | fail clear [<call>] | volume [<word>] | "
        "state",
        RunSoundCommand);
}

} // namespace platform::wave
