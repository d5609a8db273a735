// Resource and control identifiers shared by setup.rc and the C++ code.
// Plain #define lines only: the resource compiler, the C++ compiler and the
// virtual machine's template reader all read this file.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_SETUP 102
#define IDD_VXD_OPTIONS 103
#define IDD_DRIVER_TYPE 130
#define IDD_WDM_OPTIONS 131

// Icon, string and the system-menu command that opens the About box
#define IDI_SETUP 128
#define IDS_ABOUTBOX 101
#define IDM_ABOUTBOX 0x0010

// Controls without an identifier of their own
#define IDC_STATIC (-1)

// Main setup dialog (102)
#define IDC_INSTALL_APPLICATIONS 1001
#define IDC_INSTALL_DRIVER 1002
#define IDC_PLEASE_WAIT 1003

// Driver architecture dialog (130)
#define IDC_VXD 1004
#define IDC_WDM 1005

// Driver option dialogs (103 VxD, 131 WDM)
#define IDC_DISABLE_MIDI 1000    // 103: the MIDI port device
#define IDC_DISABLE_LEGACY 1000  // 131: the MIDI and game port devices
#define IDC_DISABLE_GAME 1001    // 103 only: the game port device
#define IDC_MOTHERBOARD 1006
#define IDC_SOUND_CARD 1007
#define IDC_LINEIN_REAR 1011
#define IDC_LINEIN_BASS 1012
#define IDC_MIC_BASS 1013
