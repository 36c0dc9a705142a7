#include "ParameterChecks.h"

#include <QCoreApplication>
#include <algorithm>

#include "CanCodec.h"
#include "FilterBanks.h"

namespace ParameterChecks {

namespace {

constexpr int kShownProblems = 8;

// The translation context of every text of this file.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(ParameterChecks)
};

}  // namespace

QStringList problems(const ParameterSet& set) {
    QStringList lines;
    // A register's reason is the rule its cell's tool tip gives.
    const QString rule = CanCodec::wordTextRule();
    for (const CanChannelValues& channel : set.can) {
        const int id = channel.channelId;
        for (const InvalidField& field : CanCodec::invalidFields(channel)) {
            if (field.kind == InvalidField::BaudRate && field.reason != CanCodec::WordProblem::NotAWord) {
                lines << Texts::tr("CAN通道%1 波特率：%2")
                             .arg(id)
                             .arg(CanCodec::bitTimingProblemText(channel.bitTimingText));
            } else if (field.kind == InvalidField::BaudRate) {
                lines << Texts::tr("CAN通道%1 波特率：位定时须为4个字节").arg(id);
            } else if (field.reg == CanCodec::FilterRegister::Id) {
                lines << Texts::tr("CAN通道%1 第%2行 ID寄存器：%3").arg(id).arg(field.row + 1).arg(rule);
            } else {
                lines << Texts::tr("CAN通道%1 第%2行 掩码寄存器：%3").arg(id).arg(field.row + 1).arg(rule);
            }
        }
    }
    for (int i = 0; i < set.fiberCount; ++i) {
        if (set.fiber.codes[size_t(i)] == FiberValues::kNoEntry)
            lines << Texts::tr("光纤%1 波特率：未选择").arg(i + 1);
    }
    return lines;
}

QStringList testModes(const ParameterSet& set) {
    QStringList lines;
    for (const CanChannelValues& channel : set.can) {
        const QVector<BitTiming::Problem> modes = CanCodec::testModes(channel);
        if (modes.isEmpty()) continue;
        const BitTiming::Decoded decoded = BitTiming::decode(channel.bitTimingText.word());
        QStringList names;
        for (BitTiming::Problem mode : modes) names << BitTiming::problemText(mode, decoded);
        lines << Texts::tr("CAN通道%1：%2").arg(channel.channelId).arg(names.join(Texts::tr("；")));
    }
    return lines;
}

QStringList neverMatching(const ParameterSet& set) {
    QStringList lines;
    for (const CanChannelValues& channel : set.can) {
        for (const FilterBanks::Bank& bank : FilterBanks::decodeChannel(channel.banks)) {
            const bool closed = std::any_of(bank.problems.cbegin(), bank.problems.cend(), [](const auto& p) {
                return p.kind == FilterBanks::Problem::NothingPasses;
            });
            if (closed)
                lines << Texts::tr("CAN通道%1 第%2行：%3")
                             .arg(channel.channelId)
                             .arg(bank.bank + 1)
                             .arg(FilterBanks::describe(bank));
        }
    }
    return lines;
}

QString testModeQuestion(const QStringList& testModes) {
    return Texts::tr("以下CAN通道的位定时字处于测试模式，通道不能在总线上正常收发：") + QLatin1Char('\n') +
           testModes.join(QLatin1Char('\n')) + QLatin1Char('\n') + Texts::tr("仍要写入设备吗？");
}

QString problemMessage(const QStringList& problems) {
    return listed(Texts::tr("以下参数有误，未向设备发送任何数据："), problems);
}

QString listed(const QString& heading, const QStringList& lines) {
    QStringList shown{heading};
    shown << lines.mid(0, kShownProblems);
    if (lines.size() > kShownProblems) shown << Texts::tr("……另有%1处").arg(lines.size() - kShownProblems);
    return shown.join(QLatin1Char('\n'));
}

QString unsendableNote(const ParameterSet& set) {
    const QStringList lines = problems(set);
    // Work in progress is kept all the same; the user learns it now, not at the Write.
    return lines.isEmpty() ? QString() : listed(Texts::tr("以下参数还不能写入设备："), lines);
}

}  // namespace ParameterChecks
