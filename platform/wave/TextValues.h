// Small text helpers shared by the profile parser and the automation command: strict number parsing
// (the whole word must be the number), case folding, and the result codes' names.
#pragma once

#include <string>

#include "platform/wave/WaveApi.h"

namespace platform::wave {

std::string Lower(std::string s);

// Decimal, or hexadecimal with 0x; the whole text must be the number.
bool ParseLong(const std::string& text, long* out);
bool ParseUnsigned32(const std::string& text, DWORD* out);
bool ParseDouble(const std::string& text, double* out);

// yes/no, true/false, on/off, 1/0.
bool ParseBool(const std::string& text, bool* out);

// A number without trailing zeros ("440", "440.5").
std::string FormatNumber(double v);

// "0x0000FFFF".
std::string FormatHex32(DWORD v);

// A result code given as a number or by name ("MMSYSERR_NODRIVER", "nodriver", "6").
bool ParseResultCode(const std::string& text, MMRESULT* out);

// The code's name ("MMSYSERR_NODRIVER"), or its number when it has none.
std::string ResultCodeName(MMRESULT code);

} // namespace platform::wave
