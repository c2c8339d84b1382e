#include "client/windows/html_help.h"

#include <htmlhelp.h>

#include "fw/program_path.h"

namespace help {

namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// HtmlHelpA of hhctrl.ocx, loaded once; nullptr when the viewer is missing.
HtmlHelpFn Viewer() {
    static HtmlHelpFn fn = [] {
        HMODULE lib = LoadLibraryA("hhctrl.ocx");
        return lib ? reinterpret_cast<HtmlHelpFn>(
                         reinterpret_cast<void*>(GetProcAddress(lib, "HtmlHelpA")))
                   : nullptr;
    }();
    return fn;
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The viewer reports a missing file in a message box of its own: it is asked
// only for a file that is there.
HWND Show(HWND owner, UINT command, DWORD_PTR data) {
    const std::string path = HelpFilePath();
    if (!FileExists(path)) return nullptr;
    HtmlHelpFn fn = Viewer();
    return fn ? fn(owner, path.c_str(), command, data) : nullptr;
}

}  // namespace

std::string HelpFilePath() { return fw::ProgramFilePath(kHelpFileName); }

HWND ShowContents(HWND owner) { return Show(owner, HH_DISPLAY_TOPIC, 0); }

HWND ShowContext(HWND owner, DWORD context) { return Show(owner, HH_HELP_CONTEXT, context); }

void CloseAll() {
    // Loads nothing at the end of a run in which help was never opened.
    if (!GetModuleHandleA("hhctrl.ocx")) return;
    if (HtmlHelpFn fn = Viewer()) fn(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

}  // namespace help
