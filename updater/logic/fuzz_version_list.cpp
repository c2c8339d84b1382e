// Feeds arbitrary version lists to the updater's parser and to the client's
// check. Whatever the list holds, a name the updater fetches stays a plain
// file directly in the program folder and is no device, and every file the
// client finds due is one the updater fetches (else the client would send
// the user to the updater at every start).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "client/model/update_check.h"
#include "updater/logic/update_files.h"
#include "updater/logic/update_plan.h"
#include "updater/logic/version_list.h"

namespace {

// Checked here by their own rules, not by the code under test.
bool LeavesTheFolder(std::string_view name) {
    if (name.empty() || name.find("..") != std::string_view::npos) return true;
    if (name.find_first_of("/:") != std::string_view::npos) return true;  // never a GBK second byte
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < name.size()) {
            ++i;  // the second byte may be "\" without being one
            continue;
        }
        if (c == '\\' || c < 0x20) return true;
    }
    return false;
}

bool NamesADevice(std::string_view name) {
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$",
                                           "COM0", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6",
                                           "COM7", "COM8", "COM9", "LPT0", "LPT1", "LPT2", "LPT3",
                                           "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    for (const char* d : kDevices)
        if (base == d) return true;
    return false;
}

struct NoIni : tovan::ProfileReader {
    std::string ReadString(const std::string&, const std::string&, const std::string&,
                           const std::string& def, std::size_t) override {
        return def;
    }
    int ReadInt(const std::string&, const std::string&, const std::string&, int def) override {
        return def;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const std::vector<tovan::VersionRecord> records = tovan::ParseVersionList(body);
    for (const tovan::VersionRecord& r : records) {
        if (tovan::DecideRecord(r, 0) != tovan::RecordAction::Fetch) continue;
        if (LeavesTheFolder(r.name) || NamesADevice(r.name)) std::abort();
        const std::string installed = tovan::InstallName(r.name);
        if (installed != r.name && installed != tovan::kNewUpdaterFileName) std::abort();
        if (tovan::DownloadPath(r.name) != "/cab/" + r.name) std::abort();
    }
    // What the client finds due (nothing installed yet), the updater fetches.
    for (const tovan::ListedFile& f : tovan::ParseClientVersionList(body)) {
        if (f.name.empty() || !tovan::IsUpdateDue(f.name, f.version, 1)) continue;
        bool fetched = false;
        for (const tovan::VersionRecord& r : records)
            fetched = fetched || (r.name == f.name && tovan::DecideRecord(r, 1) == tovan::RecordAction::Fetch);
        if (!fetched) std::abort();
    }
    NoIni ini;
    (void)tovan::UpdateIsDue(body, ini, "update.ini");
    return 0;
}
