// The identifiers of the test program's resources and controls.
#pragma once

constexpr unsigned kControlsDialogId = 200;
constexpr unsigned kMenuBarId = 300;

constexpr int IDC_NAME_LABEL = 1001;
constexpr int IDC_NAME = 1002;
constexpr int IDC_COPY = 1003;
constexpr int IDC_MESSAGE = 1004;
constexpr int IDC_LOW = 1005;
constexpr int IDC_HIGH = 1006;
constexpr int IDC_PROGRESS = 1007;
constexpr int IDC_SLIDER = 1008;
constexpr int IDC_STATUS = 1009;

constexpr unsigned ID_RESET = 32800;
constexpr unsigned ID_HELLO = 32801;
constexpr unsigned ID_DISPLAY_OFF = 32802;
