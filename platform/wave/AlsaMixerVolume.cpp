#include "platform/wave/AlsaMixerVolume.h"

#include <alsa/asoundlib.h>

#include <memory>

namespace platform::wave {
namespace {

struct MixerCloser {
    void operator()(snd_mixer_t* m) const { snd_mixer_close(m); }
};
using Mixer = std::unique_ptr<snd_mixer_t, MixerCloser>;

struct IdFree {
    void operator()(snd_mixer_selem_id_t* id) const { snd_mixer_selem_id_free(id); }
};

// Opens the card's mixer and finds the control; null when either is missing.
snd_mixer_elem_t* FindControl(const std::string& card, const std::string& control, Mixer* mixer) {
    snd_mixer_t* m = nullptr;
    if (snd_mixer_open(&m, 0) < 0) {
        return nullptr;
    }
    mixer->reset(m);
    if (snd_mixer_attach(m, card.c_str()) < 0 || snd_mixer_selem_register(m, nullptr, nullptr) < 0 ||
        snd_mixer_load(m) < 0) {
        return nullptr;
    }
    snd_mixer_selem_id_t* raw = nullptr;
    if (snd_mixer_selem_id_malloc(&raw) < 0) {
        return nullptr;
    }
    std::unique_ptr<snd_mixer_selem_id_t, IdFree> id(raw);
    snd_mixer_selem_id_set_index(raw, 0);
    snd_mixer_selem_id_set_name(raw, control.c_str());
    snd_mixer_elem_t* elem = snd_mixer_find_selem(m, raw);
    if (elem == nullptr || !snd_mixer_selem_has_playback_volume(elem)) {
        return nullptr;
    }
    return elem;
}

WORD ToWord(long value, long min, long max) {
    if (max <= min) {
        return 0;
    }
    const long long scaled = ((static_cast<long long>(value - min) * 0xFFFF) + (max - min) / 2) / (max - min);
    return static_cast<WORD>(scaled < 0 ? 0 : scaled > 0xFFFF ? 0xFFFF : scaled);
}

long FromWord(WORD word, long min, long max) {
    return min + static_cast<long>((static_cast<long long>(word) * (max - min) + 0x7FFF) / 0xFFFF);
}

} // namespace

AlsaMixerVolume::AlsaMixerVolume(std::string card, std::string control)
    : card_(std::move(card)), control_(std::move(control)) {}

MMRESULT AlsaMixerVolume::Get(DWORD* volume) {
    Mixer mixer;
    snd_mixer_elem_t* elem = FindControl(card_, control_, &mixer);
    if (elem == nullptr) {
        return MMSYSERR_NODRIVER;
    }
    long min = 0;
    long max = 0;
    long left = 0;
    long right = 0;
    if (snd_mixer_selem_get_playback_volume_range(elem, &min, &max) < 0 ||
        snd_mixer_selem_get_playback_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, &left) < 0) {
        return MMSYSERR_ERROR;
    }
    if (snd_mixer_selem_is_playback_mono(elem) ||
        snd_mixer_selem_get_playback_volume(elem, SND_MIXER_SCHN_FRONT_RIGHT, &right) < 0) {
        right = left;
    }
    *volume = MAKELONG(ToWord(left, min, max), ToWord(right, min, max));
    return MMSYSERR_NOERROR;
}

MMRESULT AlsaMixerVolume::Set(DWORD volume) {
    Mixer mixer;
    snd_mixer_elem_t* elem = FindControl(card_, control_, &mixer);
    if (elem == nullptr) {
        return MMSYSERR_NODRIVER;
    }
    long min = 0;
    long max = 0;
    if (snd_mixer_selem_get_playback_volume_range(elem, &min, &max) < 0) {
        return MMSYSERR_ERROR;
    }
    const long left = FromWord(LOWORD(volume), min, max);
    const long right = FromWord(HIWORD(volume), min, max);
    int err = 0;
    if (snd_mixer_selem_is_playback_mono(elem)) {
        err = snd_mixer_selem_set_playback_volume(elem, SND_MIXER_SCHN_MONO, left);
    } else {
        err = snd_mixer_selem_set_playback_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, left);
        if (err >= 0 && snd_mixer_selem_has_playback_channel(elem, SND_MIXER_SCHN_FRONT_RIGHT)) {
            err = snd_mixer_selem_set_playback_volume(elem, SND_MIXER_SCHN_FRONT_RIGHT, right);
        }
    }
    return err < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}

std::string AlsaMixerVolume::Describe() const {
    return "alsa mixer \"" + card_ + "\" control \"" + control_ + "\"";
}

} // namespace platform::wave
