// Brivet.exe: no argument installs, "/u" uninstalls, anything else does nothing.
#include "brivet.h"
#include "setup_plan.h"

int main(int argc, char** argv) {
    switch (tovan::ParseSetupCommand(argc, argv)) {
        case tovan::SetupCommand::Install:
            brivet::Install();
            break;
        case tovan::SetupCommand::Uninstall:
            brivet::Uninstall();
            break;
        case tovan::SetupCommand::Nothing:
            break;
    }
    return 0;
}
