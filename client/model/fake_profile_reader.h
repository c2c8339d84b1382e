// Test double of ProfileReader: files held in memory, with the platform's
// defaults and buffer cut.
#pragma once

#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

#include "client/model/profile_reader.h"

namespace tovan {

class FakeProfileReader : public ProfileReader {
public:
    void Set(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) {
        values_[{file, section, key}] = value;
    }

    std::string ReadString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def,
                           std::size_t bufferSize) override {
        auto it = values_.find({file, section, key});
        std::string v = it == values_.end() ? def : it->second;
        if (bufferSize == 0) return {};
        if (v.size() > bufferSize - 1) v.resize(bufferSize - 1);
        return v;
    }

    int ReadInt(const std::string& file, const std::string& section, const std::string& key,
                int def) override {
        auto it = values_.find({file, section, key});
        return it == values_.end() ? def : std::atoi(it->second.c_str());
    }

private:
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

}  // namespace tovan
