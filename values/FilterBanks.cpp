#include "FilterBanks.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>
#include <climits>

#include "CanCodec.h"

namespace FilterBanks {

namespace {

constexpr quint32 kListMask32 = ~kUnusedBit;
constexpr quint32 kHalfExidBits = 0x7;  // EXID[17:15] in a half
constexpr int kHalfExidShift = 18;      // ... and in the key

quint32 registerValue(const RegisterText& text) {
    return qFromBigEndian<quint32>(text.word().constData());
}

int popcount(quint32 bits) {
    int n = 0;
    for (; bits; bits &= bits - 1) ++n;
    return n;
}

quint64 patternSize(const Pattern& p) {
    return quint64(1) << (32 - popcount(p.mask));
}

// a minus b as disjoint patterns: each bit that b compares and a does not
// splits off the part of a that differs from b there.
void subtract(const Pattern& a, const Pattern& b, QVector<Pattern>& out) {
    if ((a.value ^ b.value) & a.mask & b.mask) {
        out.append(a);
        return;
    }
    Pattern rest = a;
    for (quint32 open = b.mask & ~a.mask; open; open &= open - 1) {
        const quint32 bit = open & (~open + 1);
        out.append({rest.value | (~b.value & bit), rest.mask | bit});
        rest = {rest.value | (b.value & bit), rest.mask | bit};
    }
}

void addDisjoint(QVector<Pattern>& set, const Pattern& p) {
    QVector<Pattern> pieces{p};
    for (const Pattern& d : qAsConst(set)) {
        QVector<Pattern> next;
        for (const Pattern& piece : qAsConst(pieces)) subtract(piece, d, next);
        pieces.swap(next);
        if (pieces.isEmpty()) return;
    }
    set += pieces;
}

// A filter while its row is taken apart: where its bits sit in the register.
struct Slot {
    quint32 raw = 0;  // the identifier as typed, key form, bits outside the mask kept
    quint32 mask = 0;
    CanCodec::FilterRegister reg = CanCodec::FilterRegister::Id;
    bool half = false;
    int shift = 0;                  // of a half within its register
    bool comparesReserved = false;  // a 32-bit filter that compares bit 0 (a half has none)
};

quint32 registerBits(const Slot& slot, quint32 keyBits) {
    if (!slot.half) return keyBits;
    return quint32(halfOfKey(keyBits) & kHalfExidBits) << slot.shift;
}

QVector<Slot> slotsOf(const FilterRow& row, quint32 id, quint32 mask) {
    const bool list = row.workMode != 0;
    const auto idColumn = CanCodec::FilterRegister::Id;
    const auto maskColumn = CanCodec::FilterRegister::Mask;
    if (row.bitWidth != 0) {
        if (!list) return {{id, mask & kListMask32, idColumn, false, 0, (mask & kUnusedBit) != 0}};
        return {{id, kListMask32, idColumn, false, 0, true}, {mask, kListMask32, maskColumn, false, 0, true}};
    }
    const auto low = [](quint32 word) { return keyOfHalf(quint16(word & 0xFFFF)); };
    const auto high = [](quint32 word) { return keyOfHalf(quint16(word >> 16)); };
    if (!list)  // each register one filter: its low half the identifier, its high half the mask
        return {{low(id), high(id), idColumn, true, 0}, {low(mask), high(mask), maskColumn, true, 0}};
    const quint32 all = keyOfHalf(0xFFFF);
    return {{low(id), all, idColumn, true, 0},
            {high(id), all, idColumn, true, 16},
            {low(mask), all, maskColumn, true, 0},
            {high(mask), all, maskColumn, true, 16}};
}

QVector<Part> partsOf(const Pattern& key) {
    QVector<Part> parts;
    const int types =
        (key.mask & kRtrBit) ? ((key.value & kRtrBit) ? RemoteFrames : DataFrames) : DataAndRemote;
    for (const Pattern& p : framesOf(key)) {
        Part part;
        part.frameTypes = types;
        part.ids.extended = (p.value & kIdeBit) != 0;
        if (part.ids.extended) {
            part.ids.value = (p.value >> 3) & kMaxExtendedId;
            part.ids.mask = (p.mask >> 3) & kMaxExtendedId;
        } else {
            part.ids.value = p.value >> 21;
            part.ids.mask = p.mask >> 21;
        }
        parts.append(part);
    }
    return parts;
}

QString hexWord(quint32 value) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

QString kindText(bool extended, int types) {
    const QString format = extended ? Texts::tr("扩展") : Texts::tr("标准");
    const QString type = types == DataFrames     ? Texts::tr("数据帧")
                         : types == RemoteFrames ? Texts::tr("远程帧")
                                                 : Texts::tr("数据帧和远程帧");
    return Texts::tr("%1%2").arg(format, type);
}

bool passesEverything(const Filter& filter) {
    int full = 0;
    for (const Part& part : filter.parts)
        if (part.frameTypes == DataAndRemote && part.ids.mask == 0) ++full;
    return full == 2;
}

// What the bank's reachable filters pass, kind by kind in the order met.
QString meaningText(const Bank& bank) {
    QVector<QPair<QString, QStringList>> groups;
    int sets = 0;
    for (const Filter& filter : bank.filters) {
        if (passesEverything(filter)) return Texts::tr("所有帧");
        for (const Part& part : filter.parts) {
            const QString kind = kindText(part.ids.extended, part.frameTypes);
            const QString set = idSetText(part.ids);
            auto group =
                std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == kind; });
            if (group == groups.end()) {
                groups.append({kind, {set}});
                ++sets;
            } else if (!group->second.contains(set)) {
                group->second.append(set);
                ++sets;
            }
        }
    }
    QStringList lines;
    for (const auto& group : qAsConst(groups))
        lines << group.first + QLatin1Char(' ') + group.second.join(Texts::tr("、"));
    const quint64 total = bank.standardIds + bank.extendedIds;
    if (sets > 1 && total > 1) lines << Texts::tr("标识符共%1个").arg(total);
    return lines.join(Texts::tr("；"));
}

}  // namespace

quint32 frameKey(bool extended, quint32 id, bool remote) {
    const quint32 key = extended ? ((id & kMaxExtendedId) << 3) | kIdeBit : (id & kMaxStandardId) << 21;
    return remote ? key | kRtrBit : key;
}

quint32 keyOfHalf(quint16 half) {
    return quint32(half >> 5) << 21 | quint32((half >> 4) & 1) << 1 | quint32((half >> 3) & 1) << 2 |
           quint32(half & kHalfExidBits) << kHalfExidShift;
}

quint16 halfOfKey(quint32 key) {
    return quint16((key >> 21) << 5 | ((key >> 1) & 1) << 4 | ((key >> 2) & 1) << 3 |
                   ((key >> kHalfExidShift) & kHalfExidBits));
}

quint64 IdSet::count() const {
    return quint64(1) << popcount(full() & ~mask);
}

bool IdSet::isRange() const {
    const quint32 open = full() & ~mask;
    return (open & (open + 1)) == 0;
}

QVector<Pattern> framesOf(const Pattern& pattern) {
    if (pattern.value & pattern.mask & kUnusedBit) return {};  // no frame has bit 0 set
    const Pattern p{pattern.value & pattern.mask & ~kUnusedBit, pattern.mask & ~kUnusedBit};
    const bool ideCompared = (p.mask & kIdeBit) != 0;
    QVector<Pattern> frames;
    // A standard frame's EXID bits are 0; it has them all compared, as 0.
    if (!(ideCompared && (p.value & kIdeBit)) && !(p.value & kExidBits))
        frames.append({p.value & ~kIdeBit, p.mask | kExidBits | kIdeBit | kUnusedBit});
    if (!ideCompared || (p.value & kIdeBit))
        frames.append({p.value | kIdeBit, p.mask | kIdeBit | kUnusedBit});
    return frames;
}

bool meet(const Pattern& a, const Pattern& b, Pattern* both) {
    if ((a.value ^ b.value) & a.mask & b.mask) return false;
    *both = {a.value | b.value, a.mask | b.mask};
    return true;
}

Count countUnion(const QVector<Pattern>& patterns, bool idsOnly) {
    QVector<Pattern> disjoint;
    for (const Pattern& pattern : patterns) {
        for (Pattern p : framesOf(pattern)) {
            if (idsOnly) p = {p.value & ~kRtrBit, p.mask & ~kRtrBit};
            addDisjoint(disjoint, p);
        }
    }
    Count count;
    for (const Pattern& p : qAsConst(disjoint)) {
        const quint64 n = idsOnly ? patternSize(p) / 2 : patternSize(p);
        (p.value & kIdeBit ? count.extended : count.standard) += n;
    }
    return count;
}

Bank decode(const FilterRow& row, int bankNumber) {
    Bank bank;
    bank.bank = bankNumber;
    bank.inUse = row.inUse;
    bank.listMode = row.workMode != 0;
    bank.wide = row.bitWidth != 0;
    const bool idWord = CanCodec::canSendRegisterText(row.idText);
    const bool maskWord = CanCodec::canSendRegisterText(row.maskText);
    if (!idWord) bank.problems.append({Problem::NotAWord, -1, CanCodec::FilterRegister::Id, 0});
    if (!maskWord) bank.problems.append({Problem::NotAWord, -1, CanCodec::FilterRegister::Mask, 0});
    if (!idWord || !maskWord) return bank;

    const QVector<Slot> places = slotsOf(row, registerValue(row.idText), registerValue(row.maskText));
    QVector<Pattern> keys;
    for (int i = 0; i < places.size(); ++i) {
        const Slot& slot = places.at(i);
        Filter filter;
        filter.key = {slot.raw & slot.mask, slot.mask};
        filter.reg = slot.reg;
        // Bit 0 compared as 1: whatever the other bits, no frame matches.
        const bool reserved = slot.comparesReserved && (slot.raw & kUnusedBit);
        if (reserved) filter.key = {kUnusedBit, kUnusedBit};
        filter.parts = partsOf(filter.key);
        bank.filters.append(filter);
        keys.append(filter.key);
        if (reserved) {
            if (bank.inUse) bank.problems.append({Problem::ReservedBit, i, slot.reg, kUnusedBit});
            continue;
        }

        // Standard frames only, yet bits beyond the 11 of a standard
        // identifier are set: compared, nothing can match (an extended
        // identifier typed without its IDE bit); not compared, they mislead.
        const bool standardOnly = (slot.mask & kIdeBit) && !(slot.raw & kIdeBit);
        const quint32 exid = slot.raw & kExidBits;
        if (!bank.inUse || !standardOnly || !exid) continue;
        if (exid & slot.mask)
            bank.problems.append({Problem::NeverMatches, i, slot.reg, registerBits(slot, exid & slot.mask)});
        else
            bank.problems.append({Problem::BitsBeyondStandard, i, slot.reg, registerBits(slot, exid)});
    }
    const Count ids = countUnion(keys, true);
    bank.standardIds = ids.standard;
    bank.extendedIds = ids.extended;
    if (bank.inUse && ids.standard + ids.extended == 0)
        bank.problems.append({Problem::NothingPasses, -1, std::nullopt, 0});
    return bank;
}

QVector<Bank> decodeChannel(const std::array<FilterRow, kFilterBankCount>& rows) {
    QVector<Bank> banks;
    for (int i = 0; i < kFilterBankCount; ++i) banks.append(decode(rows[size_t(i)], i));
    for (int i = 0; i < banks.size(); ++i) {
        for (int j = i + 1; j < banks.size(); ++j) {
            if (!banks.at(i).inUse || !banks.at(j).inUse) continue;
            QVector<Pattern> shared;
            for (const Filter& a : banks.at(i).filters) {
                for (const Filter& b : banks.at(j).filters) {
                    Pattern both;
                    if (meet(a.key, b.key, &both)) shared.append(both);
                }
            }
            const Count count = countUnion(shared, true);
            if (count.standard + count.extended == 0) continue;
            banks[i].overlaps.append({j, count.standard, count.extended});
            banks[j].overlaps.append({i, count.standard, count.extended});
        }
    }
    return banks;
}

bool passes(const Bank& bank, bool extended, quint32 id, bool remote) {
    const quint32 key = frameKey(extended, id, remote);
    for (const Filter& filter : bank.filters)
        if (((key ^ filter.key.value) & filter.key.mask) == 0) return true;
    return false;
}

QString idText(bool extended, quint32 id) {
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(id, extended ? 8 : 3, 16, QLatin1Char('0')).toUpper();
}

QString idSetText(const IdSet& ids) {
    if (ids.mask == ids.full()) return idText(ids.extended, ids.value);
    if (ids.isRange())
        return idText(ids.extended, ids.first()) + QChar(0x2013) + idText(ids.extended, ids.last());
    return Texts::tr("%1/%2（%3个）")
        .arg(idText(ids.extended, ids.value), idText(ids.extended, ids.mask), QString::number(ids.count()));
}

QString problemText(const Problem& problem, const Bank& bank) {
    const QString filter = problem.filter >= 0 && bank.filters.size() > 1
                               ? Texts::tr("过滤器%1：").arg(problem.filter + 1)
                               : QString();
    switch (problem.kind) {
        case Problem::NotAWord:
            return (problem.reg == CanCodec::FilterRegister::Id ? Texts::tr("ID寄存器：%1")
                                                                : Texts::tr("掩码寄存器：%1"))
                .arg(CanCodec::wordTextRule());
        case Problem::NeverMatches:
            return filter + Texts::tr("永不匹配：IDE位为0（标准帧），却要求扩展标识符位%1为1")
                                .arg(hexWord(problem.bits));
        case Problem::BitsBeyondStandard:
            return filter +
                   Texts::tr("只匹配标准帧，11位标识符之外的位%1却为1（不比较）").arg(hexWord(problem.bits));
        case Problem::NothingPasses:
            return Texts::tr("在使用，但没有帧能通过");
        case Problem::ReservedBit:
            return filter + Texts::tr("永不匹配：保留位0为1，而收到的帧此位总为0");
    }
    return QString();
}

QString overlapText(const Overlap& overlap) {
    // Banks are read by the table's row numbers, 1-14.
    const quint64 shared = overlap.standardIds + overlap.extendedIds;
    return Texts::tr("与过滤器组%1有%n个相同的标识符", nullptr, int(std::min<quint64>(shared, INT_MAX)))
        .arg(overlap.bank + 1);
}

QString describe(const Bank& bank) {
    QStringList parts;
    if (!bank.inUse) {
        parts << Texts::tr("未使用");
    } else {
        const QString meaning = meaningText(bank);
        if (!meaning.isEmpty()) parts << meaning;
    }
    for (const Problem& problem : bank.problems) parts << problemText(problem, bank);
    for (const Overlap& overlap : bank.overlaps) parts << overlapText(overlap);
    return parts.join(Texts::tr("；"));
}

QString describe(const FilterRow& row) {
    return describe(decode(row));
}

}  // namespace FilterBanks
