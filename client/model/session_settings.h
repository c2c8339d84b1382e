// What the session reads at frame creation: the server address from
// Config.ini next to the program and the stored user from dmr.ini in the
// Windows directory.
#pragma once

#include <cstddef>
#include <string>

#include "client/model/profile_reader.h"

namespace tovan {

constexpr std::size_t kNameBufferSize = 200;  // host, user name, password: char[200]

struct SessionSettings {
    std::string serverHost;  // [Server] Name, "127.0.0.1"
    int serverPort = 8000;   // [Server] Port
    std::string userName;    // dmr.ini [User] Name
    std::string password;    // [User] Pass when AutoLogon is on, else "-"
};

SessionSettings ReadSessionSettings(ProfileReader& reader, const std::string& configIniPath);

}  // namespace tovan
