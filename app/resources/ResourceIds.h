// Identifiers of the program's resources (app/resources/OV.rc) and of the
// controls of its windows: dialog templates and their controls, and the main
// window's children, which it creates in code. Shared by the resource compiler
// and C++, so plain #defines only. Every window takes its own block of 100.
#pragma once

// ---- Resources.
#define IDI_MAIN_ICON 1         // the program icon, 16 to 256 pixels
#define IDR_KP1_FONT 100        // the bitmap font "KP1", resource type 8 (RT_FONT)
#define IDR_MANIFEST 1          // RT_MANIFEST: common controls 6, DPI awareness

// ---- Help topics of OV.chm (HTML help context ids).
#define IDH_CONTENTS 2          // the contents: opened on first use and at the first F1
#define IDH_MAIN_WINDOW 8       // F1 outside measure mode
#define IDH_MEASURE_MODE 18     // F1 in measure mode

// ---- Dialog templates.
#define IDD_EDIT_FORM 200       // TEditForm: the single-line edit dialog
#define IDD_SETUP_DLG 300       // TSetupDlg (its controls: 3001..3999)
#define IDD_POSITIONING_FORM 400
#define IDD_PLAY_LIST_FORM 500
#define IDD_WAVE_INFO_FORM 600
#define IDD_DRAW_TYPE_AUTO_SET_FORM 700
#define IDD_LEVEL_METER_FORM 800
#define IDD_LISSAJOUS_FORM 900
#define IDD_COMMENT_FORM 1000
#define IDD_FLOAT_FORM 1100

// TEditForm's controls.
#define IDC_EDIT_FORM_EDIT1 201
// IDOK and IDCANCEL serve as OKButton and CancelButton.

// ---- TMainForm's children (created in code).
#define IDC_MAIN_TOP_PANEL 10001
#define IDC_MAIN_OPEN_BUTTON 10002
#define IDC_MAIN_PLAY_BUTTON 10003
#define IDC_MAIN_STOP_BUTTON 10004
#define IDC_MAIN_PAUSE_BUTTON 10005
#define IDC_MAIN_REC_BUTTON 10006
#define IDC_MAIN_POSITIONING_BUTTON 10007
#define IDC_MAIN_TRACK_BAR 10008
#define IDC_MAIN_LABEL1 10009  // play position or record time
#define IDC_MAIN_LABEL2 10010  // file length or recordable time
#define IDC_MAIN_CHANNEL_BUTTON 10011
#define IDC_MAIN_MEASURE_BUTTON 10012
#define IDC_MAIN_SETUP_BUTTON 10013
#define IDC_MAIN_WAVE_INFO_TEXT 10014  // WaveInfoStaticText
#define IDC_MAIN_FFT_INFO_TEXT 10015   // FftInfoStaticText
#define IDC_MAIN_FRAME_RATE_TEXT 10016  // FrameRateStaticText
#define IDC_MAIN_WAVE_AREA 10020
#define IDC_MAIN_SPLITTER 10021
#define IDC_MAIN_SPECTRUM_AREA 10022
#define IDC_MAIN_SPECTRUM_PANEL 10023  // the spectrum tool panel at the bottom

// ---- TSetupDlg's controls (3001..3999).
#include "SetupDlgIds.h"
