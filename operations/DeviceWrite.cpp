#include "DeviceWrite.h"

#include <QCoreApplication>

#include "CanCodec.h"
#include "FiberRules.h"
#include "RouteRules.h"

DeviceWrite::DeviceWrite(HIDDevice& device, const ParameterSet& set) : m_transaction(device), m_set(set) {}

QString DeviceWrite::message(Result result) {
    switch (result) {
        case Result::Done:
            return tr("设置成功");
        case Result::BaudRateFailed:
            return tr("设置CAN波特率失败");
        case Result::FilterFailed:
            return tr("设置CAN掩码失败");
        case Result::FiberFailed:
            return tr("设置光纤波特率失败");
        case Result::RouteFailed:
            return tr("设置路由失败");
        case Result::ResetNotSent:
            return tr("发送复位指令失败.");
        case Result::ResetNoAnswer:
            return tr("参数已设置，复位无应答.");
        case Result::ResetFailed:
            return tr("复位失败.");
    }
    return QString();
}

QVector<DeviceWrite::Step> DeviceWrite::stepsBeforeReset(const ParameterSet& set) {
    QVector<Step> steps;
    steps.reserve(set.can.size() * (1 + CanCodec::kBankCount) + 2);
    for (const CanChannelValues& channel : set.can) {
        steps.append({CanCodec::baudRateRequest(channel).frame(), Result::BaudRateFailed});
        for (const QByteArray& frame : CanCodec::filterFrames(channel))
            steps.append({frame, Result::FilterFailed});
    }
    // Sent also without fiber channels, all codes zero then.
    steps.append({FiberRules::request(set.fiber, set.fiberCount).frame(), Result::FiberFailed});
    steps.append({RouteRules::request(set.route, set.routeType).frame(), Result::RouteFailed});
    return steps;
}

QList<QByteArray> DeviceWrite::frames(const ParameterSet& set) {
    const QVector<Step> steps = stepsBeforeReset(set);
    QList<QByteArray> frames;
    frames.reserve(steps.size() + 1);
    for (const Step& step : steps) frames.append(step.frame);
    frames.append(Protocol::Reset{}.frame());
    return frames;
}

DeviceWrite::Result DeviceWrite::run() {
    using Outcome = Transaction::Result;
    const QVector<Step> steps = stepsBeforeReset(m_set);
    const int stepCount = steps.size() + 1;  // and the reset
    for (int i = 0; i < steps.size(); ++i) {
        if (m_progress) m_progress(i + 1, stepCount);
        if (m_transaction.run(steps.at(i).frame) != Outcome::Ok) return steps.at(i).failure;
    }

    if (m_progress) m_progress(stepCount, stepCount);
    switch (m_transaction.run(Protocol::Reset{}.frame())) {
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
