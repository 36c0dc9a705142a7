#include "DeviceRead.h"

#include <QCoreApplication>
#include <QList>

#include "CanCodec.h"
#include "FiberRules.h"
#include "RouteRules.h"

namespace {
constexpr int kCarriedByte = 5;
}  // namespace

DeviceRead::DeviceRead(HIDDevice& device, ParameterSet& set) : m_transaction(device), m_set(set) {}

QString DeviceRead::message(Result result) {
    switch (result) {
        case Result::Done:
            return tr("读取成功");
        case Result::BaudRateFailed:
            return tr("读取CAN波特率失败");
        case Result::FilterFailed:
            return tr("读取掩码数据失败");
        case Result::FiberFailed:
            return tr("读取光纤数据失败");
        case Result::RouteFailed:
            return tr("读取路由数据失败");
    }
    return QString();
}

int DeviceRead::stepCount() const {
    return m_set.can.size() * (1 + CanCodec::kBankCount) + (m_set.fiberCount > 0 ? 1 : 0) + 1;
}

Transaction::Result DeviceRead::query(Protocol::Command command, const QByteArray& payload) {
    if (m_progress) m_progress(++m_step, stepCount());
    QByteArray frame = Protocol::frame(command, payload);
    if (payload.size() <= kCarriedByte - Protocol::HeaderSize) frame[kCarriedByte] = m_lastBank;
    return m_transaction.run(frame);
}

bool DeviceRead::readChannal(int i, Result* failure) {
    CanChannelValues& channel = m_set.can[i];
    const char id = char(i + 1);

    if (query(Protocol::Command::QueryCanBaudRate, QByteArray(1, id)) != Transaction::Result::Ok) {
        *failure = Result::BaudRateFailed;
        return false;
    }
    CanCodec::applyWord(channel,
                        m_transaction.replyBytes().mid(Protocol::Reply::BaudRateWord, CanCodec::kWordSize));

    QList<QByteArray> replies;
    for (int bank = 0; bank < CanCodec::kBankCount; ++bank) {
        m_lastBank = char(bank);
        if (query(Protocol::Command::QueryCanFilter, QByteArray(1, id) + m_lastBank) !=
            Transaction::Result::Ok) {
            *failure = Result::FilterFailed;
            return false;
        }
        replies.append(m_transaction.replyBytes().left(Protocol::Reply::FilterEnd));
    }
    // The banks change only once all fourteen are in.
    CanCodec::applyFilterReplies(channel, replies);
    return true;
}

DeviceRead::Result DeviceRead::run() {
    m_lastBank = 0;
    m_step = 0;
    Result failure = Result::Done;
    for (int i = 0; i < m_set.can.size(); ++i) {
        if (!readChannal(i, &failure)) return failure;
    }

    if (m_set.fiberCount > 0) {
        if (query(Protocol::Command::QueryFiberBaudRate, QByteArray(1, '\0')) != Transaction::Result::Ok)
            return Result::FiberFailed;
        FiberRules::applyReply(m_set.fiber, m_set.fiberCount, m_transaction.replyBytes());
    }

    if (query(Protocol::Command::QueryRoute, QByteArray(1, '\0')) != Transaction::Result::Ok)
        return Result::RouteFailed;
    RouteRules::applyReply(m_set.route, m_set.routeType, m_transaction.reply());
    return Result::Done;
}
