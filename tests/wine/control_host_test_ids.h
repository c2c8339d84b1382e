// Ids of the hosting test dialogs in control_host_test.rc.
#pragma once

#define IDD_HOST_CHAT_TEST 9201
#define IDD_HOST_UNREGISTERED_TEST 9202
#define IDD_HOST_PLAIN_FORM_TEST 9203

#define IDC_HOST_EDIT 9211
#define IDC_HOST_CONTROL 9212
#define IDC_HOST_BUTTON 9213
#define IDC_HOST_MISSING 9214
