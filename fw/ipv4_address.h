// IPv4 addresses as dotted text: name look-ups and the machine's own address.
#pragma once

#include <string>

namespace fw {

// First IPv4 address of a dotted address or host name, dotted; empty when
// the name cannot be resolved. A name asks the name server and can take
// seconds: never on a window thread for a name from the network.
std::string ResolveIPv4(const std::string& host);

// This machine's address as the interface list gives it, without asking a
// name server: the first interface that is up and not the loopback one,
// else the loopback's; empty when the list cannot be read.
std::string LocalIPv4Address();

}  // namespace fw
