#pragma once

// Resource and command ids of the Windows program. Both the resource script and the code
// include this header; the numbers are fixed (stored settings, menus and messages rely on
// them).

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_PROGRESS 102
#define IDD_DROPWINDOW 133
#define IDD_SPLASH 139
#define IDD_SETTINGS 143
#define IDD_SCANCONFIRM 150
#define IDD_ALLOWEDEXT 151
#define IDD_PROHIBITEDEXT 152
#define IDD_ALERTVIEW 157

// Menus, accelerators, toolbar, bitmaps, icons and the cursor
#define IDR_MAINFRAME 128   // menu, accelerators, toolbar bitmap, application icon
#define IDR_POPUPMENUS 132  // first submenu "LIST" (list view), second "TABLE" (drop window)
#define IDI_RECORD 130      // green triangle at the left of a record row
#define IDB_DROPWINDOW 138  // the capsule of the drop window, 120 by 150 pixels
#define IDB_PRODUCT 141     // product picture of the splash window and the about box
#define IDI_DANGEROUS 153   // overlay: dangerous extension
#define IDI_NOTALLOWED 154  // overlay: not on the allowed list
#define IDI_ALERT 155       // alert-file row
#define IDC_HANDPOINT 159   // pointing hand over the about box's links

// Strings
#define IDS_PROGRESS_CAPTION 103  // the application title, caption of the progress dialog
#define IDS_APP_TITLE 57344       // "Morveｋ Attachment Extractor"
#define IDS_IDLE_MESSAGE 57345    // status bar idle text
#define IDS_OLE_INIT_FAILED 57605
#define IDS_PRIVATE_FORMAT 57606  // name of the clipboard format of drags out of the list

// Commands
#define ID_OPEN_LIST 32777
#define ID_SETTINGS 32778
#define ID_MAKE_UNSENT 32779
#define ID_OPEN_ATTACHMENT 32783
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_DELETE_SELECTION 57632
#define ID_DELETE_ALL 57633
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// Child windows of the main frame
#define IDW_TOOLBAR 59392     // 0xE800
#define IDW_STATUSBAR 59393   // 0xE801
#define IDW_PANE_FIRST 59648  // 0xE900, the list view

// Progress dialog
#define IDC_PROGRESS_BAR 1003
#define IDC_PROGRESS_PERCENT 1004
#define IDC_PROGRESS_MESSAGE 1005

// Drop window
#define IDC_DROP_PICTURE 1000

// Scan-confirm dialog
#define IDC_SCAN_DISCARD_ALL 1013
#define IDC_SCAN_CONTINUE 1014

// About box
#define IDC_ABOUT_HELP 1022
#define IDC_ABOUT_MAIL 1025
#define IDC_ABOUT_WEB 1027

// Settings dialog
#define IDC_EXIT_ON_CLOSE_LIST 1006
#define IDC_SCAN_VIRUS 1007
#define IDC_SCAN_EXE_NAME 1008
#define IDC_SCAN_APP 1009
#define IDC_BROWSE_SCANNER 1011
#define IDC_USE_UNSENDMAIL 1015
#define IDC_ALLOWED_LIST 1016
#define IDC_ALLOWED_ADD 1017
#define IDC_ALLOWED_DELETE 1018
#define IDC_PROHIBITED_LIST 1019
#define IDC_PROHIBITED_ADD 1020
#define IDC_PROHIBITED_DELETE 1021
#define IDC_KEEP_UNCHECKABLE 1023

// Extension entry dialogs
#define IDC_EXTENSION_BOX 1019
#define IDC_DESCRIPTION_BOX 1020

// Alert view dialog
#define IDC_ALERT_TEXT 1021

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
