// Every message the client sends to the exchange server, composed here and
// nowhere else; the messages it receives are in server_message.h. The form is
// the same both ways: "!WORD!|field|field^", GBK bytes, no length, no escape,
// so the callers clean "^" and "|" out of the fields they pass.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tovan {

// Whether text holds a byte the wire reads as a separator ("|" or "^"),
// alone or as the second byte of a double-byte character: a field holding
// one arrives cut apart.
bool HoldsWireSeparator(std::string_view text);

// The first line of every connection, never queued. The name and password
// are sent as they are: they cannot be cleaned without changing the account.
std::string LogonMessage(std::string_view user, std::string_view password,
                         std::string_view machineId);

// The keep-alive, the one message without a command word, never queued.
constexpr const char kKeepAliveMessage[] = "LOOP^";

// The current list of an area: its count comes back first.
std::string TodayRecordMessage(std::string_view area);

// Row requests "!WORD!|first|count|selector^": the current list's rows by
// area key, the watch and search lists' rows by their record statement.
std::string SingleRecordMessage(int first, int count, std::string_view area);
std::string GuanzhuRecordMessage(int first, int count, std::string_view statement);
std::string SousuoRecordMessage(int first, int count, std::string_view statement);

// A count message is formatted into a buffer of this many bytes.
constexpr std::size_t kCountMessageBufferSize = 4000;

// The search and watch counts; nothing when the message does not fit its
// buffer with the NUL after it. A cut statement would be broken SQL and,
// without its "^", would run into the next message, so it is refused whole.
std::optional<std::string> SousuoCountMessage(std::string_view statement);
std::optional<std::string> GuanzhuCountMessage(std::string_view statement);

// The user's own offers: their count, and a run of rows newest first.
std::string MyRecordCountMessage(std::string_view user);
std::string MyMsgRecordMessage(int first, int count, std::string_view user);

// An offer published, or sent once more.
std::string AddMsgMessage(std::string_view offerClass, std::string_view text);

// The user's offers that became deals, IDs joined by ",".
std::string ChengjiaoMessage(std::string_view idList);

// A relay line holds at most this many bytes before its "^".
constexpr std::size_t kRelayLineLimit = 248;

// The chat relay: "!ADDCHATER!" asks the peer to talk, "!BDDCHATER!" answers,
// each "|peer id|public address|public port|local address|local port^". The
// text before "^" is cut to 248 bytes, never inside a double-byte character:
// its lead byte before "^" would make the server read "^" as the character's
// second byte and run this line into the next one.
std::string AddChaterMessage(std::string_view peerId, std::string_view publicAddress,
                             int publicPort, std::string_view localAddress, int localPort);
std::string BddChaterMessage(std::string_view peerId, std::string_view publicAddress,
                             int publicPort, std::string_view localAddress, int localPort);

// True for the messages that ask for a list's size or rows: queued ones go
// stale when the user turns to another list.
bool IsListRequest(std::string_view message);

}  // namespace tovan
