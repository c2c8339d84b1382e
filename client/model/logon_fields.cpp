#include "client/model/logon_fields.h"

#include "client/model/outgoing_messages.h"

namespace tovan {

std::string LogonFieldsProblem(std::string_view name, std::string_view password) {
    if (HoldsWireSeparator(name)) return kNameHoldsSeparator;
    if (HoldsWireSeparator(password)) return kPasswordHoldsSeparator;
    return {};
}

}  // namespace tovan
