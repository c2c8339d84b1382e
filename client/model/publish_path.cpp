#include "client/model/publish_path.h"

#include "client/model/outgoing_messages.h"
#include "text/gbk.h"
#include "text/replace.h"

namespace tovan {

std::string CompleteOfferText(const std::string& dialogText, const ContactDetails& contacts,
                              bool sendMobile) {
    // At most the limit in bytes, never half a character.
    std::string text = GbkRemoveAll(std::string(GbkCut(dialogText, kPublishTextLimit)), " ");
    text += ' ';
    // Blanks inside the contact values stay: they are appended after the removal.
    if (!contacts.name.empty()) text += "联系人:" + contacts.name + " ";
    if (!contacts.phone.empty()) text += "电话:" + contacts.phone + " ";
    if (sendMobile && !contacts.mobile.empty()) text += "手机:" + contacts.mobile + " ";
    // "|" and "^" frame the server's messages, "'" would break its SQL.
    text = ReduceWireSignCharacters(text);
    text = GbkReplaceAll(text, "'", "\"");
    text = ReplaceFieldSeparators(text);
    text = GbkRemoveAll(text, "^");
    return GbkRemoveAll(text, "\r\n");
}

PublishOutcome PublishOffer(const std::string& offerClass, const AccountState& account,
                            PublishPorts& ports, ResendSchedule& schedule) {
    if (account.isFullMember == 0) return PublishOutcome::NotFullMember;

    PublishDialogRequest request;
    request.expert = ports.profile.ReadInt(kUserIni, "Publish", "Kind", 0) != 0;
    request.offerClass = offerClass;
    request.contacts = {account.contactName, account.contactPhone, account.contactMobile};
    const PublishDialogResult result = ports.dialogs.Show(request);
    if (!result.confirmed) return PublishOutcome::Cancelled;

    // Only the blanks are removed later: a text of blanks is still sent.
    if (result.offerText.empty()) return PublishOutcome::EmptyText;

    const std::string text = CompleteOfferText(result.offerText, request.contacts, result.sendMobile);
    const std::string message = AddMsgMessage(offerClass, text);
    // No reply is awaited: the offer comes back through the server's broadcast.
    ports.outbox.Send(message);

    // The entry is made whether the send went out or waits in the queue.
    if (result.resendCount != 0 && result.resendInterval != 0) {
        const ResendTime now = ResendTime::FromTm(ports.clock.LocalNow());
        ChongfaXinxi entry;
        entry.body = text;
        entry.message = message;
        entry.offerClass = offerClass;
        entry.remaining = result.resendCount;
        entry.interval = result.resendInterval;
        entry.next = now.PlusMinutes(result.resendInterval);  // the first repeat is one interval away
        entry.created = now.ClockText();
        schedule.AddOrReplace(entry);
    }
    return PublishOutcome::Sent;
}

}  // namespace tovan
