#include "updater/logic/pe_image.h"

#include <gtest/gtest.h>

#include <string>

namespace tovan {
namespace {

void Put16(std::string& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

// A small image: headers in the first 0x200 bytes, one section of 0x200 bytes.
std::string Image(std::uint16_t machine, bool library) {
    std::string b(0x400, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 0x80);
    b.replace(0x80, 4, std::string("PE\0\0", 4));
    const std::size_t file = 0x84;
    const bool plus = machine == kMachineAmd64;
    const std::uint16_t optionalSize = plus ? 0xF0 : 0xE0;
    Put16(b, file, machine);
    Put16(b, file + 2, 1);
    Put16(b, file + 16, optionalSize);
    Put16(b, file + 18, static_cast<std::uint16_t>(0x0002 | (library ? 0x2000 : 0)));
    const std::size_t optional = file + 20;
    Put16(b, optional, plus ? 0x020B : 0x010B);
    Put32(b, optional + 60, 0x200);
    const std::size_t section = optional + optionalSize;
    b.replace(section, 5, ".text");
    Put32(b, section + 16, 0x200);
    Put32(b, section + 20, 0x200);
    return b;
}

TEST(PeImageTest, KindComesFromTheExtension) {
    EXPECT_EQ(ImageKindOf("TovanClient.exe"), ImageKind::Program);
    EXPECT_EQ(ImageKindOf("TVUPDATE.EXE"), ImageKind::Program);
    EXPECT_EQ(ImageKindOf("Vokar.ocx"), ImageKind::Library);
    EXPECT_EQ(ImageKindOf("a.Dll"), ImageKind::Library);
    EXPECT_EQ(ImageKindOf("area.ini"), ImageKind::None);
    EXPECT_EQ(ImageKindOf("exe"), ImageKind::None);
}

TEST(PeImageTest, OnlyWholeImagesOfTheirKindAndMachinePass) {
    const std::string program = Image(kMachineI386, false);
    const std::string library = Image(kMachineI386, true);
    const std::string program64 = Image(kMachineAmd64, false);
    EXPECT_TRUE(IsWellFormedImage(program, ImageKind::Program, kMachineI386));
    EXPECT_TRUE(IsWellFormedImage(library, ImageKind::Library, kMachineI386));
    EXPECT_TRUE(IsWellFormedImage(program64, ImageKind::Program, kMachineAmd64));
    EXPECT_TRUE(IsWellFormedImage("<html>404</html>", ImageKind::None, kMachineI386));

    std::string noPe = program;
    noPe[0x81] = 'X';
    std::string farHeader = program;
    Put32(farHeader, 0x3C, 0xFFFFFFF0u);
    std::string noSections = program;
    Put16(noSections, 0x86, 0);
    std::string notExecutable = program;
    Put16(notExecutable, 0x84 + 18, 0);
    std::string sectionBeyond = program;
    Put32(sectionBeyond, 0x84 + 20 + 0xE0 + 20, 0xFFFFFF00u);
    const struct {
        const char* what;
        std::string bytes;
        ImageKind kind;
        std::uint16_t machine;
    } bad[] = {
        {"empty", "", ImageKind::Program, kMachineI386},
        {"an HTML error page", "<html><body>Server error</body></html>", ImageKind::Program, kMachineI386},
        {"only the DOS header", program.substr(0, 0x40), ImageKind::Program, kMachineI386},
        {"cut in its last section", program.substr(0, 0x3FF), ImageKind::Program, kMachineI386},
        {"cut in the section table", program.substr(0, 0x190), ImageKind::Program, kMachineI386},
        {"no PE signature", noPe, ImageKind::Program, kMachineI386},
        {"PE header beyond the end", farHeader, ImageKind::Program, kMachineI386},
        {"no sections", noSections, ImageKind::Program, kMachineI386},
        {"not marked executable", notExecutable, ImageKind::Program, kMachineI386},
        {"section data beyond the end", sectionBeyond, ImageKind::Program, kMachineI386},
        {"a library for a program", library, ImageKind::Program, kMachineI386},
        {"a program for a library", program, ImageKind::Library, kMachineI386},
        {"another machine", program64, ImageKind::Program, kMachineI386},
        {"32-bit header for a 64-bit machine", program, ImageKind::Program, kMachineAmd64},
    };
    for (const auto& c : bad) EXPECT_FALSE(IsWellFormedImage(c.bytes, c.kind, c.machine)) << c.what;
}

}  // namespace
}  // namespace tovan
