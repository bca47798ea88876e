/* Resource ids of Tarnwick: the framework's own (FrameworkIds.h) and the
   program's. Plain #defines, shared by the resource script and the code. */
#pragma once

#include "framework/FrameworkIds.h"

#define IDB_LOGO 1
#define IDD_ABOUTBOX 100
#define IDB_LIGHT_BULB 102
#define IDD_TIP 103
#define ID_SHOW_TIP 104
#define IDS_TIP_COMMAND 105
#define IDS_TIP_HEADING 106
#define IDS_TIP_FILE_MISSING 107
#define IDS_TIP_READ_ERROR 108
#define IDS_HELP_MENU 109
#define IDR_MAINFRAME 128
#define IDD_UNPACK 134
#define IDD_PLEASE_WAIT 136
#define IDB_TOOLBAR_256 141
#define IDR_LIST_MENU 142
#define IDD_REPLACE 152

#define IDS_CANNOT_OPEN_FILE 200
#define IDS_FILE_TOTAL 201
#define IDS_HOME_PAGE_URL 202
#define IDS_SUPPORT_EMAIL 203
#define IDS_NO_PROGRAM 204
#define IDS_COLUMN_NAME 210
#define IDS_COLUMN_SIZE 211
#define IDS_COLUMN_TYPE 212
#define IDS_COLUMN_PATH 213

/* Running an entry that is a program, and the zone mark of a downloaded help file */
#define IDS_RUN_PROGRAM_ENTRY 260
#define IDS_REMOVE_ZONE_MARK_PROMPT 261
#define IDS_ZONE_MARK_REMOVED 262
#define IDS_ZONE_MARK_NOT_REMOVED 263
#define IDS_NO_ZONE_MARK 264

#define ID_UNPACK 32778
#define ID_SELECT_ALL 32781
#define ID_HELP_CONTENTS 32788
#define ID_HOME_PAGE 32789
#define ID_LIST_RUN 32792
#define ID_LIST_UNPACK 32796
#define ID_SEND_EMAIL 32797
#define ID_REMOVE_ZONE_MARK 32850

/* Controls of the dialogs */
#define IDC_TIP_PICTURE 1000
#define IDC_TIP_STARTUP 1001
#define IDC_TIP_NEXT 1002
#define IDC_TIP_TEXT 1004
#define IDC_ABOUT_EMAIL 1004
#define IDC_ABOUT_HOME_PAGE 1005
#define IDC_ABOUT_PHONE 1017
#define IDC_UNPACK_DESTINATION 1000
#define IDC_UNPACK_BROWSE 1001
#define IDC_UNPACK_SELECTED 1002
#define IDC_UNPACK_ALL 1003
#define IDC_UNPACK_USE_PATHS 1006
#define IDC_REPLACE_TEXT 1100
#define IDC_REPLACE_SKIP 1101
#define IDC_REPLACE_ALL 1102
#define IDC_REPLACE_SKIP_ALL 1103

/* The tools menu and its dialogs */
#define IDD_REPORT 150
#define IDD_DESTINATION 151
#define ID_TOOLS_FACTS 32800
#define ID_TOOLS_CHECK 32801
#define ID_TOOLS_PROJECT 32802
#define ID_TOOLS_SITE 32803
#define IDC_REPORT_TEXT 1100
#define IDC_REPORT_COPY 1101
#define IDC_DESTINATION_FOLDER 1102
#define IDC_DESTINATION_BROWSE 1103

/* Where the shell operations and the about box send the user. */
#define TARNWICK_HOME_PAGE "https://tarnwick.example.com/"
#define TARNWICK_SUPPORT_EMAIL "support@tarnwick.example.com"
#define TARNWICK_SUPPORT_PHONE "+86 10 5555 0100"
