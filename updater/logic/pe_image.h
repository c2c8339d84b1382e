// Whether downloaded bytes are a well-formed Windows image of the kind their
// name promises: a broken program or library must never replace a working
// one, since the client could then not start at all.
#pragma once

#include <cstdint>
#include <string_view>

namespace tovan {

enum class ImageKind {
    None,     // not an image by its name: any bytes will do
    Program,  // .exe
    Library,  // .dll, .ocx
};

// By the name's extension, case aside.
ImageKind ImageKindOf(std::string_view fileName);

// Machine types of the image file header.
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;

// True when bytes are a complete image for machine: the DOS and PE headers,
// an optional header of the machine's format, an executable image that is a
// library exactly when kind is Library, and every section's data inside the
// bytes (so a file cut short fails). Always true for ImageKind::None.
bool IsWellFormedImage(std::string_view bytes, ImageKind kind, std::uint16_t machine);

}  // namespace tovan
