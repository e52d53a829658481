#include "platform/fs/BackendModule.h"
#include "platform/wave/Recording.h"

namespace platform::wave {

bool LoadRecording(const std::string& path, Recording* out, std::string* error) {
    const auto load = fs::FindBackend<decltype(lullwatch_load_recording)>("lullwatch-recording.so",
                                                                          "lullwatch_load_recording", error);
    return load && load(path, out, error);
}

} // namespace platform::wave
