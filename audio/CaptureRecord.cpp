#include "audio/CaptureRecord.h"

CaptureRecord g_capture;
