#include "Transaction.h"

#include <cstring>

#include "HIDDevice.h"

namespace {
// A device that kept sending could hold the discard loop for ever.
constexpr int kMaxDiscarded = 64;
}  // namespace

Transaction::Transaction(HIDDevice& device) : m_device(device) {}

Transaction::Result Transaction::run(Protocol::Command command, const QByteArray& payload) {
    return run(Protocol::frame(command, payload));
}

Transaction::Result Transaction::run(const QByteArray& frame) {
    clearReply();
    if (frame.size() != Protocol::FrameSize) return Result::WriteFailed;
    const Protocol::CommandInfo* command = Protocol::find(static_cast<unsigned char>(frame.at(2)));
    if (command == nullptr) return Result::WriteFailed;

    discardPending();
    const auto* data = reinterpret_cast<const unsigned char*>(frame.constData());
    if (m_device.write(data, Protocol::FrameSize) != Protocol::FrameSize) return Result::WriteFailed;

    const int count = m_device.readTimeout(m_reply, sizeof m_reply, command->timeout);
    if (count != Protocol::ReplySize) {
        clearReply();
        return Result::NoReply;
    }
    if (command->statusTested && m_reply[Protocol::StatusByte] != command->requiredStatus) {
        return Result::WrongStatus;
    }
    return Result::Ok;
}

QByteArray Transaction::replyBytes() const {
    return QByteArray(reinterpret_cast<const char*>(m_reply), Protocol::ReplySize);
}

unsigned char Transaction::replyByte(int index) const {
    return index >= 0 && index < Protocol::ReplySize ? m_reply[index] : 0;
}

void Transaction::discardPending() {
    unsigned char scratch[Protocol::ReplyBufferSize];
    for (int i = 0; i < kMaxDiscarded; ++i) {
        if (m_device.readTimeout(scratch, sizeof scratch, 0) <= 0) break;
    }
}

void Transaction::clearReply() {
    std::memset(m_reply, 0, sizeof m_reply);
}
