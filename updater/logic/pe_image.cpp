#include "updater/logic/pe_image.h"

namespace tovan {
namespace {

constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::uint16_t kLibraryImage = 0x2000;
constexpr std::uint16_t kPe32Magic = 0x010B;
constexpr std::uint16_t kPe32PlusMagic = 0x020B;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint16_t kMaxSections = 96;

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    s = s.substr(s.size() - suffix.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

// Little-endian reads; false when the field lies beyond the bytes.
bool Read16(std::string_view b, std::uint64_t at, std::uint16_t* v) {
    if (at + 2 > b.size()) return false;
    *v = static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
    return true;
}
bool Read32(std::string_view b, std::uint64_t at, std::uint32_t* v) {
    std::uint16_t lo = 0, hi = 0;
    if (!Read16(b, at, &lo) || !Read16(b, at + 2, &hi)) return false;
    *v = static_cast<std::uint32_t>(lo) | static_cast<std::uint32_t>(hi) << 16;
    return true;
}

}  // namespace

ImageKind ImageKindOf(std::string_view fileName) {
    if (EndsWithNoCase(fileName, ".exe")) return ImageKind::Program;
    if (EndsWithNoCase(fileName, ".dll") || EndsWithNoCase(fileName, ".ocx")) return ImageKind::Library;
    return ImageKind::None;
}

bool IsWellFormedImage(std::string_view bytes, ImageKind kind, std::uint16_t machine) {
    if (kind == ImageKind::None) return true;
    if (bytes.substr(0, 2) != "MZ") return false;
    std::uint32_t pe = 0;
    if (!Read32(bytes, 0x3C, &pe)) return false;
    if (static_cast<std::uint64_t>(pe) + 4 + kFileHeaderSize > bytes.size()) return false;
    if (bytes.substr(pe, 4) != std::string_view("PE\0\0", 4)) return false;

    const std::uint64_t file = static_cast<std::uint64_t>(pe) + 4;
    std::uint16_t fileMachine = 0, sections = 0, optionalSize = 0, characteristics = 0;
    Read16(bytes, file, &fileMachine);
    Read16(bytes, file + 2, &sections);
    Read16(bytes, file + 16, &optionalSize);
    Read16(bytes, file + 18, &characteristics);
    if (fileMachine != machine || sections == 0 || sections > kMaxSections) return false;
    if (!(characteristics & kExecutableImage)) return false;
    if (((characteristics & kLibraryImage) != 0) != (kind == ImageKind::Library)) return false;

    const std::uint64_t optional = file + kFileHeaderSize;
    const std::uint16_t wantMagic = machine == kMachineAmd64 ? kPe32PlusMagic : kPe32Magic;
    std::uint16_t magic = 0;
    std::uint32_t headersSize = 0;
    // SizeOfHeaders lies at offset 60 in both optional header formats.
    if (optionalSize < 64 || !Read16(bytes, optional, &magic) || magic != wantMagic) return false;
    if (!Read32(bytes, optional + 60, &headersSize) || headersSize > bytes.size()) return false;

    const std::uint64_t table = optional + optionalSize;
    if (table + static_cast<std::uint64_t>(sections) * kSectionHeaderSize > bytes.size()) return false;
    for (std::uint16_t i = 0; i < sections; ++i) {
        const std::uint64_t section = table + static_cast<std::uint64_t>(i) * kSectionHeaderSize;
        std::uint32_t rawSize = 0, rawAt = 0;
        Read32(bytes, section + 16, &rawSize);
        Read32(bytes, section + 20, &rawAt);
        if (rawSize != 0 && static_cast<std::uint64_t>(rawAt) + rawSize > bytes.size()) return false;
    }
    return true;
}

}  // namespace tovan
