// Write access to private profile (ini) files, the counterpart of
// tovan::ProfileReader, so that the dialogs' settings rules can be tested
// without the platform. The Windows side implements it over
// WritePrivateProfileStringA.
#pragma once

#include <string>

namespace tovan {

class ProfileWriter {
public:
    virtual ~ProfileWriter() = default;

    // Sets [section] key in file to value; false when the write failed.
    // A bare file name means the Windows directory.
    virtual bool WriteString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

}  // namespace tovan
