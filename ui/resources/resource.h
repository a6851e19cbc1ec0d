// Resource ids of the program, grouped by dialog. Control ids are unique within one dialog
// only: the same number names different controls in different dialogs.
#pragma once

// Dialogs.
#define IDD_CLEANER_DIALOG 102
#define IDD_PROGRESS 129
#define IDD_TARGET_LIST 130
#define IDD_TARGET_ENTRY 132

// The main window's list: the menu of a row and the list's keys.
#define IDR_LIST_MENU 140
#define IDR_LIST_KEYS 141

// Icon.
#define IDI_APP 128

// Main window (IDD_CLEANER_DIALOG).
#define IDC_RESULT_LIST 1001
#define IDC_DIRECTORY 1002
#define IDC_BROWSE 1003
#define IDC_TARGET_VC6 1004
#define IDC_CHECK_ALL 1005
#define IDC_PLAIN_DELETE 1006
#define IDC_SCAN 1007
#define IDC_LOCATE 1008
#define IDC_OPEN 1009
#define IDC_CHECK_NONE 1010
#define IDC_NOTICE 1011
#define IDC_TARGET_CUSTOM 1012
#define IDC_TARGET_QUICK 1013
#define IDC_TARGET_WORD 1014
#define IDC_TARGET_THUMBS 1015
#define IDC_FORCED_DELETE 1016
#define IDC_SUPER_DELETE 1017
#define IDC_SHRED_DELETE 1018
#define IDC_RESTART_DELETE 1019
#define IDC_RECYCLE_DELETE 1020
#define IDC_WHO_IS_USING 1021
#define IDC_STATUS_BAR 1040
#define IDC_FILTER 1041
#define IDC_FILTER_LABEL 1042
// Frames that stretch with the window.
#define IDC_NOTICE_FRAME 1050
#define IDC_DIRECTORY_GROUP 1051
#define IDC_TARGET_GROUP 1052

// Commands of the list's row menu and keys (IDR_LIST_MENU, IDR_LIST_KEYS).
#define IDM_LIST_OPEN 40001
#define IDM_LIST_LOCATE 40002
#define IDM_COPY_PATH 40003
#define IDM_COPY_TICKED_PATHS 40004
#define IDM_TICK_BY_PATTERN 40005
#define IDM_UNTICK_BY_PATTERN 40006
#define IDM_INVERT_TICKS 40007
#define IDM_EXPORT_LIST 40008
#define IDM_RECYCLE_KEY 40009
#define IDM_PLAIN_DELETE_KEY 40010

// Progress window (IDD_PROGRESS).
#define IDC_PROGRESS_BAR 1002
#define IDC_PROGRESS_TEXT 1004

// Own target list (IDD_TARGET_LIST).
#define IDC_REMOVE_PATTERN 1006
#define IDC_ADD_PATTERN 1013
#define IDC_PATTERN_LIST 1014

// Single target entry (IDD_TARGET_ENTRY).
#define IDC_PATTERN_EDIT 1015

// Strings.
#define IDS_TIP_VC6 1
#define IDS_TIP_CUSTOM 2
#define IDS_TIP_QUICK 3
#define IDS_TIP_WORD 4
#define IDS_TIP_THUMBS 5
#define IDS_CONTACT 6
#define IDS_CONFIRM_FORCED 9
#define IDS_CONFIRM_PLAIN 10
#define IDS_DELETE_START_FAILED 11
#define IDS_CONFIRM_SUPER 12
#define IDS_CONFIRM_SHRED 13
#define IDS_CONFIRM_RECYCLE 14
#define IDS_CONFIRM_RESTART 15
#define IDS_WHO_IS_USING 16
#define IDS_HELP_START_FAILED 61703
// The program's own reasons for leaving a file in place: this number plus the reason's number
// (engine/removal_outcome.h, Refusal).
#define IDS_REFUSAL_BASE 100

// The enciphered notice shown in IDC_NOTICE: custom type "ENCRYPT", named "IDR_MY_MEMO".
#define IDR_MY_MEMO_TYPE "ENCRYPT"
#define IDR_MY_MEMO_NAME "IDR_MY_MEMO"
