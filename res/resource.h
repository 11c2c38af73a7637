// Ids shared by the resource script and the code.
#pragma once

// String table
#define IDS_BUTTON_QUIT          1    // "&Beenden"
#define IDS_BUTTON_FINISH        2    // "&Fertig stellen"
#define IDS_ASK_QUIT             3
#define IDS_CAPTION              4    // caption of every message box
#define IDS_INVALID_FOLDER       5
#define IDS_DESTINATION          6
#define IDS_INSTALL_FAILED       7
#define IDS_BROWSE_TITLE         8
#define IDS_ASK_ASSOCIATE        9
#define IDS_VIEWER_RUNNING       10
#define IDS_CANNOT_CREATE_FOLDER 11
#define IDS_INSTALLED_WITH_ERRORS 12  // followed by the rows that could not be written
#define IDS_MORE_FAILED_ROWS     13   // last line of a shortened list of failed rows
#define IDS_ICON_NOTIFICATION    14   // names the icon reload as a failed row
#define IDS_INVALID_LOG_FILE     15   // "/log=" cut off: nothing installed
#define IDS_ROLLBACK_INCOMPLETE  16   // followed by the payload files that could not be put back
#define IDS_LOG_INSTALLED        20   // with "/log=": the entry of a run that installed
#define IDS_DL_ERR_DOWNLOAD      110
#define IDS_DL_ERR_CONNECT       111
#define IDS_DL_ERR_RESPONSE      112
#define IDS_DL_ERR_HTTP          113
#define IDS_DL_ERR_TRANSFER      114
#define IDS_DL_PERCENT           115
#define IDS_DL_SIZES             117
#define IDS_DL_SEC               118
#define IDS_DL_MIN               119
#define IDS_DL_MIN_SEC           120
#define IDS_DL_BYTES             121
#define IDS_DL_KB                123
#define IDS_DL_MB                125
#define IDS_DL_TIME_LEFT         127
#define IDS_DL_RATE_BYTES        128
#define IDS_DL_RATE_KB           129

// Wizard pages and dialogs
#define IDD_DESTINATION          101
#define IDD_FORMATS              104
#define IDD_RELEASE_NOTES        108
#define IDD_READY                109
#define IDD_FINISH               110
#define IDD_OFFER_TOOLBAR        111
#define IDD_OFFER_DESKTOP        112
#define IDD_OFFER_BOTH           113
#define IDD_FINISH_BOTH          114  // the finish page after the combined offer
#define IDD_DOWNLOAD             124

// Icon and bitmaps
#define IDI_SETUP                111
#define IDB_LOGO                 113
#define IDB_TOOLBAR              163  // toolbar offer
#define IDB_TOOLBAR_SMALL        165  // combined offer and finish pages
#define IDB_DESKTOP              166  // desktop-search offer
#define IDB_DESKTOP_SMALL        168  // finish pages
#define IDB_DESKTOP_TINY         169  // combined offer
// Larger versions of each picture for higher display scales (scripts/scale-pictures): the picture's
// id plus 1000 for 120 DPI, 2000 for 144 DPI, 3000 for 192 DPI.
#define IDB_LOGO_120             1113
#define IDB_TOOLBAR_120          1163
#define IDB_TOOLBAR_SMALL_120    1165
#define IDB_DESKTOP_120          1166
#define IDB_DESKTOP_SMALL_120    1168
#define IDB_DESKTOP_TINY_120     1169
#define IDB_LOGO_144             2113
#define IDB_TOOLBAR_144          2163
#define IDB_TOOLBAR_SMALL_144    2165
#define IDB_DESKTOP_144          2166
#define IDB_DESKTOP_SMALL_144    2168
#define IDB_DESKTOP_TINY_144     2169
#define IDB_LOGO_192             3113
#define IDB_TOOLBAR_192          3163
#define IDB_TOOLBAR_SMALL_192    3165
#define IDB_DESKTOP_192          3166
#define IDB_DESKTOP_SMALL_192    3168
#define IDB_DESKTOP_TINY_192     3169

// Controls. Pages reuse numbers: an id names a control of the pages listed with it.
// Destination page
#define IDC_FOLDER               1000
#define IDC_BROWSE               1009
#define IDC_DESKTOP              1011
#define IDC_START_MENU           1012
#define IDC_WELCOME              1013
#define IDC_CURRENT_USER         1016
#define IDC_ALL_USERS            1017
#define IDC_NO_SHORTCUTS         1019
#define IDC_THUMBS               1021
// Release notes page
#define IDC_NOTES_TEXT           1000
// File types page
#define IDC_ASSOC_ALL_USERS      1037
#define IDC_SELECT_ALL           1080
#define IDC_SELECT_NONE          1081
#define IDC_IMAGES_ONLY          1091
#define IDC_FORMAT_LIST          1579
// Ready page
#define IDC_READY_FOLDER         1010
#define IDC_READY_TITLE          1014
// Finish pages
#define IDC_FINISH_TITLE         1015
#define IDC_START_VIEWER         1020
#define IDC_SHOW_FAQ             1022
#define IDC_TOOLBAR_NOTE         1028
#define IDC_DESKTOP_NOTE         1029
#define IDC_TOOLBAR_PICTURE      1030
#define IDC_DESKTOP_PICTURE      1033
// Offer pages
#define IDC_TOOLBAR_ACCEPT       1023  // toolbar offer
#define IDC_TOOLBAR_DECLINE      1024
#define IDC_OFFER_FEATURES       1025  // single offers
#define IDC_FREE_LABEL           1026
#define IDC_TERMS_LINK           1027  // the first (or only) program's
#define IDC_PRIVACY_LINK         1028
#define IDC_OFFER_TITLE          1029
#define IDC_DESKTOP_TERMS_LINK   1030  // combined offer: the desktop search's
#define IDC_DESKTOP_PRIVACY_LINK 1031
#define IDC_DESKTOP_ACCEPT       1031  // desktop-search offer
#define IDC_DESKTOP_DECLINE      1032
#define IDC_BOTH_TOOLBAR         1034  // combined offer
#define IDC_BOTH_DESKTOP         1035
// Download dialog
#define IDC_DL_HEADING           1001
#define IDC_DL_FILE              1002
#define IDC_DL_PROGRESS          1003
#define IDC_DL_TIME_LEFT         1004
#define IDC_DL_RATE              1005

// Release notes shown by the wizard ("TXT" 128); not part of the payload.
#define IDR_RELEASE_NOTES        128
