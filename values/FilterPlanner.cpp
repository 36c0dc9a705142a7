#include "FilterPlanner.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <climits>

#include "FilterBlocks.h"
#include "FilterCover.h"
#include "FilterPacking.h"

namespace FilterPlanner {

using FilterBanks::Texts;

using detail::Asked;
using detail::askedOf;
using detail::Block;
using detail::blocksOf;
using detail::coarsen;
using detail::Cover;
using detail::exactCover;
using detail::oneBankStandard;
using detail::pack;
using detail::patternOf;
using detail::Planned;
using detail::rowOf;
using detail::sizeOf;
using FilterBanks::Count;
using FilterBanks::kRtrBit;
using FilterBanks::Pattern;

namespace {

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
    if (plan.rows.size() == 1) return Texts::tr("过滤器组%1").arg(first);
    return Texts::tr("过滤器组%1–%2").arg(first).arg(first + plan.rows.size() - 1);
}

// What an exact plan takes, as far as it is known.
QString exactBanksText(const Plan& plan) {
    if (plan.exactProven())
        return Texts::tr("只让所要求的标识符通过需要%n个过滤器组", nullptr, plan.exactBanks);
    if (plan.exactImpossible())
        return Texts::tr("只让所要求的标识符通过至少需要%n个过滤器组", nullptr, plan.exactAtLeast);
    return Texts::tr("找到的只让所要求的标识符通过的计划用%n个过滤器组", nullptr, plan.exactBanks);
}

// Identifiers counted for a text; at most 2^29 + 2^11 of them.
int countOf(quint64 n) {
    return int(std::min<quint64>(n, INT_MAX));
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

    const Cover cover = exactCover(asked, result.available, options.searchSteps);
    result.exactBanks = cover.banks;
    result.exactAtLeast = cover.lowerBound;
    const bool fits = cover.banks <= result.available;
    QVector<Planned> banks;
    if (fits) {
        banks = pack(cover.filters);
    } else if (!options.allowExtra) {
        result.status = Plan::NeedsMoreBanks;
        return result;
    } else {
        banks = pack(coarsen(blocks, result.available));
        // Standard frames in one bank: every pair of masks is tried.
        QVector<Pattern> pair;
        if (result.available == 1 && oneBankStandard(asked, &pair)) {
            banks = pack(pair);
            result.extrasProven = true;
        }
    }
    for (const Planned& bank : qAsConst(banks)) result.rows.append(rowOf(bank));
    result.status = Plan::Planned;
    if (!check(result, asked, blocks) || result.rows.size() > result.available || (fits && !result.exact())) {
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
            return Texts::tr("没有要求任何标识符");
        case Plan::NoBankLeft:
            return Texts::tr("从过滤器组%1起没有过滤器组可用").arg(plan.firstBank + 1);
        case Plan::NeedsMoreBanks:
            return Texts::tr("%1，从过滤器组%2起只有%n个", nullptr, plan.available)
                .arg(exactBanksText(plan))
                .arg(plan.firstBank + 1);
        case Plan::CheckFailed:
            return Texts::tr("计划未通过解码核对，没有填入");
        case Plan::Planned:
            break;
    }
    if (plan.exact()) {
        const QString head = Texts::tr("%1，只通过所要求的标识符").arg(banksText(plan));
        if (plan.rows.size() == 1) return head;
        if (plan.exactProven()) return head + Texts::tr("；") + exactBanksText(plan);
        return head + Texts::tr("；") + Texts::tr("这个计划用%n个过滤器组", nullptr, int(plan.rows.size())) +
               Texts::tr("，") + Texts::tr("未证明没有更少的（至少需要%n个）", nullptr, plan.exactAtLeast);
    }
    QStringList parts{Texts::tr("%1（%2）").arg(banksText(plan), exactBanksText(plan))};
    const quint64 data = plan.extraData.standard + plan.extraData.extended;
    const quint64 remote = plan.extraRemote.standard + plan.extraRemote.extended;
    if (data) parts << Texts::tr("另有%n个标识符的数据帧通过", nullptr, countOf(data));
    if (remote) parts << Texts::tr("另有%n个标识符的远程帧通过", nullptr, countOf(remote));
    parts << (plan.extrasProven ? Texts::tr("这些过滤器组中没有让更少其他帧通过的计划")
                                : Texts::tr("这是找到的最少，未证明没有更少的"));
    return parts.join(Texts::tr("；"));
}

}  // namespace FilterPlanner
