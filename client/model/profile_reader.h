// Read access to private profile (ini) files, so that rules which read
// settings can be tested without the platform. The Windows side implements it
// over GetPrivateProfileStringA / GetPrivateProfileIntA.
#pragma once

#include <cstddef>
#include <string>

namespace tovan {

// The user's own settings file: a bare name, so it lives in the Windows directory.
constexpr const char* kUserIni = "dmr.ini";

class ProfileReader {
public:
    virtual ~ProfileReader() = default;

    // The value of [section] key in file, or def when the key is missing, cut
    // to bufferSize - 1 bytes as a buffer of bufferSize bytes would hold it.
    // A bare file name means the Windows directory.
    virtual std::string ReadString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& def,
                                   std::size_t bufferSize) = 0;

    // The value read as a decimal number, or def when the key is missing.
    virtual int ReadInt(const std::string& file, const std::string& section,
                        const std::string& key, int def) = 0;
};

}  // namespace tovan
