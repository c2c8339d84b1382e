// Test double for settings read and written by the dialogs' rules: what is
// written is read back, and every write is recorded in order.
#pragma once

#include <string>
#include <vector>

#include "client/model/fake_profile_reader.h"
#include "client/model/profile_writer.h"

namespace tovan {

class FakeProfiles : public FakeProfileReader, public ProfileWriter {
public:
    struct Write {
        std::string file, section, key, value;
        bool operator==(const Write& o) const {
            return file == o.file && section == o.section && key == o.key && value == o.value;
        }
    };

    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override {
        Set(file, section, key, value);
        writes.push_back({file, section, key, value});
        return true;
    }

    std::vector<Write> writes;
};

}  // namespace tovan
