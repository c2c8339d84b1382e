// Helper of the profile tests: rewrites one key of the ini file named on its
// command line for ever, through the programs' settings writer, and signals
// the event named second once the first write is done. The test kills it in
// the middle of a write.
#include <windows.h>

#include <string>

#include "fw/profile.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    for (unsigned turn = 0;; ++turn) {
        if (!fw::WriteProfileString(argv[1], "User", "Turn", std::to_string(turn).c_str())) return 1;
        if (turn == 0 && ready) SetEvent(ready);
    }
}
