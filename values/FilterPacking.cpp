#include "FilterPacking.h"

#include <QtEndian>

#include <algorithm>

#include "CanCodec.h"

namespace FilterPlanner::detail {

using FilterBanks::kIdeBit;
using FilterBanks::kRtrBit;
using FilterBanks::kStidBits;
using FilterBanks::kUnusedBit;
using FilterBanks::Pattern;

namespace {

constexpr quint32 kExidLowBits = 0x0003FFF8;  // EXID[14:0]: no place in a half
constexpr quint32 kHalfBits = kStidBits | 0x001C0000 | kIdeBit | kRtrBit;

int popcount(quint32 bits) {
    int n = 0;
    for (; bits; bits &= bits - 1) ++n;
    return n;
}

struct Shape {
    bool standardOnly = false;
    bool fits16 = false;  // one 16-bit filter passes exactly its frames
    quint32 open16 = 0;   // bits a 16-bit list spreads over several entries
    quint32 open32 = 0;   // ... a 32-bit list
    int entries16() const { return 1 << popcount(open16); }
    int entries32() const { return popcount(open32) > 8 ? 256 : 1 << popcount(open32); }
    // In quarters of a bank, the cheapest way to hold it alone.
    int cost() const {
        if (fits16) return entries16() <= 2 ? entries16() : 2;
        return entries32() <= 2 ? 2 * entries32() : 4;
    }
};

Shape shapeOf(const Pattern& p) {
    Shape s;
    s.standardOnly = (p.mask & kIdeBit) && !(p.value & kIdeBit);
    // A standard frame's EXID is 0, so the half's EXID[17:15] need no choice.
    s.fits16 = s.standardOnly || !(p.mask & kExidLowBits);
    s.open16 = (s.standardOnly ? kStidBits | kRtrBit : kHalfBits) & ~p.mask;
    s.open32 = ~p.mask & ~kUnusedBit;
    if (s.standardOnly) s.open32 &= ~FilterBanks::kExidBits;
    return s;
}

// Patterns that pass the same frames with each of `open` fixed, both ways.
QVector<Pattern> spread(const Pattern& p, quint32 open) {
    QVector<Pattern> out{{p.value, p.mask | open}};
    for (; open; open &= open - 1) {
        const quint32 bit = open & (~open + 1);
        const int n = out.size();
        for (int i = 0; i < n; ++i) out.append({out[i].value | bit, out[i].mask});
    }
    return out;
}

quint64 orderOf(const Pattern& p) {
    const Shape s = shapeOf(p);
    if (s.standardOnly) return p.value >> 21;
    if (!(p.mask & kIdeBit)) return (quint64(1) << 32) | (p.value >> 21);
    return (quint64(2) << 32) | (p.value >> 3);
}

bool inOrder(const Pattern& a, const Pattern& b) {
    return orderOf(a) < orderOf(b);
}

void chunk(Kind kind, const QVector<Pattern>& filters, int size, QVector<Planned>& out) {
    for (int i = 0; i < filters.size(); i += size) out.append({kind, filters.mid(i, size)});
}

bool singleFrame(const Pattern& p) {
    return shapeOf(p).entries32() == 1;
}

// The patterns by place; those of two 16-bit list entries apart, to be
// spread where that saves a bank.
struct Sorted {
    QVector<Pattern> byPlace[5];
    QVector<Pattern> pairs16;
    QVector<Pattern>& operator[](Place place) { return byPlace[int(place)]; }
};

Sorted sortedByPlace(const QVector<Pattern>& patterns) {
    Sorted sorted;
    for (const Pattern& p : patterns) {
        const Shape s = shapeOf(p);
        // Two frames of a 32-bit mask take a 32-bit list as well, or less.
        if (!s.fits16 && s.entries32() == 2) {
            for (const Pattern& frame : spread(p, s.open32)) sorted[placeOf(frame)].append(frame);
        } else if (s.fits16 && s.entries16() == 2) {
            sorted.pairs16.append(p);
        } else {
            sorted[placeOf(p)].append(p);
        }
    }
    return sorted;
}

}  // namespace

int quartersOf(const Pattern& p) {
    return shapeOf(p).cost();
}

Place placeOf(const Pattern& p) {
    const Shape s = shapeOf(p);
    if (s.fits16 && s.entries16() == 1) return s.standardOnly ? Place::StandardEntry : Place::Entry16;
    if (s.fits16) return Place::Mask16;
    return s.entries32() == 1 ? Place::Entry32 : Place::Mask32;
}

int quartersOf(Place place) {
    switch (place) {
        case Place::StandardEntry:
        case Place::Entry16:
            return 1;
        case Place::Mask16:
        case Place::Entry32:
            return 2;
        case Place::Mask32:
            break;
    }
    return 4;
}

void Places::add(Place place, int n) {
    switch (place) {
        case Place::StandardEntry:
            standardEntries += n;
            break;
        case Place::Entry16:
            entries16 += n;
            break;
        case Place::Mask16:
            masks16 += n;
            break;
        case Place::Entry32:
            entries32 += n;
            break;
        case Place::Mask32:
            masks32 += n;
            break;
    }
}

int Places::quarters() const {
    return standardEntries + entries16 + 2 * (masks16 + entries32) + 4 * masks32;
}

int banksOf(const Places& p) {
    // Other places cost at least as much as these for each filter, so the
    // only choices are which entries fill the place a 32-bit list or a
    // 16-bit mask bank has left.
    int standard = p.standardEntries;
    int entries = p.entries16;
    if (p.entries32 % 2 && standard > 0) --standard;
    if (p.masks16 % 2) {
        if (entries > 0) {
            --entries;
        } else if (standard > 0) {
            --standard;
        }
    }
    return p.masks32 + (p.entries32 + 1) / 2 + (p.masks16 + 1) / 2 + (standard + entries + 3) / 4;
}

QVector<Planned> pack(QVector<Pattern> patterns) {
    std::sort(patterns.begin(), patterns.end(), inOrder);
    Sorted sorted = sortedByPlace(patterns);
    // How many patterns of two entries to spread: the fewest banks, and
    // among those the most entries, which read as the identifiers asked for.
    Places places;
    for (int place = 0; place < 5; ++place) places.add(Place(place), sorted.byPlace[place].size());
    int spreadCount = 0;
    int fewest = -1;
    for (int n = 0; n <= sorted.pairs16.size(); ++n) {
        Places trial = places;
        trial.masks16 += sorted.pairs16.size() - n;
        for (int i = 0; i < n; ++i)
            for (const Pattern& entry : spread(sorted.pairs16[i], shapeOf(sorted.pairs16[i]).open16))
                trial.add(placeOf(entry));
        const int banks = banksOf(trial);
        if (fewest < 0 || banks <= fewest) {
            fewest = banks;
            spreadCount = n;
        }
    }
    for (int i = 0; i < sorted.pairs16.size(); ++i) {
        const Pattern& p = sorted.pairs16[i];
        if (i >= spreadCount) {
            sorted[Place::Mask16].append(p);
            continue;
        }
        for (const Pattern& entry : spread(p, shapeOf(p).open16)) sorted[placeOf(entry)].append(entry);
    }
    for (QVector<Pattern>& place : sorted.byPlace) std::sort(place.begin(), place.end(), inOrder);
    QVector<Pattern>& standard = sorted[Place::StandardEntry];
    QVector<Pattern>& entries16 = sorted[Place::Entry16];
    QVector<Pattern>& masks16 = sorted[Place::Mask16];
    QVector<Pattern>& list32 = sorted[Place::Entry32];
    if (list32.size() % 2 && !standard.isEmpty()) list32.append(standard.takeLast());
    if (masks16.size() % 2) {
        if (!entries16.isEmpty()) {
            masks16.append(entries16.takeLast());
        } else if (!standard.isEmpty()) {
            masks16.append(standard.takeLast());
        }
    }
    QVector<Pattern> list16 = standard + entries16;
    std::sort(list16.begin(), list16.end(), inOrder);

    QVector<Planned> banks;
    chunk(Kind::List16, list16, 4, banks);
    if (!banks.isEmpty() && banks.last().filters.size() <= 2 &&
        std::all_of(banks.last().filters.begin(), banks.last().filters.end(), singleFrame))
        banks.last().kind = Kind::List32;
    chunk(Kind::Mask16, masks16, 2, banks);
    if (masks16.size() % 2) banks.last().kind = Kind::Mask32;
    chunk(Kind::List32, list32, 2, banks);
    chunk(Kind::Mask32, sorted[Place::Mask32], 1, banks);
    std::stable_sort(banks.begin(), banks.end(), [](const Planned& a, const Planned& b) {
        return inOrder(a.filters.first(), b.filters.first());
    });
    return banks;
}

namespace {

QString wordText(quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    return CanCodec::registerText(QByteArray(bytes, 4));
}

// A 16-bit filter: its mask in the high half, the identifier in the low one.
// A standard frame's EXID[17:15] are 0 anyway: they are not compared.
quint32 maskRegister16(const Pattern& p) {
    quint16 mask = FilterBanks::halfOfKey(p.mask);
    if (shapeOf(p).standardOnly) mask &= quint16(~0x7);
    return quint32(mask) << 16 | FilterBanks::halfOfKey(p.value);
}

// Likewise a 32-bit mask compares no EXID bit for standard frames.
quint32 maskRegister32(const Pattern& p) {
    return shapeOf(p).standardOnly ? p.mask & (kStidBits | kIdeBit | kRtrBit) : p.mask & ~kUnusedBit;
}

}  // namespace

FilterRow rowOf(const Planned& bank) {
    // Places a list or a 16-bit bank does not need repeat its last filter,
    // which lets nothing else through.
    const auto at = [&](int i) { return bank.filters.at(std::min(i, int(bank.filters.size()) - 1)); };
    const auto half = [&](int i) { return quint32(FilterBanks::halfOfKey(at(i).value)); };
    FilterRow row;
    row.inUse = true;
    row.workMode = bank.kind == Kind::List16 || bank.kind == Kind::List32 ? 1 : 0;
    row.bitWidth = bank.kind == Kind::List32 || bank.kind == Kind::Mask32 ? 1 : 0;
    quint32 id = 0;
    quint32 mask = 0;
    switch (bank.kind) {
        case Kind::List16:
            id = half(1) << 16 | half(0);
            mask = half(3) << 16 | half(2);
            break;
        case Kind::Mask16:
            id = maskRegister16(at(0));
            mask = maskRegister16(at(1));
            break;
        case Kind::List32:
            id = at(0).value;
            mask = at(1).value;
            break;
        case Kind::Mask32:
            id = at(0).value & ~kUnusedBit;
            mask = maskRegister32(at(0));
            break;
    }
    row.idText = wordText(id);
    row.maskText = wordText(mask);
    return row;
}

}  // namespace FilterPlanner::detail
