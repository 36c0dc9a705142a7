#include "DeviceRead.h"

#include <QList>

#include "CANParamWidget.h"
#include "CanCodec.h"
#include "ChannalWidget.h"
#include "OpticalFiberParamWidget.h"
#include "RouteParamWidget.h"

namespace {
constexpr int kBaudRateWordOffset = 5;  // reply bytes 5 ... 8
constexpr int kFiberCodeOffset = 3;     // reply byte 3 + i is fiber channel i
}  // namespace

DeviceRead::DeviceRead(HIDDevice& device, CANParamWidget& canPage, OpticalFiberParamWidget& fiberPage,
                       RouteParamWidget& routePage, int nCAN, int nFiberOptic)
    : m_transaction(device),
      m_canPage(canPage),
      m_fiberPage(fiberPage),
      m_routePage(routePage),
      m_nCAN(nCAN),
      m_nFiberOptic(nFiberOptic),
      m_report(Protocol::FrameSize, '\0') {}

const char* DeviceRead::message(Result result) {
    switch (result) {
        case Result::Done:
            return QT_TRANSLATE_NOOP("Tarvane", "读取成功");
        case Result::BaudRateFailed:
            return QT_TRANSLATE_NOOP("Tarvane", "读取CAN波特率失败");
        case Result::FilterFailed:
            return QT_TRANSLATE_NOOP("Tarvane", "读取掩码数据失败");
        case Result::FiberFailed:
            return QT_TRANSLATE_NOOP("Tarvane", "读取光纤数据失败");
        case Result::RouteFailed:
            return QT_TRANSLATE_NOOP("Tarvane", "读取路由数据失败");
    }
    return "";
}

int DeviceRead::stepCount() const {
    return m_nCAN * (1 + CanCodec::kBankCount) + (m_nFiberOptic > 0 ? 1 : 0) + 1;
}

Transaction::Result DeviceRead::query(Protocol::Command command, unsigned char byte4) {
    if (m_progress) m_progress(++m_step, stepCount());
    m_report[0] = char(Protocol::ReportNumber);
    m_report[1] = char(Protocol::FrameHead);
    m_report[2] = char(command);
    m_report[3] = char(Protocol::info(command).payloadLength);
    m_report[4] = char(byte4);
    return m_transaction.run(m_report);
}

bool DeviceRead::readChannal(int i, Result* failure) {
    ChannalWidget* channal = m_canPage.channalWidget(i);
    const auto channalId = static_cast<unsigned char>(i + 1);

    if (query(Protocol::Command::QueryCanBaudRate, channalId) != Transaction::Result::Ok) {
        *failure = Result::BaudRateFailed;
        return false;
    }
    if (channal)
        channal->setBaudRateReply(m_transaction.replyBytes().mid(kBaudRateWordOffset, CanCodec::kWordSize));

    QList<QByteArray> replies;
    for (int bank = 0; bank < CanCodec::kBankCount; ++bank) {
        m_report[5] = char(bank);
        if (query(Protocol::Command::QueryCanFilter, channalId) != Transaction::Result::Ok) {
            *failure = Result::FilterFailed;
            return false;
        }
        replies.append(m_transaction.replyBytes().left(CanCodec::kReplySize));
    }
    // The table changes only once all fourteen banks are in.
    if (channal) channal->setFilterReplies(replies);
    return true;
}

DeviceRead::Result DeviceRead::run() {
    m_report.fill('\0');
    m_step = 0;
    Result failure = Result::Done;
    for (int i = 0; i < m_nCAN; ++i) {
        if (!readChannal(i, &failure)) return failure;
    }

    if (m_nFiberOptic > 0) {
        if (query(Protocol::Command::QueryFiberBaudRate, 0) != Transaction::Result::Ok)
            return Result::FiberFailed;
        for (int i = 0; i < m_nFiberOptic; ++i)
            m_fiberPage.setBaudRateCode(i, m_transaction.replyByte(kFiberCodeOffset + i));
    }

    if (query(Protocol::Command::QueryRoute, 0) != Transaction::Result::Ok) return Result::RouteFailed;
    m_routePage.setRouteReply(m_transaction.reply());
    return Result::Done;
}
