// Resource ids of the client. Dialog, menu, bitmap and command ids are fixed:
// other windows and the settings files rely on them.
#pragma once

#define IDR_MAINFRAME 128

// About box and its command (the framework's standard ids).
#define IDD_ABOUTBOX 100
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT 57664
#endif
#define IDC_ABOUT_VERSION 1000
#define IDC_ABOUT_COPYRIGHT 1001

// Dialog background texture and the close glyph of the web panes.
#define IDB_CLOSE_GLYPH 196
#define IDB_DIALOG_TEXTURE 199

// Record grid pictures: the class column (cargo, other) and the talk column.
#define IDB_TALK 182
#define IDB_CLASS_CARGO 197
#define IDB_CLASS_OTHER 198

// Login dialog, connection log window, notice window, and the login command.
#define IDD_LOGIN 146
#define IDD_NOTICE 154
#define IDD_CONNECTION_LOG 203
#define IDC_LOG_LIST 1018
#define IDC_LOGIN_NAME 1019
#define IDC_LOGIN_PASSWORD 1020
#define IDC_LOGIN_REMEMBER 1021
#define IDC_LOGIN_MESSAGE 1022
#define IDC_NOTICE_TEXT 1063
#define IDC_LOGIN_REGISTER 1101
#define ID_USER_LOGIN 32777
