// Backends that pull in large libraries (the SDL window, the SIP stack, sound-file decoding) are built as
// modules of their own, so that a program that does not use them never maps those libraries. Each
// module exports one extern "C" entry point with a fixed name, and the platform code that needs the
// backend asks for that entry point here.
//
// The entry point is looked for, in order:
//   1. among the symbols already loaded (a program or test that links the backend in takes its own);
//   2. in the module file next to the running program (the build tree puts modules there);
//   3. in the module folder of an installation, <program folder>/../lib/<multiarch>/lullwatch/.
// When $LULLWATCH_MODULE_DIR is set (tests use it), modules are loaded from that folder only.
//
// A module, once loaded, stays loaded for the life of the process. Safe to call from any thread.
#pragma once

#include <string>

namespace platform::fs {

// The address of `entry` in the module `module` (a file name such as "lullwatch-sdl.so"), or null with
// `error` set to one line naming the module and the loader's reason.
void* FindBackendEntry(const char* module, const char* entry, std::string* error);

// The same, typed: pass the entry point's declaration, as in FindBackend<decltype(name)>(...).
template <typename Function>
Function* FindBackend(const char* module, const char* entry, std::string* error) {
    return reinterpret_cast<Function*>(FindBackendEntry(module, entry, error));
}

} // namespace platform::fs
