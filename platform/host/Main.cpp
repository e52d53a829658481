// The process's entry point for every program built on the platform: the program itself starts in
// AfxWinMain, which the host calls once the device is up.
#include "platform/host/Host.h"

int main(int argc, char** argv) {
    return platform::host::Run(argc, argv);
}
