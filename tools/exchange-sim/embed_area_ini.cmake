# Writes the bytes of IN as the body of exsim::ShippedAreaIni() into OUT.
file(READ "${IN}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}" "// Generated from client/res/area.ini at build time.
#include \"tools/exchange-sim/areas.h\"

namespace exsim {
namespace {
const unsigned char kBytes[] = {
${bytes}};
}  // namespace

std::string_view ShippedAreaIni() { return {reinterpret_cast<const char*>(kBytes), sizeof kBytes}; }

}  // namespace exsim
")
