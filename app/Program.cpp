// The program's application object. The host's main() brings the device up and runs it through
// AfxWinMain.
#include "app/MonitorApp.h"

CMonitorApp theApp;
