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

// The frame's menu commands. Settings dialogs and the toolbar settings rely
// on these ids.
#define ID_TOGGLE_MASK 32771
#define ID_WATCH_SETTINGS 32775
#define ID_WATCH 32776
#define ID_PUBLISH_VEHICLE 32778
#define ID_ADVANCED_SEARCH 32779
#define ID_PUBLISH_CARGO 32781
#define ID_MY_OFFERS 32782
#define ID_TEXT_AND_BACKGROUND 32783
#define ID_AREA_LIST 32784
#define ID_PUBLISH_EXPERT 32787
#define ID_SUPPORT_PAGE 32792
#define ID_RESEND_MANAGER 32794
#define ID_PUBLISH_FREE 32798
#define ID_TOOLBAR_OPTIONS 32799
#define ID_AREA_LIST_TOOLBAR 32800
#define ID_PHRASE_LISTS 32801
#define ID_TRAY_SHOW 32809
#define ID_TOOLS_MANAGE 32810
#define ID_MINIMISE_TASKBAR 32812
#define ID_MINIMISE_TRAY 32813
#define ID_SEARCH 32820
#define ID_CURRENT_INFO 11005
#define ID_SUPPORT_TOOLBAR 11010
#define ID_TOOL_FIRST 1124
#define ID_TOOL_LAST 1224
#ifndef ID_APP_EXIT
#define ID_APP_EXIT 57665
#endif
#ifndef ID_HELP
#define ID_HELP 57670
#endif

// The frame's pictures, sounds, tray menu and status bar. The blink icon of
// the tray is the icon named "IDI_RED".
#define IDR_WAVE_MESSAGE 164    // chat text, new watched or searched offer
#define IDR_WAVE_CHAT_PEER 167  // a peer opened or closed a chat
#define IDR_WAVE_RING 177       // voice request, played looped
#define IDB_TOOLBAR_CAPTION 186
#define IDR_TRAY_MENU 191
#define IDW_STATUS_BAR 59393

// Publishing dialogs: vehicle form, cargo form, free text; resend options.
#define IDD_PUBLISH_VEHICLE 147
#define IDD_PUBLISH_FREE 148
#define IDD_RESEND_OPTIONS 180
#define IDD_PUBLISH_CARGO 669
// Vehicle and cargo forms.
#define IDC_PUB_FROM_PROVINCE 1012
#define IDC_PUB_FROM_CITY 1014
#define IDC_PUB_FROM_COUNTY 1015
#define IDC_PUB_RESEND 1016
#define IDC_PUB_SEND_MOBILE 1017
#define IDC_PUB_DESTINATIONS 1018
#define IDC_PUB_TO_COUNTY 1019
#define IDC_PUB_TO_PROVINCE 1020
#define IDC_PUB_TO_CITY 1021
#define IDC_PUB_ALL_CITIES 1027
#define IDC_PUB_CAR_LENGTH 1036
#define IDC_PUB_CAR_TYPE 1037
#define IDC_PUB_TONNAGE 1038
#define IDC_PUB_GOODS 1037
#define IDC_PUB_WEIGHT 1038
#define IDC_PUB_WANTED_TYPE 1039
#define IDC_PUB_KEY_1 1040
#define IDC_PUB_KEY_8 1047
#define IDC_PUB_REMARK 1048
#define IDC_PUB_KEY_0 1049
#define IDC_PUB_KEY_9 1050
#define IDC_PUB_KEY_DOT 1051
#define IDC_PUB_ALL_COUNTIES 1058
#define IDC_PUB_PREVIEW 1062
#define IDC_PUB_FREIGHT 1100
#define IDC_PUB_MANAGE 1102
// Free-text dialog.
#define IDC_FREE_TEXT 1019
#define IDC_FREE_RESEND 1021
#define IDC_FREE_SEND_MOBILE 1022
#define IDC_FREE_COMMON_WORDS 1026
#define IDC_FREE_CAR_TYPES 1027
#define IDC_FREE_PHRASES 1028
#define IDC_FREE_GOODS 1029
#define IDC_FREE_PROVINCE 1037
#define IDC_FREE_CITY 1038
#define IDC_FREE_COUNTY 1039
#define IDC_FREE_KEY_0 1040
#define IDC_FREE_BACKSPACE 1050
#define IDC_FREE_KEY_DOT 1051
#define IDC_FREE_KEY_ARROW 1052
#define IDC_FREE_WORD_FIRST 1057
#define IDC_FREE_WORD_LAST 1070
#define IDC_FREE_THIRD_AREA 1071
#define IDC_FREE_SPARE_1 1072
#define IDC_FREE_SPARE_2 1073
#define IDC_FREE_FREIGHT 1074
#define IDC_FREE_SPARE_3 1075
#define IDC_FREE_PROVINCE_KEY 1076
#define IDC_FREE_CLEAR 1085
// Resend options.
#define IDC_RESEND_INTERVAL 1012
#define IDC_RESEND_COUNT 1028

// Search dialogs (full and reduced: the same control ids) and the watch
// settings dialog.
#define IDD_GUANZHU 667
#define IDD_SOUSUO 668
#define IDD_GJSOUSUO 673
#define IDC_SRCH_FROM_PROVINCE 1012
#define IDC_SRCH_FROM_CITY 1013
#define IDC_SRCH_TO_PROVINCE 1014
#define IDC_SRCH_TO_CITY 1015
#define IDC_SRCH_CARGO 1016
#define IDC_SRCH_VEHICLE 1017
#define IDC_SRCH_TO_LIST 1018
#define IDC_SRCH_FROM_LIST 1019
#define IDC_SRCH_KEYWORD 1020
#define IDC_SRCH_TO_COUNTY 1021
#define IDC_SRCH_FROM_COUNTY 1022
#define IDC_SRCH_CLEAR_FROM 1026
#define IDC_SRCH_CLEAR_TO 1027
#define IDC_SRCH_ALL_TO_CITIES 1040
#define IDC_SRCH_ALL_TO_COUNTIES 1041
#define IDC_SRCH_ALL_FROM_CITIES 1042
#define IDC_SRCH_ALL_FROM_COUNTIES 1043
#define IDC_SRCH_HOME_PROVINCE 1104
#define IDC_SRCH_HOME_CITY 1105
#define IDC_SRCH_THIRD_AREA 1106
#define IDC_SRCH_CHOSEN_AREAS 1107
#define IDC_SRCH_ALL_OFFERS 1108
#define IDC_SRCH_AS_WATCH 1109
#define IDC_WATCH_PROVINCE 1014
#define IDC_WATCH_CITY 1015
#define IDC_WATCH_LIST 1018
#define IDC_WATCH_COUNTY 1019
#define IDC_WATCH_CARGO 1021
#define IDC_WATCH_VEHICLE 1022
