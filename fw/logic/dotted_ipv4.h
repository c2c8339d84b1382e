// Addresses that come from the network (relayed chat requests, the address
// server's replies) are taken only as dotted IPv4 numbers: a host name there
// would make the window thread wait for a name server, as often as anyone
// on the network likes.
#pragma once

#include <string_view>

namespace fw {

// Four decimal numbers from 0 to 255 of one to three digits, joined by ".".
bool IsDottedIPv4(std::string_view text);

}  // namespace fw
