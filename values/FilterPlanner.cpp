#include "FilterPlanner.h"

#include <QCoreApplication>
#include <QStringList>

#include "FilterBlocks.h"
#include "FilterPacking.h"

namespace FilterPlanner {

using detail::Asked;
using detail::askedOf;
using detail::Block;
using detail::blocksOf;
using detail::coarsen;
using detail::joinNeighbours;
using detail::pack;
using detail::patternOf;
using detail::Planned;
using detail::rowOf;
using detail::sizeOf;
using FilterBanks::Count;
using FilterBanks::kRtrBit;
using FilterBanks::Pattern;

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("FilterBanks", text);
}

// Decodes the rows back and checks that each block passes whole; counts
// what passes besides.
bool check(Plan& plan, const Asked& asked, const QVector<Block>& blocks) {
    QVector<Pattern> accepted;
    for (const FilterRow& row : qAsConst(plan.rows)) {
        const FilterBanks::Bank bank = FilterBanks::decode(row);
        if (!bank.inUse || bank.isWrong()) return false;
        for (const FilterBanks::Filter& filter : bank.filters) accepted.append(filter.key);
    }
    for (const Block& block : blocks) {
        const Pattern wanted = patternOf(block);
        QVector<Pattern> passing;
        Pattern both;
        for (const Pattern& p : qAsConst(accepted))
            if (FilterBanks::meet(wanted, p, &both)) passing.append(both);
        const Count count = FilterBanks::countUnion(passing, false);
        if (count.standard + count.extended != block.frames()) return false;
    }
    // Everything asked passes: what else passes is the rest of each type.
    for (int type = 0; type < 2; ++type) {
        const Pattern only{type ? kRtrBit : 0, kRtrBit};
        QVector<Pattern> typed;
        Pattern both;
        for (const Pattern& p : qAsConst(accepted))
            if (FilterBanks::meet(only, p, &both)) typed.append(both);
        const Count count = FilterBanks::countUnion(typed, false);
        Count& extra = type ? plan.extraRemote : plan.extraData;
        extra.standard = count.standard - sizeOf(asked.ids[0][type]);
        extra.extended = count.extended - sizeOf(asked.ids[1][type]);
    }
    return true;
}

// Banks are read by the table's row numbers, 1-14.
QString banksText(const Plan& plan) {
    const int first = plan.firstBank + 1;
    if (plan.rows.size() == 1) return tr("过滤器组%1").arg(first);
    return tr("过滤器组%1–%2").arg(first).arg(first + plan.rows.size() - 1);
}

}  // namespace

Plan plan(const QVector<Request>& requests, const Options& options) {
    Plan result;
    result.firstBank = options.firstBank;
    result.available = kFilterBankCount - options.firstBank;
    if (requests.isEmpty()) return result;
    if (options.firstBank < 0 || result.available <= 0) {
        result.status = Plan::NoBankLeft;
        result.available = 0;
        return result;
    }
    const Asked asked = askedOf(requests);
    const QVector<Block> blocks = blocksOf(asked);
    if (blocks.isEmpty()) return result;

    QVector<Pattern> exact;
    for (const Block& block : blocks) exact.append(patternOf(block));
    QVector<Planned> banks = pack(joinNeighbours(exact));
    result.exactBanks = banks.size();
    if (result.exactBanks > result.available) {
        if (!options.allowExtra) {
            result.status = Plan::NeedsMoreBanks;
            return result;
        }
        banks = pack(coarsen(blocks, result.available));
    }
    for (const Planned& bank : qAsConst(banks)) result.rows.append(rowOf(bank));
    result.status = Plan::Planned;
    if (!check(result, asked, blocks) || result.rows.size() > result.available ||
        (result.exactBanks <= result.available && !result.exact())) {
        result.status = Plan::CheckFailed;
        result.rows.clear();
    }
    return result;
}

void fill(std::array<FilterRow, kFilterBankCount>& banks, const Plan& plan, bool clearOthers) {
    if (plan.status != Plan::Planned) return;
    for (int i = plan.firstBank; i < kFilterBankCount; ++i) {
        const int n = i - plan.firstBank;
        if (n < plan.rows.size()) {
            banks[size_t(i)] = plan.rows.at(n);
        } else if (clearOthers) {
            banks[size_t(i)] = FilterRow();
        }
    }
}

QString planText(const Plan& plan) {
    switch (plan.status) {
        case Plan::NothingAsked:
            return tr("没有要求任何标识符");
        case Plan::NoBankLeft:
            return tr("从过滤器组%1起没有过滤器组可用").arg(plan.firstBank + 1);
        case Plan::NeedsMoreBanks:
            return tr("只让所要求的标识符通过需要%1个过滤器组，从过滤器组%2起只有%3个")
                .arg(plan.exactBanks)
                .arg(plan.firstBank + 1)
                .arg(plan.available);
        case Plan::CheckFailed:
            return tr("计划未通过解码核对，没有填入");
        case Plan::Planned:
            break;
    }
    if (plan.exact()) return tr("%1，只通过所要求的标识符").arg(banksText(plan));
    QStringList parts{
        tr("%1（只让所要求的标识符通过需要%2个过滤器组）").arg(banksText(plan)).arg(plan.exactBanks)};
    const quint64 data = plan.extraData.standard + plan.extraData.extended;
    const quint64 remote = plan.extraRemote.standard + plan.extraRemote.extended;
    if (data) parts << tr("另有%1个标识符的数据帧通过").arg(data);
    if (remote) parts << tr("另有%1个标识符的远程帧通过").arg(remote);
    return parts.join(tr("；"));
}

}  // namespace FilterPlanner
