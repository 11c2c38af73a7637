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

// Release notes shown by the wizard ("TXT" 128); not part of the payload.
#define IDR_RELEASE_NOTES        128
