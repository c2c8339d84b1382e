// ProfileWriter over the platform's private profile functions.
#pragma once

#include "fw/profile.h"
#include "client/model/profile_writer.h"

class WinProfileWriter : public tovan::ProfileWriter {
public:
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override {
        return fw::WriteProfileString(file, section.c_str(), key.c_str(), value.c_str());
    }
};
