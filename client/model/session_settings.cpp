#include "client/model/session_settings.h"

namespace tovan {

SessionSettings ReadSessionSettings(ProfileReader& reader, const std::string& configIniPath) {
    SessionSettings s;
    s.serverHost = reader.ReadString(configIniPath, "Server", "Name", "127.0.0.1", kNameBufferSize);
    s.serverPort = reader.ReadInt(configIniPath, "Server", "Port", 8000);
    const int autoLogon = reader.ReadInt(kUserIni, "User", "AutoLogon", 0);
    s.userName = reader.ReadString(kUserIni, "User", "Name", "", kNameBufferSize);
    // Without automatic logon the first logon sends "-": the server wants a field there.
    s.password = autoLogon != 0 ? reader.ReadString(kUserIni, "User", "Pass", "", kNameBufferSize)
                                : std::string("-");
    return s;
}

}  // namespace tovan
