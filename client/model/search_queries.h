// The SQL texts of a search and of the watch. The client never filters the
// server's offer table itself: it sends the WHERE part of a statement over
// MsgIs (offers) and msgfull (destination keywords), and the server runs it.
//
// Criteria are kept as the frame stores them: quoted lists ('甲','乙') and a
// free text. Everything that goes between single quotes passes through
// CleanQueryText first, so no criteria text can close a literal early, end
// the message ("^") or split its fields ("|"); for the texts the dialogs and
// settings normally give, that leaves them byte for byte as they are.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "client/model/outgoing_messages.h"  // kCountMessageBufferSize

namespace tovan {

struct QueryCriteria {
    std::string areas;         // quoted list of province, city or county names
    std::string classes;       // quoted list of class words ("货", "车")
    std::string destinations;  // quoted list of destination keywords, or empty
    std::string keyword;       // free text, or empty
};

// Removes from a criteria text every "'", every "^" and "|" that is not the
// second byte of a double-byte character, and every lead byte that has no
// valid second byte after it (a value cut inside a character), so that the
// text cannot merge with the quote that follows it.
std::string CleanQueryText(std::string_view text);

// A comma-separated list of names as a quoted list: the names are cleaned,
// every "," becomes "','" and the whole is enclosed in "'" ("" gives '').
// A quoted list given to it loses its quotes and gets them back, so a
// well-formed one comes back unchanged, empty names included, and any other
// comes back well-formed.
std::string QuoteNameList(std::string_view names);

// The four statements, byte for byte as the server expects them.
std::string BuildSearchCountStatement(const QueryCriteria& c);
std::string BuildSearchRecordStatement(const QueryCriteria& c);  // newest record of each text
std::string BuildWatchCountStatement(const QueryCriteria& c);
std::string BuildWatchRecordStatement(const QueryCriteria& c);

// "!SOUSUOCOUNT!|<statement>^" or "!GUANZHUCOUNT!|<statement>^" as it is
// formatted into the count message buffer; nothing when it does not fit.
// A cut statement would be broken SQL and, without its "^", would run into
// the next message, so a message too long is refused whole.
std::optional<std::string> SearchCountMessage(const QueryCriteria& c);
std::optional<std::string> WatchCountMessage(const QueryCriteria& c);

}  // namespace tovan
