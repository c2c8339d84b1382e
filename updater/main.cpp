// TvUpdate.exe: started by the client when the web service lists newer files.
#include <windows.h>

#include "updater/tv_update_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CTvUpdateApp app;
    return app.Run();
}
