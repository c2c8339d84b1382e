// Brivet.exe: no argument installs, "/u" uninstalls, anything else does nothing.
#include "setup/brivet.h"
#include "fw/program_path.h"
#include "updater/logic/setup_plan.h"
#include "setup/uninstall_guard.h"

int main(int argc, char** argv) {
    switch (tovan::ParseSetupCommand(argc, argv)) {
        case tovan::SetupCommand::Install:
            brivet::Install();
            break;
        case tovan::SetupCommand::Uninstall:
            if (!brivet::MayUninstallFrom(fw::ProgramFolder())) return 1;
            brivet::Uninstall();
            break;
        case tovan::SetupCommand::Nothing:
            break;
    }
    return 0;
}
