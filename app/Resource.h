// Identifiers of the program's resources and of the controls and commands in them.
#pragma once

// Dialog templates.
#define IDD_MAIN_DIALOG 102
#define IDD_SETTINGS_DIALOG 103
#define IDD_ABOUT_DIALOG 104
#define IDD_CALL_DIALOG 105

// Menu, bitmap, icon.
#define IDR_MAIN_MENU 128
#define IDB_BACKGROUND 133
#define IDI_MAIN_ICON 128

// Main window controls.
#define IDC_RUN 1000
#define IDC_LEVEL_METER 1002
#define IDC_PHONE_NUMBER 1003
#define IDC_STEP5 1004
#define IDC_STEP4 1005
#define IDC_STEP3 1006
#define IDC_STEP2 1007
#define IDC_STEP1 1008

// Call-progress window controls.
#define IDC_CALL_STATUS 1001
#define IDC_CALL_NUMBER 1009

// Advanced settings dialog controls.
#define IDC_SENSITIVITY_SLIDER 1020
#define IDC_AVERAGE_SLIDER 1021
#define IDC_NOISE_SLIDER 1023

// Menu commands.
#define ID_ABOUT 32775
#define ID_SETTINGS 32779
#define ID_DISPLAY_OFF 32780

// Posted to the main window when an alarm call is over.
#define ID_CALL_FINISHED 1124
