#include "app/MonitorSession.h"

constinit MonitorSession g_session;
