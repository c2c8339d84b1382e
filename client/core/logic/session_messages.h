// The server messages of the session and of the offer lists, routed to the
// handlers that serve them: the logon reply, errors and notices to the
// session, every record message to the record handlers.
#pragma once

#include "client/core/logic/record_handlers.h"
#include "client/core/logic/session.h"

namespace tovan {

class SessionAndRecordMessages : public SessionMessageHandler {
public:
    SessionAndRecordMessages(Session& s, RecordHandlers& r) : SessionMessageHandler(s), records_(r) {}
    void OnNewRecord(const char* m) override { records_.OnNewRecord(m); }
    void OnChengjiao(const char* m) override { records_.OnChengjiao(m); }
    void OnDeleteMsg(const char* m) override { records_.OnDeleteMsg(m); }
    void OnRecordCount(const char* m) override { records_.OnRecordCount(m); }
    void OnSingleRecord(const char* m) override { records_.OnSingleRecord(m); }
    void OnSousuoCount(const char* m) override { records_.OnSousuoCount(m); }
    void OnSousuoRecord(const char* m) override { records_.OnSousuoRecord(m); }
    void OnGuanzhuCount(const char* m) override { records_.OnGuanzhuCount(m); }
    void OnGuanzhuRecord(const char* m) override { records_.OnGuanzhuRecord(m); }
    void OnMyRecordCount(const char* m) override { records_.OnMyRecordCount(m); }
    void OnMyMsgRecord(const char* m) override { records_.OnMyMsgRecord(m); }

private:
    RecordHandlers& records_;
};

}  // namespace tovan
