// ProfileReader over the given profile files read once each, for a burst of
// reads such as the frame's creation: under Wine every platform read opens
// and checks its file again. Reads of other files, and what a snapshot
// leaves to the platform (integers, values cut by their buffer), go to the
// platform's functions. Only while nothing writes those files.
//
//   ProfileFilesSnapshot settings({configPath, tovan::kUserIni});
//   tovan::ReadSessionSettings(settings, configPath);
#pragma once

#include <deque>
#include <initializer_list>
#include <string>

#include "client/controls/win_profile_reader.h"
#include "client/model/profile_snapshot.h"

class ProfileFilesSnapshot : public tovan::ProfileReader {
public:
    explicit ProfileFilesSnapshot(std::initializer_list<std::string> files) {
        for (const std::string& file : files) {
            std::string text;
            // One that cannot be read is read through the platform.
            if (fw::ReadProfileFile(file, text)) layers_.emplace_back(file, text, Top());
        }
    }

    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& def, std::size_t bufferSize) override {
        return Top().ReadString(file, section, key, def, bufferSize);
    }
    int ReadInt(const std::string& file, const std::string& section, const std::string& key, int def) override {
        return Top().ReadInt(file, section, key, def);
    }

private:
    // Each snapshot passes what is not its own to the one made before it.
    tovan::ProfileReader& Top() {
        return layers_.empty() ? static_cast<tovan::ProfileReader&>(platform_) : layers_.back();
    }

    WinProfileReader platform_;
    std::deque<tovan::ProfileSnapshot> layers_;  // a deque keeps them in place
};
