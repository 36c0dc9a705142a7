#include "FilterCubes.h"

#include <algorithm>

namespace FilterPlanner::detail {

using FilterBanks::kExidBits;
using FilterBanks::kIdeBit;
using FilterBanks::kMaxExtendedId;
using FilterBanks::kRtrBit;
using FilterBanks::kUnusedBit;
using FilterBanks::Pattern;

namespace {

constexpr int kPow3[kStandardBits] = {1, 3, 9, 27, 81, 243, 729, 2187, 6561, 19683, 59049, 177147};
// Prime cubes weighed one by one, at most.
constexpr int kMaxPrimes = 20000;

void nextDigits(int* digits) {
    for (int i = 0; i < kStandardBits && ++digits[i] == 3; ++i) digits[i] = 0;
}

const Interval* holding(const Intervals& u, quint32 id) {
    auto it = std::upper_bound(u.begin(), u.end(), id, [](quint32 v, const Interval& i) { return v < i.lo; });
    if (it == u.begin()) return nullptr;
    --it;
    return it->hi >= id ? &*it : nullptr;
}

}  // namespace

quint32 standardKey(quint32 point) {
    return (point & FilterBanks::kMaxStandardId) << 21 | ((point & kRemotePoint) ? kRtrBit : 0);
}

quint32 standardPoint(quint32 key) {
    return (key >> 21) | ((key & kRtrBit) ? kRemotePoint : 0);
}

Pattern standardPattern(quint32 value, quint32 fixed) {
    const quint32 mask = standardKey(fixed) | kIdeBit | kExidBits | kUnusedBit;
    return {standardKey(value) & mask, mask};
}

Pattern extendedPattern(const IdCube& identifiers, int rtr) {
    const quint32 mask =
        (~identifiers.free & kMaxExtendedId) << 3 | kIdeBit | kUnusedBit | (rtr >= 0 ? kRtrBit : 0);
    return {(identifiers.value << 3 | kIdeBit | (rtr == 1 ? kRtrBit : 0)) & mask, mask};
}

QVector<Cube12> standardPrimes(const std::vector<bool>& points) {
    // Cube i of the table: digit j of i in base 3 is bit j's value, 2 for free.
    std::vector<bool> in(kStandardCubes);
    int digits[kStandardBits] = {};
    for (int index = 0; index < kStandardCubes; ++index, nextDigits(digits)) {
        int free = -1;
        quint32 point = 0;
        for (int i = 0; i < kStandardBits; ++i) {
            if (digits[i] == 2) {
                if (free < 0) free = i;
            } else {
                point |= quint32(digits[i]) << i;
            }
        }
        // Its halves come earlier in this order.
        in[size_t(index)] =
            free < 0 ? points[point] : in[size_t(index - 2 * kPow3[free])] && in[size_t(index - kPow3[free])];
    }
    QVector<Cube12> out;
    std::fill(digits, digits + kStandardBits, 0);
    for (int index = 0; index < kStandardCubes; ++index, nextDigits(digits)) {
        if (!in[size_t(index)]) continue;
        Cube12 cube;
        bool prime = true;
        for (int i = 0; i < kStandardBits && prime; ++i) {
            if (digits[i] == 2) continue;
            cube.fixed |= 1u << i;
            cube.value |= quint32(digits[i]) << i;
            prime = !in[size_t(index + (2 - digits[i]) * kPow3[i])];
        }
        if (prime && cube.fixed != kAllStandardBits) out.append(cube);
    }
    return out;
}

bool cubeIn(const Intervals& u, quint32 value, quint32 free) {
    const Interval* first = holding(u, value);
    if (!first) return false;
    if (first->hi >= (value | free)) return true;
    quint32 top = free;
    while (top & (top - 1)) top &= top - 1;
    return cubeIn(u, value, free & ~top) && cubeIn(u, value | top, free & ~top);
}

bool IntervalPrimes::primes(const Intervals& u, int bits, QVector<IdCube>* out) {
    out->clear();
    if (u.isEmpty()) return true;
    const quint64 size = quint64(1) << bits;
    if (u.size() == 1 && u.first().lo == 0 && quint64(u.first().hi) + 1 == size) {
        out->append({0, quint32(size - 1)});
        return true;
    }
    QByteArray key(reinterpret_cast<const char*>(u.constData()), int(u.size() * sizeof(Interval)));
    key.append(char(bits));
    const auto known = m_memo.constFind(key);
    if (known != m_memo.constEnd()) {
        *out = *known;
        return true;
    }
    const quint32 half = quint32(1) << (bits - 1);
    Intervals low, high;
    for (const Interval& i : u) {
        if (i.lo < half) low.append({i.lo, std::min(i.hi, half - 1)});
        if (i.hi >= half) high.append({std::max(i.lo, half) - half, i.hi - half});
    }
    const Intervals both = intersected(low, high);
    QVector<IdCube> shared, lower, upper;
    if (!primes(both, bits - 1, &shared) || !primes(low, bits - 1, &lower) || !primes(high, bits - 1, &upper))
        return false;
    for (const IdCube& c : qAsConst(shared)) out->append({c.value, c.free | half});
    for (const IdCube& c : qAsConst(lower))
        if (!cubeIn(both, c.value, c.free)) out->append(c);
    for (const IdCube& c : qAsConst(upper))
        if (!cubeIn(both, c.value, c.free)) out->append({c.value | half, c.free});
    m_made += out->size();
    if (m_made > kMaxPrimes) return false;
    m_memo.insert(key, *out);
    return true;
}

Frames::Frames(const Asked& asked) : standard(kStandardPoints) {
    for (int type = 0; type < 2; ++type) {
        for (const Interval& i : asked.ids[0][type])
            for (quint32 id = i.lo; id <= i.hi; ++id) standard[id | (type ? kRemotePoint : 0)] = true;
        for (const Interval& i : asked.ids[0][type])
            standardSet.append({i.lo | (type ? kRemotePoint : 0), i.hi | (type ? kRemotePoint : 0)});
        extended[type] = asked.ids[1][type];
    }
    for (int s = 0; s < kStandardPoints; ++s) standardCount += standard[size_t(s)];
    extendedCount = sizeOf(extended[0]) + sizeOf(extended[1]);
}

bool Frames::holdsExtended(quint32 id, int rtr) const {
    return holding(extended[rtr], id) != nullptr;
}

bool Frames::exact(const Pattern& p) const {
    const bool ideFixed = (p.mask & kIdeBit) != 0;
    const int rtr = (p.mask & kRtrBit) ? int((p.value & kRtrBit) != 0) : -1;
    if ((!ideFixed || !(p.value & kIdeBit)) && !(p.value & p.mask & kExidBits)) {
        const quint32 value = standardPoint(p.value);
        const quint32 free = standardPoint(~p.mask) & kAllStandardBits;
        bool all = true;
        forEachPoint(value, free, [&](quint32 s) { all = all && standard[s]; });
        if (!all) return false;
    }
    if (ideFixed && !(p.value & kIdeBit)) return true;
    const quint32 value = (p.value >> 3) & kMaxExtendedId;
    const quint32 free = (~p.mask >> 3) & kMaxExtendedId;
    return (rtr == 1 || cubeIn(extended[0], value, free)) && (rtr == 0 || cubeIn(extended[1], value, free));
}

bool Frames::hasTwins() const {
    for (quint32 s = 0; s < kStandardPoints; ++s)
        if (standard[s] && holdsExtended((s & FilterBanks::kMaxStandardId) << 18, (s & kRemotePoint) ? 1 : 0))
            return true;
    return false;
}

}  // namespace FilterPlanner::detail
