#include "DeviceRead.h"

#include <QCoreApplication>
#include <QList>

#include "CanCodec.h"
#include "FiberRules.h"
#include "RouteRules.h"

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

bool DeviceRead::query(const QByteArray& frame) {
    if (m_progress) m_progress(++m_step, stepCount());
    return m_transaction.run(frame) == Transaction::Result::Ok;
}

bool DeviceRead::readChannal(int i, Result* failure) {
    CanChannelValues& channel = m_set.can[i];
    const int id = i + 1;

    *failure = Result::BaudRateFailed;
    if (!query(Protocol::QueryCanBaudRate{id, m_lastBank}.frame())) return false;
    const auto word = Protocol::QueryCanBaudRate::parse(m_transaction.replyBytes());
    if (!word.ok()) return false;
    CanCodec::applyWord(channel, Protocol::wordBytes(word.values));

    *failure = Result::FilterFailed;
    QList<QByteArray> replies;
    for (int bank = 0; bank < CanCodec::kBankCount; ++bank) {
        m_lastBank = bank;
        if (!query(Protocol::QueryCanFilter{id, bank}.frame())) return false;
        replies.append(m_transaction.replyBytes());
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
        if (!query(Protocol::QueryFiberBaudRate{m_lastBank}.frame())) return Result::FiberFailed;
        const auto codes = Protocol::QueryFiberBaudRate::parse(m_transaction.replyBytes());
        if (!codes.ok()) return Result::FiberFailed;
        FiberRules::applyReply(m_set.fiber, m_set.fiberCount, codes.values);
    }

    if (!query(Protocol::QueryRoute{m_lastBank}.frame())) return Result::RouteFailed;
    const auto rows = Protocol::QueryRoute::parse(m_transaction.replyBytes());
    if (!rows.ok()) return Result::RouteFailed;
    RouteRules::applyReply(m_set.route, m_set.routeType, rows.values);
    return Result::Done;
}
