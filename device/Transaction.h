#pragma once

#include <QByteArray>

#include "Protocol.h"

class HIDDevice;

// One request and its reply: the frame goes out as 17 bytes, the reply must
// come back as 16 bytes within the command's time-out and carry the status
// the command requires. Reports left over from earlier requests (a reply
// that came after its time-out) are discarded first, so a reply is only ever
// taken from after its own request. No messages, no exceptions; usable from
// any thread that has the device to itself.
class Transaction {
public:
    enum class Result {
        Ok,
        WriteFailed,  // not sent: a write count other than 17, or a frame that is not 17 bytes of a known
                      // command
        NoReply,      // time-out, read error, or a reply of any length but 16
        WrongStatus,  // a reply of 16 bytes whose status is not the one required
    };

    explicit Transaction(HIDDevice& device);

    // Sends a whole frame; the command is taken from its byte 2.
    Result run(const QByteArray& frame);
    // Builds the frame with Protocol::frame() and sends it.
    Result run(Protocol::Command command, const QByteArray& payload = QByteArray());

    // The reply buffer: Protocol::ReplyBufferSize bytes, the 16 reply bytes
    // first, always zero-terminated. All zero unless a reply of 16 bytes came.
    const unsigned char* reply() const { return m_reply; }
    QByteArray replyBytes() const;
    unsigned char replyByte(int index) const;

private:
    void discardPending();
    void clearReply();

    HIDDevice& m_device;
    unsigned char m_reply[Protocol::ReplyBufferSize] = {};
};
