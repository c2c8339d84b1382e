// Private profile (ini) files with the platform's own semantics: values are
// read into a buffer of the given size (longer values are cut), a missing key
// gives the default, and a bare file name means the Windows directory.
#pragma once

#include <cstddef>
#include <string>

namespace fw {

std::string ReadProfileString(const std::string& file, const char* section, const char* key,
                              const char* def, std::size_t bufferSize);
int ReadProfileInt(const std::string& file, const char* section, const char* key, int def);
// The bytes of the file where the profile functions look for it; empty when
// it does not exist. False when it exists but cannot be read.
bool ReadProfileFile(const std::string& file, std::string& text);
// Every settings write of the programs goes through here. It writes like
// WritePrivateProfileString (key null deletes the section, value null the
// key), but crash-safe: the new file is written beside the old one and then
// put in its place, so a crash leaves the old file or the new, never an
// empty or half-written one.
bool WriteProfileString(const std::string& file, const char* section, const char* key,
                        const char* value);

}  // namespace fw
