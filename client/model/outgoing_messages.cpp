#include "client/model/outgoing_messages.h"

#include <initializer_list>

#include "text/gbk.h"

namespace tovan {
namespace {

// The command word, then each field after a "|", then the terminator.
std::string Compose(std::string_view word, std::initializer_list<std::string_view> fields) {
    std::string m(word);
    for (std::string_view f : fields) {
        m += '|';
        m.append(f.data(), f.size());
    }
    m += '^';
    return m;
}

std::string RowsMessage(std::string_view word, int first, int count, std::string_view selector) {
    return Compose(word, {std::to_string(first), std::to_string(count), selector});
}

std::optional<std::string> CountMessage(std::string_view word, std::string_view statement) {
    std::string m = Compose(word, {statement});
    if (m.size() >= kCountMessageBufferSize) return std::nullopt;
    return m;
}

std::string RelayMessage(std::string_view word, std::string_view peerId,
                         std::string_view publicAddress, int publicPort,
                         std::string_view localAddress, int localPort) {
    std::string text = Compose(word, {peerId, publicAddress, std::to_string(publicPort),
                                      localAddress, std::to_string(localPort)});
    text.pop_back();  // the cut applies to the text before "^"
    return std::string(GbkCut(text, kRelayLineLimit)) + "^";
}

}  // namespace

bool HoldsWireSeparator(std::string_view text) {
    return text.find_first_of("|^") != std::string_view::npos;
}

std::string LogonMessage(std::string_view user, std::string_view password,
                         std::string_view machineId) {
    return Compose("!LOGON!", {user, password, machineId});
}

std::string TodayRecordMessage(std::string_view area) { return Compose("!TODAYRECORD!", {area}); }

std::string SingleRecordMessage(int first, int count, std::string_view area) {
    return RowsMessage("!SINGLERECORD!", first, count, area);
}

std::string GuanzhuRecordMessage(int first, int count, std::string_view statement) {
    return RowsMessage("!GUANZHURECORD!", first, count, statement);
}

std::string SousuoRecordMessage(int first, int count, std::string_view statement) {
    return RowsMessage("!SOUSUORECORD!", first, count, statement);
}

std::optional<std::string> SousuoCountMessage(std::string_view statement) {
    return CountMessage("!SOUSUOCOUNT!", statement);
}

std::optional<std::string> GuanzhuCountMessage(std::string_view statement) {
    return CountMessage("!GUANZHUCOUNT!", statement);
}

std::string MyRecordCountMessage(std::string_view user) { return Compose("!MYRECORDCOUNT!", {user}); }

std::string MyMsgRecordMessage(int first, int count, std::string_view user) {
    const std::string query =
        "SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] FROM msgis "
        "WHERE Byname='" + std::string(user) + "' ORDER BY ID DESC";
    return RowsMessage("!MYMSGRECORD!", first, count, query);
}

std::string AddMsgMessage(std::string_view offerClass, std::string_view text) {
    return Compose("!ADDMSG!", {offerClass, text});
}

std::string ChengjiaoMessage(std::string_view idList) { return Compose("!CHENGJIAO!", {idList}); }

std::string AddChaterMessage(std::string_view peerId, std::string_view publicAddress,
                             int publicPort, std::string_view localAddress, int localPort) {
    return RelayMessage("!ADDCHATER!", peerId, publicAddress, publicPort, localAddress, localPort);
}

std::string BddChaterMessage(std::string_view peerId, std::string_view publicAddress,
                             int publicPort, std::string_view localAddress, int localPort) {
    return RelayMessage("!BDDCHATER!", peerId, publicAddress, publicPort, localAddress, localPort);
}

bool IsListRequest(std::string_view message) {
    static constexpr std::string_view kListWords[] = {
        "!TODAYRECORD!",  "!SINGLERECORD!", "!GUANZHUCOUNT!",  "!GUANZHURECORD!",
        "!SOUSUOCOUNT!",  "!SOUSUORECORD!", "!MYRECORDCOUNT!", "!MYMSGRECORD!",
    };
    for (std::string_view word : kListWords) {
        if (message.substr(0, word.size()) == word) return true;
    }
    return false;
}

}  // namespace tovan
