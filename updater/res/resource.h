// Resource ids of TvUpdate.exe.
#pragma once

#define IDD_UPLOAD 102
#define IDC_UPLOAD_STATUS 1000
