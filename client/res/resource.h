// Resource ids of the client. Dialog, menu, bitmap and command ids are fixed:
// other windows and the settings files rely on them.
#pragma once

#define IDR_MAINFRAME 128
