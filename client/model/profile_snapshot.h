// One profile (ini) file read once, answering the reads of that file as the
// platform's profile functions do: under Wine each of those opens and checks
// the file again, which for area.ini's hundred reads at start-up costs more
// than the parse. Reads of any other file, and reads the snapshot cannot
// answer exactly (a file with a byte-order mark, a value its buffer cuts, a
// number too long for the platform's buffer), go to the reader it was given.
//
//   WinProfileReader platform;
//   ProfileSnapshot ini(path, bytesOfTheFile, platform);
//   AreaIni areas(ini, path);
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "client/model/profile_reader.h"

namespace tovan {

class ProfileSnapshot : public ProfileReader {
public:
    // file: the path as the callers pass it; text: the file's bytes.
    ProfileSnapshot(std::string file, std::string_view text, ProfileReader& fallback);

    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& def, std::size_t bufferSize) override;
    int ReadInt(const std::string& file, const std::string& section, const std::string& key,
                int def) override;

private:
    struct Section {
        std::string name;
        // In file order; a key without "=" has no value.
        std::vector<std::pair<std::string, std::optional<std::string>>> keys;
    };
    // The value of the key in the first section of that name; null when
    // either is missing.
    const std::string* Find(const std::string& section, const std::string& key) const;
    static std::uint32_t PlatformInteger(std::string_view text);
    // Longer values the platform cuts before reading the number: left to it.
    static constexpr std::size_t kIntTextLimit = 20;

    std::string file_;
    ProfileReader& fallback_;
    bool usable_ = true;  // false: every read goes to the fallback
    std::vector<Section> sections_;
};

}  // namespace tovan
