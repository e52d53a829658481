#include "settings/MonitorSettings.h"

constinit MonitorSettings g_settings;
