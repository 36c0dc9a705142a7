#include "DeviceWrite.h"

#include <QCoreApplication>

#include "CANParamWidget.h"
#include "ChannalWidget.h"
#include "OpticalFiberParamWidget.h"
#include "RouteParamWidget.h"

namespace {

constexpr int kFiberSlots = 4;
constexpr int kShownProblems = 8;

QString trTarvane(const char* text) {
    return QCoreApplication::translate("Tarvane", text);
}

}  // namespace

DeviceWrite::DeviceWrite(HIDDevice& device, CANParamWidget& canPage, OpticalFiberParamWidget& fiberPage,
                         RouteParamWidget& routePage, int nCAN, int nFiberOptic)
    : m_transaction(device),
      m_canPage(canPage),
      m_fiberPage(fiberPage),
      m_routePage(routePage),
      m_nCAN(nCAN),
      m_nFiberOptic(nFiberOptic) {}

const char* DeviceWrite::message(Result result) {
    switch (result) {
        case Result::Done:
            return QT_TRANSLATE_NOOP("Tarvane", "设置成功");
        case Result::BaudRateFailed:
            return QT_TRANSLATE_NOOP("Tarvane", "设置CAN波特率失败");
        case Result::FilterFailed:
            return QT_TRANSLATE_NOOP("Tarvane", "设置CAN掩码失败");
        case Result::FiberFailed:
            return QT_TRANSLATE_NOOP("Tarvane", "设置光纤波特率失败");
        case Result::RouteFailed:
            return QT_TRANSLATE_NOOP("Tarvane", "设置路由失败");
        case Result::ResetNotSent:
            return QT_TRANSLATE_NOOP("Tarvane", "发送复位指令失败.");
        case Result::ResetNoAnswer:
            return QT_TRANSLATE_NOOP("Tarvane", "参数已设置，复位无应答.");
        case Result::ResetFailed:
            return QT_TRANSLATE_NOOP("Tarvane", "复位失败.");
    }
    return "";
}

QStringList DeviceWrite::problems() const {
    QStringList lines;
    for (int i = 0; i < m_nCAN; ++i) {
        const ChannalWidget* channal = m_canPage.channalWidget(i);
        if (!channal) continue;
        const int id = channal->channalId();
        for (const InvalidField& field : channal->invalidFields()) {
            if (field.kind == InvalidField::BaudRate) {
                lines << trTarvane("CAN通道%1 波特率：位定时须为4个字节").arg(id);
            } else if (field.column == ChannalWidget::ColumnId) {
                lines << trTarvane("CAN通道%1 第%2行 ID寄存器：须为4个字节").arg(id).arg(field.row + 1);
            } else {
                lines << trTarvane("CAN通道%1 第%2行 掩码寄存器：须为4个字节").arg(id).arg(field.row + 1);
            }
        }
    }
    for (int i = 0; i < m_nFiberOptic; ++i) {
        if (!m_fiberPage.baudRateData(i).isValid()) lines << trTarvane("光纤%1 波特率：未选择").arg(i + 1);
    }
    return lines;
}

QString DeviceWrite::problemMessage(const QStringList& problems) {
    QStringList lines{trTarvane("以下参数有误，未向设备发送任何数据：")};
    lines << problems.mid(0, kShownProblems);
    if (problems.size() > kShownProblems)
        lines << trTarvane("……另有%1处").arg(problems.size() - kShownProblems);
    return lines.join(QLatin1Char('\n'));
}

QByteArray DeviceWrite::fiberFrame() const {
    QByteArray payload(1 + kFiberSlots, '\0');
    for (int i = 0; i < m_nFiberOptic && i < kFiberSlots; ++i) {
        const QByteArray code = m_fiberPage.baudRateData(i).toByteArray();
        if (code.size() == 1) payload[1 + i] = code.at(0);
    }
    return Protocol::frame(Protocol::Command::SetFiberBaudRate, payload);
}

QVector<DeviceWrite::Step> DeviceWrite::stepsBeforeReset() const {
    QVector<Step> steps;
    for (int i = 0; i < m_nCAN; ++i) {
        const ChannalWidget* channal = m_canPage.channalWidget(i);
        if (!channal) continue;
        steps.append({channal->baudRateFrame().left(Protocol::FrameSize), Result::BaudRateFailed});
        for (const QByteArray& frame : channal->filterFrames())
            steps.append({frame.left(Protocol::FrameSize), Result::FilterFailed});
    }
    // Sent also without fiber channels, all codes zero then.
    steps.append({fiberFrame(), Result::FiberFailed});
    steps.append({m_routePage.routeFrame(), Result::RouteFailed});
    return steps;
}

QList<QByteArray> DeviceWrite::frames() const {
    QList<QByteArray> frames;
    for (const Step& step : stepsBeforeReset()) frames.append(step.frame);
    frames.append(Protocol::frame(Protocol::Command::Reset));
    return frames;
}

DeviceWrite::Result DeviceWrite::run() {
    using Outcome = Transaction::Result;
    const QVector<Step> steps = stepsBeforeReset();
    const int stepCount = steps.size() + 1;  // and the reset
    for (int i = 0; i < steps.size(); ++i) {
        if (m_progress) m_progress(i + 1, stepCount);
        if (m_transaction.run(steps.at(i).frame) != Outcome::Ok) return steps.at(i).failure;
    }

    if (m_progress) m_progress(stepCount, stepCount);
    switch (m_transaction.run(Protocol::Command::Reset)) {
        case Outcome::Ok:
            return Result::Done;
        case Outcome::WriteFailed:
            return Result::ResetNotSent;
        case Outcome::NoReply:
            return Result::ResetNoAnswer;
        case Outcome::WrongStatus:
            return Result::ResetFailed;
    }
    return Result::ResetFailed;
}
