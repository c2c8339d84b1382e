// ProfileReader over the platform's private profile functions.
#pragma once

#include "fw/profile.h"
#include "client/model/profile_reader.h"

class WinProfileReader : public tovan::ProfileReader {
public:
    std::string ReadString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def,
                           std::size_t bufferSize) override {
        return fw::ReadProfileString(file, section.c_str(), key.c_str(), def.c_str(), bufferSize);
    }
    int ReadInt(const std::string& file, const std::string& section, const std::string& key,
                int def) override {
        return fw::ReadProfileInt(file, section.c_str(), key.c_str(), def);
    }
};
