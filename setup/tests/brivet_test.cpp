// Brivet.exe in a Wine prefix: install makes the three shortcuts and the
// uninstall entry and starts the client found beside the tool; "/u" removes
// them and deletes the program's files with their backup copies.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "updater/logic/setup_plan.h"

namespace {

std::string TempRoot() {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    return std::string(tmp) + "brivet-" + std::to_string(GetCurrentProcessId()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFileText(const std::string& path, const std::string& text) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD n = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    CloseHandle(f);
}

std::string ReadFileText(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string text(GetFileSize(f, nullptr), '\0');
    DWORD n = 0;
    ReadFile(f, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    CloseHandle(f);
    text.resize(n);
    return text;
}

struct ToolRun {
    DWORD exitCode = 99;
    std::string output;
};

// Runs the tool with its standard output on a pipe, from a working folder
// that is not its own, so that the client is found by the tool's folder.
ToolRun RunBrivet(const std::string& exe, const std::string& args, const std::string& cwd) {
    ToolRun r;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return r;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        cwd.c_str(), &si, &pi);
    CloseHandle(writeEnd);
    if (started) {
        char buf[512];
        DWORD n = 0;
        while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0) r.output.append(buf, n);
        WaitForSingleObject(pi.hProcess, 30000);
        GetExitCodeProcess(pi.hProcess, &r.exitCode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(readEnd);
    return r;
}

std::string LinkTarget(const std::string& linkPath) {
    std::string target;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return target;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
        char path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) {
            target = path;
        }
        file->Release();
    }
    link->Release();
    return target;
}

bool ReadRegString(const std::string& key, const char* value, std::string* out) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    char buf[2048] = {};
    DWORD size = sizeof buf - 1;
    const bool ok = RegQueryValueExA(k, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) ==
                    ERROR_SUCCESS;
    RegCloseKey(k);
    if (ok) *out = buf;
    return ok;
}

bool KeyExists(const std::string& key) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

void SetShellFolder(const char* value, const std::string& path) {
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, tovan::kShellFoldersKey, 0, KEY_SET_VALUE, &k),
              ERROR_SUCCESS);
    RegSetValueExA(k, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(k);
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

bool WaitFor(const std::string& path, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 100) {
        if (Exists(path) && !ReadFileText(path).empty()) return true;
        Sleep(100);
    }
    return false;
}

class BrivetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }

    // A program folder with a space in its path, holding the tool
    // and a stand-in client; shell folders of our own, the programs one with
    // "\All Users" in it.
    void SetUp() override {
        root_ = TempRoot();
        app_ = root_ + "Tovan App\\";
        desktop_ = root_ + "Desktop";
        programs_ = root_ + "All Users\\Programs";
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        for (const std::string& d : {std::string(tmp), root_, app_, desktop_, root_ + "All Users", programs_,
                                     root_ + "Programs", app_ + "sub"}) {
            CreateDirectoryA(d.c_str(), nullptr);
        }
        ASSERT_TRUE(CopyFileA(BRIVET_EXE, (app_ + "Brivet.exe").c_str(), FALSE))
            << app_ << " " << GetLastError();
        ASSERT_TRUE(CopyFileA(CLIENT_STAND_IN_EXE, (app_ + "TovanClient.exe").c_str(), FALSE));
        SetShellFolder("Common Desktop", desktop_);
        SetShellFolder("Common Programs", programs_);
        backup_ = SystemFolder() + "\\tvbk\\";
        CreateDirectoryA(backup_.c_str(), nullptr);
    }

    std::vector<std::string> Links(const std::string& name) const {
        return {desktop_ + "\\" + name + ".lnk", programs_ + "\\" + name + ".lnk",
                root_ + "Programs\\" + name + ".lnk"};
    }

    std::string root_, app_, desktop_, programs_, backup_;
};

TEST_F(BrivetTest, InstallThenUninstall) {
    const std::string name = "Tovan Test";
    WriteFileText(app_ + "Config.ini", "[Display]\r\nShortCut=" + name + "\r\n");
    for (const char* f : {"Vokar.ocx", "update.ini", "a.b", "tp.t"}) WriteFileText(app_ + f, "x");
    WriteFileText(backup_ + "Vokar.ocx", "old");
    WriteFileText(backup_ + "Other.dll", "old");  // not in the program folder: stays
    const std::string entry = std::string(tovan::kUninstallKey) + "\\" + name;

    const ToolRun install = RunBrivet(app_ + "Brivet.exe", "", root_);
    EXPECT_EQ(install.exitCode, 0u);
    EXPECT_EQ(install.output, "正在建立快捷方式...\r\n正在创建卸载信息...\r\n");
    for (const std::string& link : Links(name)) {
        ASSERT_TRUE(Exists(link)) << link;
        EXPECT_EQ(lstrcmpiA(LinkTarget(link).c_str(), (app_ + "tovanclient.exe").c_str()), 0)
            << LinkTarget(link);
    }
    std::string value;
    ASSERT_TRUE(ReadRegString(entry, "DisplayName", &value));
    EXPECT_EQ(value, name);
    ASSERT_TRUE(ReadRegString(entry, "UninstallString", &value));
    EXPECT_EQ(value, app_ + "Brivet.exe /u");  // unquoted, space and all
    ASSERT_TRUE(WaitFor(app_ + "started.txt", 10000)) << "the client was not started";
    // Found beside the tool, though the tool ran elsewhere.
    EXPECT_EQ(ReadFileText(app_ + "started.txt"), root_.substr(0, root_.size() - 1) + "\r\n");

    // Only "/u" exactly uninstalls; anything else does nothing.
    for (const char* other : {"/U", "/uu", "x"}) {
        const ToolRun r = RunBrivet(app_ + "Brivet.exe", other, root_);
        EXPECT_EQ(r.exitCode, 0u) << other;
        EXPECT_EQ(r.output, "") << other;
    }
    EXPECT_TRUE(KeyExists(entry));
    EXPECT_TRUE(Exists(app_ + "Vokar.ocx"));

    const ToolRun uninstall = RunBrivet(app_ + "Brivet.exe", "/u", root_);
    EXPECT_EQ(uninstall.exitCode, 0u);
    EXPECT_EQ(uninstall.output, "正在删除快捷方式...\r\n正在删除卸载信息...\r\n正在删除文件...\r\n");
    for (const std::string& link : Links(name)) EXPECT_FALSE(Exists(link)) << link;
    EXPECT_FALSE(KeyExists(entry));
    for (const char* f : {"Vokar.ocx", "update.ini", "Config.ini", "TovanClient.exe", "started.txt",
                          "tp.t"}) {
        EXPECT_FALSE(Exists(app_ + f)) << f;
    }
    EXPECT_TRUE(Exists(app_ + "a.b"));   // three characters: kept
    EXPECT_TRUE(Exists(app_ + "sub"));   // a folder is tried and stays
    EXPECT_FALSE(Exists(backup_ + "Vokar.ocx"));
    EXPECT_TRUE(Exists(backup_ + "Other.dll"));
}

// The shortcut files of this name cannot be checked here: the test machines'
// Wine has no Unix locale for file names outside ASCII (the registry has no
// such limit).
TEST_F(BrivetTest, WithoutSettingsFileTheDefaultNameIsUsed) {
    const std::string name = "Tovan客户端";
    const std::string entry = std::string(tovan::kUninstallKey) + "\\" + name;
    EXPECT_EQ(RunBrivet(app_ + "Brivet.exe", "", root_).exitCode, 0u);
    std::string value;
    EXPECT_TRUE(ReadRegString(entry, "DisplayName", &value));
    EXPECT_EQ(value, name);

    EXPECT_EQ(RunBrivet(app_ + "Brivet.exe", "/u", root_).exitCode, 0u);
    EXPECT_FALSE(KeyExists(entry));
}

// Presses OK on the tool's refusal box, from a thread of its own while the
// tool runs; counts the boxes with the refusal's text.
class RefusalBoxCloser {
public:
    RefusalBoxCloser() : thread_(CreateThread(nullptr, 0, Watch, this, 0, nullptr)) {}
    ~RefusalBoxCloser() {
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
    }
    LONG boxes() const { return boxes_; }

private:
    static DWORD WINAPI Watch(void* self) {
        auto* me = static_cast<RefusalBoxCloser*>(self);
        while (!me->stop_) {
            HWND box = FindWindowA("#32770", tovan::kDefaultShortcutName);
            char text[512] = {};
            if (box && GetDlgItemTextA(box, 0xFFFF, text, sizeof text) &&
                std::string(text) == tovan::kUninstallRefused) {
                InterlockedIncrement(&me->boxes_);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                while (IsWindow(box) && !me->stop_) Sleep(20);
            }
            Sleep(20);
        }
        return 0;
    }

    volatile LONG stop_ = 0;
    volatile LONG boxes_ = 0;
    HANDLE thread_;
};

void SetUserShellFolder(const char* value, const std::string& path) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER,
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                            &k),
              ERROR_SUCCESS);
    RegSetValueExA(k, value, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(k);
}

std::string ShellFolderPath(int csidl) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

// A copy of the tool that landed where no installation is would delete the
// files of the folder it lies in: the Windows folder, a drive's root, a
// user's desktop or documents. It refuses, says so, and touches nothing.
TEST_F(BrivetTest, UninstallRefusesFoldersThatAreNoInstallation) {
    // The user's desktop and documents are folders of the test's own.
    SetUserShellFolder("Desktop", root_ + "UserDesktop");
    SetUserShellFolder("Personal", root_ + "UserDocuments");
    CreateDirectoryA((root_ + "UserDesktop").c_str(), nullptr);
    CreateDirectoryA((root_ + "UserDocuments").c_str(), nullptr);
    CreateDirectoryA((root_ + "NoClient").c_str(), nullptr);
    ASSERT_EQ(ShellFolderPath(CSIDL_DESKTOPDIRECTORY), root_ + "UserDesktop");
    ASSERT_EQ(ShellFolderPath(CSIDL_PERSONAL), root_ + "UserDocuments");
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);

    const std::string entry = std::string(tovan::kUninstallKey) + "\\" + tovan::kDefaultShortcutName;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, entry.c_str(), &key), ERROR_SUCCESS);
    RegCloseKey(key);

    const struct {
        std::string folder;  // with its trailing separator
        bool client;         // a client beside the tool
    } places[] = {
        {std::string(windows) + "\\", true},
        {SystemFolder() + "\\", true},
        {std::string(windows).substr(0, 3), true},  // the drive's root
        {root_ + "UserDesktop\\", true},
        {root_ + "UserDocuments\\", true},
        {root_ + "NoClient\\", false},
    };
    for (const auto& p : places) {
        const std::string victim = p.folder + "someone-elses-file.txt";
        WriteFileText(victim, "precious");
        ASSERT_TRUE(CopyFileA(BRIVET_EXE, (p.folder + "Brivet.exe").c_str(), FALSE)) << p.folder;
        const bool placedClient =
            p.client && !Exists(p.folder + "TovanClient.exe") &&
            CopyFileA(CLIENT_STAND_IN_EXE, (p.folder + "TovanClient.exe").c_str(), FALSE);

        ToolRun r;
        LONG boxes = 0;
        {
            RefusalBoxCloser closer;
            r = RunBrivet(p.folder + "Brivet.exe", "/u", root_);
            boxes = closer.boxes();
        }
        EXPECT_EQ(r.exitCode, 1u) << p.folder;
        EXPECT_EQ(r.output, std::string(tovan::kUninstallRefused) + "\r\n") << p.folder;
        EXPECT_EQ(boxes, 1) << p.folder;
        EXPECT_EQ(ReadFileText(victim), "precious") << p.folder;
        EXPECT_TRUE(Exists(p.folder + "Brivet.exe")) << p.folder;
        EXPECT_TRUE(KeyExists(entry)) << p.folder;

        DeleteFileA(victim.c_str());
        DeleteFileA((p.folder + "Brivet.exe").c_str());
        if (placedClient) DeleteFileA((p.folder + "TovanClient.exe").c_str());
    }
}

}  // namespace
