// The SIP stack's headers (libre, librem), which expect the fixed-width integer types to be declared
// before them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include <re.h>
#include <rem.h>
