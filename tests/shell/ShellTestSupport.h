// A plain dialog that makes a soft-key menu bar and takes SHInitDialog flags, run on a window thread of
// its own with DialogHarness; the menu resource is 128 of the program's module.
#pragma once

#include "platform/shell/AygShell.h"
#include "platform/shell/MenuTemplate.h"
#include "tests/controls/DialogHarness.h"

namespace lullwatch::test {

constexpr UINT kMenuId = 128;
constexpr UINT kCommandMenuId = 129; // two command soft keys, no pop-up
constexpr UINT ID_ABOUT = 32775;
constexpr UINT ID_SETTINGS = 32779;
constexpr UINT ID_DISPLAY_OFF = 32780;

void RegisterShellTestResources();

} // namespace lullwatch::test
