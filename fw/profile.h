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
bool WriteProfileString(const std::string& file, const char* section, const char* key,
                        const char* value);

}  // namespace fw
