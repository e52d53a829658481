// Whether a recording carries a tone: the file is cut into 50 ms blocks, blocks below a silence floor
// are skipped (leading silence, jitter-buffer gaps), and in each remaining block a Goertzel filter
// (librem's) measures how much of the block's energy lies at the tone's frequency. A clean sine gives a
// share near 1 even after a G.711 round trip; speech, noise or another tone give a share near 0. The
// power at the tone is also compared with the power a little below and above it.
#pragma once

#include <filesystem>
#include <string>

namespace sippeer {

struct ToneReport {
    bool readable = false; // false: the file could not be opened as audio
    int sampleRate = 0;
    double seconds = 0;       // length of the recording
    double voicedSeconds = 0; // blocks above the silence floor
    double toneSeconds = 0;   // voiced blocks with at least half of their energy at the tone
    double share = 0;         // the tone's share of the voiced energy, 0..1
    double ratio = 0;         // power at the tone over the strongest power at the off frequencies

    // One line for a failure message.
    std::string Describe() const;
};

// Measures the tone at `hz` in the WAV (or other libsndfile-readable) file at `path`; the first channel
// is used.
ToneReport AnalyzeTone(const std::filesystem::path& path, double hz);

// True when the recording carries at least `minSeconds` of the tone at `hz`.
bool HasTone(const std::filesystem::path& path, double hz, double minSeconds = 0.5);

// The power at `hz` over the strongest power at the off frequencies, over the voiced blocks (0 when the
// file is unreadable or silent).
double ToneRatio(const std::filesystem::path& path, double hz);

} // namespace sippeer
