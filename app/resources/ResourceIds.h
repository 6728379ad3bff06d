// Identifiers of the program's resources (app/resources/OV.rc) and of the
// controls of its windows: dialog templates and their controls, and the main
// window's children, which it creates in code. Shared by the resource compiler
// and C++, so plain #defines only. Every window takes its own block of 100.
#pragma once

// ---- Resources.
#define IDI_MAIN_ICON 1   // the program icon, 16 to 256 pixels
#define IDR_KP1_FONT 100  // the bitmap font "KP1", resource type 8 (RT_FONT)
#define IDR_MANIFEST 1    // RT_MANIFEST: common controls 6, DPI awareness

// ---- Help topics of OV.chm (HTML help context ids).
#define IDH_CONTENTS 2       // the contents: opened on first use and at the first F1
#define IDH_MAIN_WINDOW 8    // F1 outside measure mode
#define IDH_MEASURE_MODE 18  // F1 in measure mode

// ---- Dialog templates.
#define IDD_EDIT_FORM 200  // TEditForm: the single-line edit dialog
#define IDD_SETUP_DLG 300  // TSetupDlg (its controls: 3001..3999)
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
#define IDC_MAIN_WAVE_INFO_TEXT 10014   // WaveInfoStaticText
#define IDC_MAIN_FFT_INFO_TEXT 10015    // FftInfoStaticText
#define IDC_MAIN_FRAME_RATE_TEXT 10016  // FrameRateStaticText
#define IDC_MAIN_WAVE_AREA 10020
#define IDC_MAIN_SPLITTER 10021
#define IDC_MAIN_SPECTRUM_AREA 10022
#define IDC_MAIN_SPECTRUM_PANEL 10023  // the spectrum tool panel at the bottom

// ---- TDrawTypeAutoSetForm's controls (created in code): 701..799.
#define IDC_AUTO_SET_LABEL1 701
#define IDC_AUTO_SET_LABEL2 702
#define IDC_AUTO_SET_LABEL3 703
#define IDC_AUTO_SET_LABEL4 704
#define IDC_AUTO_SET_CONDITION_GROUP 705
#define IDC_AUTO_SET_WAVE_NO_FLICKER 706
#define IDC_AUTO_SET_SPECTRUM_NO_FLICKER 707
#define IDC_AUTO_SET_WAVE_CHECK_VBLANK 708
#define IDC_AUTO_SET_SPECTRUM_CHECK_VBLANK 709
#define IDC_AUTO_SET_MEMO 710
#define IDC_AUTO_SET_START_BUTTON 711
#define IDC_AUTO_SET_CLOSE_BUTTON 712
#define IDC_AUTO_SET_PROGRESS 713

// ---- TLevelMeterForm's controls (created in code): 801..899.
#define IDC_LEVEL_METER_RESET_BUTTON 801  // ResetMarginSpeedButton, margin mode only
// ---- MeasurePanelWindow's controls (created in code): 1201..1299.
#define IDC_MEASURE_MAIN 1201     // SpectrumMainOnOffSpeedButton
#define IDC_MEASURE_PEAK 1202     // SpectrumPeakSpeedButton
#define IDC_MEASURE_AVERAGE 1203  // SpectrumAverageNComboBox
#define IDC_MEASURE_THD 1204      // THD_SpeedButton
#define IDC_MEASURE_RMS 1205      // RMS_SpeedButton
// TPositioningForm's controls (IDD_POSITIONING_FORM's block).
#define IDC_POS_POSITION_LABEL 401       // position in samples
#define IDC_POS_POSITION_TIME_LABEL 402  // position as time
#define IDC_POS_LENGTH_LABEL 403         // file length in samples
#define IDC_POS_LENGTH_TIME_LABEL 404    // file length as time
#define IDC_POS_SAMPLE_CAPTION 405       // "sampl"
#define IDC_POS_MOVE_GROUP 406
#define IDC_POS_SAMPLE_RADIO 407
#define IDC_POS_SAMPLE_COMBO 408
#define IDC_POS_SECOND_RADIO 409
#define IDC_POS_SECOND_COMBO 410
#define IDC_POS_TOP_BUTTON 411       // TSpeedButtonRepeat, made in code
#define IDC_POS_BACKWARD_BUTTON 412  // TSpeedButtonRepeat, made in code
#define IDC_POS_FORWARD_BUTTON 413   // TSpeedButtonRepeat, made in code
#define IDC_POS_END_BUTTON 414       // TSpeedButtonRepeat, made in code
#define IDC_POS_PLAY_FRAME_BUTTON 415
#define IDC_POS_FRAME_CHECK 416  // "fra."
#define IDC_POS_MARKER_GROUP 417
#define IDC_POS_ADD_BUTTON 418
#define IDC_POS_DELETE_BUTTON 419
#define IDC_POS_RENAME_BUTTON 420
#define IDC_POS_WRITE_BUTTON 421
#define IDC_POS_UTF8_CHECK 422
#define IDC_POS_GRID 423  // the marker grid (a report list view)

// TPlayListForm's controls (IDD_PLAY_LIST_FORM's block).
#define IDC_PL_PLAY_BUTTON 501
#define IDC_PL_STOP_BUTTON 502
#define IDC_PL_PREVIOUS_BUTTON 503
#define IDC_PL_REWIND_BUTTON 504        // TSpeedButtonRepeat, made in code
#define IDC_PL_FAST_FORWARD_BUTTON 505  // TSpeedButtonRepeat, made in code
#define IDC_PL_NEXT_BUTTON 506
#define IDC_PL_UP_BUTTON 507
#define IDC_PL_DOWN_BUTTON 508
#define IDC_PL_DELETE_BUTTON 509
#define IDC_PL_DELETE_ALL_BUTTON 510
#define IDC_PL_ADD_BUTTON 511
#define IDC_PL_TOTAL_CAPTION 512  // "Total Time:"
#define IDC_PL_TOTAL_LABEL 513
#define IDC_PL_SILENCE_CAPTION 514  // "Silence:"
#define IDC_PL_SILENCE_COMBO 515
#define IDC_PL_TITLE_CHECK 516
#define IDC_PL_LIST_FILE_CAPTION 517  // "List file"
#define IDC_PL_OPEN_BUTTON 518
#define IDC_PL_SAVE_BUTTON 519
#define IDC_PL_GRID 520        // WaveFileNameStringGrid (a report list view)
#define IDC_PL_TITLE_EDIT 521  // the in-place title editor, made in code
// TWaveInfoForm's controls (block 600).
#define IDC_WAVE_INFO_FILE_NAME 601     // FileNameStaticText
#define IDC_WAVE_INFO_CHUNK_TREE 602    // ChunkTreeView
#define IDC_WAVE_INFO_CHUNK_NAME 603    // ChunkNameStaticText
#define IDC_WAVE_INFO_CHUNK_OFFSET 604  // ChunkOffsetStaticText
#define IDC_WAVE_INFO_CHUNK_SIZE 605    // ChunkSizeStaticText
#define IDC_WAVE_INFO_CHAR_CODE 606     // CharCodeComboBox
#define IDC_WAVE_INFO_TOP_LABEL1 607
#define IDC_WAVE_INFO_MEMO1 608
#define IDC_WAVE_INFO_TOP_LABEL2 609
#define IDC_WAVE_INFO_MEMO2 610
#define IDC_WAVE_INFO_FORMAT 611        // FormatStaticText
#define IDC_WAVE_INFO_SAMPLES 612       // SamplesStaticText
#define IDC_WAVE_INFO_TIME 613          // TimeStaticText
#define IDC_WAVE_INFO_CLOSE 614         // CloseButton
#define IDC_WAVE_INFO_CAPTION_NAME 621  // the captions before the fields
#define IDC_WAVE_INFO_CAPTION_OFFSET 622
#define IDC_WAVE_INFO_CAPTION_SIZE 623
#define IDC_WAVE_INFO_CAPTION_FORMAT 624
#define IDC_WAVE_INFO_CAPTION_SAMPLES 625
#define IDC_WAVE_INFO_CAPTION_TIME 626

// TCommentForm's controls (block 1000); IDOK and IDCANCEL serve as OKButton
// and CancelButton.
#define IDC_COMMENT_PAGE_CONTROL 1001  // PageControl1, tabs "1" to "3"
#define IDC_COMMENT_EDIT1 1002         // Comment1Edit .. Comment3Edit
#define IDC_COMMENT_EDIT2 1003
#define IDC_COMMENT_EDIT3 1004
#define IDC_COMMENT_FS_CHECK 1005    // SpectrumCommentFsCheckBox
#define IDC_COMMENT_FFTN_CHECK 1006  // SpectrumCommentFftNCheckBox
#define IDC_COMMENT_FRES_CHECK 1007  // SpectrumCommentFresCheckBox
// The overlay controls of the measure panel (in the same block; made in
// code by OverlayPanelWindow): overlay 1 at 1050.., overlay 2 at 1060...
#define IDC_OVERLAY1_SHOW 1050     // SpectrumOVL1onSpeedButton
#define IDC_OVERLAY1_CAPTURE 1051  // SpectrumOVL1CaptureSpeedButton
#define IDC_OVERLAY1_EDIT 1052     // SpectrumOVL1Edit
#define IDC_OVERLAY1_LOAD 1053     // SpectrumOVL1LoadSpeedButton
#define IDC_OVERLAY1_SAVE 1054     // SpectrumOVL1SaveSpeedButton
#define IDC_OVERLAY2_SHOW 1060
#define IDC_OVERLAY2_CAPTURE 1061
#define IDC_OVERLAY2_EDIT 1062
#define IDC_OVERLAY2_LOAD 1063
#define IDC_OVERLAY2_SAVE 1064
#define IDC_OVERLAY_PROGRESS 1070  // ProgressBar1
// ---- TSetupDlg's controls (3001..3999).
#include "SetupDlgIds.h"

// ---- TMainForm's channel selector for more than two channels (ChLabel,
// ChComboBox), beside L_R_Button in the top panel's right-hand panel.
#define IDC_MAIN_CHANNEL_LABEL 10030
#define IDC_MAIN_CHANNEL_BOX 10031
