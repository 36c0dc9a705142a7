#include "FilterRanges.h"

#include <algorithm>

namespace FilterPlanner::detail {

namespace {

quint32 bitsAbove(quint32 set, int i) {
    return i >= 31 ? 0 : set & ~((quint32(2) << i) - 1);
}

// The lowest set bit of a number that has one.
int lowestBit(quint32 n) {
    int i = 0;
    while (!((n >> i) & 1)) ++i;
    return i;
}

bool meets(const IdCube& a, const IdCube& b) {
    return ((a.value ^ b.value) & ~a.free & ~b.free) == 0;
}

bool holds(const IdCube& outer, const IdCube& inner) {
    return (inner.free & ~outer.free) == 0 && ((outer.value ^ inner.value) & ~outer.free) == 0;
}

// The range below the bits both ends share, where lo has a 0 and hi a 1 at
// the top bit `top`. A cube inside it fixes to 1 at least ones(j): lo's 1s
// above a bit j where lo has a 0, and j itself (for j = lowOne, lo's lowest
// 1, all of lo's 1s); and to 0 at least zeros(k), the same for hi's 0s. So
// the largest cubes inside are the pairs (j, k) whose two sets do not meet.
struct Ends {
    quint32 a, b;    // lo and hi below the shared bits
    quint32 low;     // those bits
    quint32 shared;  // lo's shared bits
    int top;
    quint32 ones(int j) const { return bitsAbove(a, j) | quint32(1) << j; }
    quint32 zeros(int k) const { return bitsAbove(~b & low, k) | quint32(1) << k; }
    IdCube cube(quint32 fixedOnes, quint32 fixedZeros) const {
        return {shared | fixedOnes, low & ~fixedOnes & ~fixedZeros};
    }
    bool bitA(int i) const { return (a >> i) & 1; }
    bool bitB(int i) const { return (b >> i) & 1; }
};

}  // namespace

// Why these are the fewest. A number x of the range lies in the cube (j, k)
// when j is one of its "P" bits (x holds ones(j)) and k one of its "Q" bits
// (x has no bit of zeros(k)). Read from the top, x keeps lo's 1s until it
// drops one and hi's 0s until it sets one; before that, each bit where lo
// has 0 and hi 1 (a split) goes to P when x sets it, to Q when it clears it.
// So a set of pairs, read as arrows j -> k, covers the range exactly when:
// - every split above a bit where lo and hi both have 1 (x may drop lo's 1
//   there and so put that bit into Q) reaches that bit through splits above
//   it, and that bit where both have 0 reaches every split above it;
// - below the highest bit where lo has 1 and hi 0 (x must drop or set one
//   there), each bit x can still add to P or Q links to the splits above,
//   and those splits reach one another; without such a bit, the lowest 1 of
//   lo and the splits above it reach one another, and reach the lowest 0 of
//   hi and the splits above that (or the other way round).
// Each of these bits needs an arrow of its own, and the splits that must
// reach one another one arrow each: no cover has fewer cubes than this one,
// where a cycle in bit order links the splits. The arrows of bits below the
// block bits become 32-bit masks; the cycle has as few of them as any
// linking of those splits can have, all but one running from a low bit.
QVector<IdCube> fewestCubes(quint32 lo, quint32 hi, int bits) {
    if (lo >= hi) return {{lo, 0}};
    int top = bits - 1;
    while (!(((lo ^ hi) >> top) & 1)) --top;
    Ends e;
    e.low = quint32((quint64(2) << top) - 1);
    e.a = lo & e.low;
    e.b = hi & e.low;
    e.shared = lo & ~e.low;
    e.top = top;
    QVector<IdCube> out;
    const auto arrow = [&](int j, int k) { out.append(e.cube(e.ones(j), e.zeros(k))); };
    // A range that starts or ends on a whole subcube: its other end's blocks.
    if (e.a == 0 && e.b == e.low) return {e.cube(0, 0)};
    if (e.a == 0) {
        const int lowZero = lowestBit(~e.b);
        for (int k = top; k >= lowZero; --k)
            if (k == lowZero || e.bitB(k)) out.append(e.cube(0, e.zeros(k)));
        return out;
    }
    if (e.b == e.low) {
        const int lowOne = lowestBit(e.a);
        for (int j = top; j >= lowOne; --j)
            if (j == lowOne || !e.bitA(j)) out.append(e.cube(e.ones(j), 0));
        return out;
    }
    const int lowOne = lowestBit(e.a);
    const int lowZero = lowestBit(~e.b);
    int cross = -1;  // the highest bit where lo has 1 and hi 0
    for (int i = top; i >= 0 && cross < 0; --i)
        if (e.bitA(i) && !e.bitB(i)) cross = i;
    const int floor = cross >= 0 ? cross : std::max(lowOne, lowZero);
    QVector<int> splits;
    for (int i = top; i > floor; --i)
        if (!e.bitA(i) && e.bitB(i)) splits.append(i);
    for (int i = top; i > floor; --i) {
        if (e.bitA(i) && e.bitB(i)) {
            int lowest = splits.first();
            for (int s : qAsConst(splits))
                if (s > i) lowest = s;
            arrow(lowest, i);
        } else if (!e.bitA(i) && !e.bitB(i)) {
            arrow(i, splits.first());
        }
    }
    const auto cycle = [&](QVector<int> nodes) {
        if (nodes.size() < 2) return;
        for (int i = 0; i + 1 < nodes.size(); ++i) arrow(nodes[i], nodes[i + 1]);
        arrow(nodes.last(), nodes.first());
    };
    if (cross < 0) {
        cycle(splits + QVector<int>{floor});
        for (int i = floor - 1; i > std::min(lowOne, lowZero); --i) {
            if (!e.bitA(i) && e.bitB(i)) {
                if (lowOne > lowZero) {
                    arrow(lowOne, i);
                } else {
                    arrow(i, lowZero);
                }
            }
        }
        arrow(lowOne, lowZero);
    } else if (cross == lowOne && cross == lowZero) {
        cycle(splits + QVector<int>{cross});
    } else {
        cycle(splits);
        for (int k = cross - 1; k > lowZero; --k)
            if (e.bitB(k)) arrow(splits.last(), k);
        arrow(splits.last(), lowZero);
        for (int j = cross - 1; j > lowOne; --j)
            if (!e.bitA(j)) arrow(j, splits.first());
        arrow(lowOne, splits.first());
    }
    return out;
}

namespace {

// Quarters of a bank a cube of one frame type takes at least: a single block
// of 2^blockBits one entry of a 16-bit list, a cube that leaves the low
// blockBits open a 16-bit mask, a single number an entry of a 32-bit list,
// any other a 32-bit mask.
int cubeQuarters(const IdCube& cube, int blockBits) {
    const quint32 open = (quint32(1) << blockBits) - 1;
    if ((cube.free & open) == open) return cube.free == open ? 1 : 2;
    return cube.free == 0 ? 2 : 4;
}

// The numbers of a target cube that none of a cover holds, as far as a
// search of `steps` subcubes goes.
class Uncovered {
public:
    Uncovered(const QVector<IdCube>& cover, int steps) : m_cover(cover), m_steps(steps) {}

    // False when the steps ran out. Cube `skip` of the cover is left out.
    bool scan(const IdCube& target, int skip) {
        QVector<int> holders;
        for (int i = 0; i < m_cover.size(); ++i)
            if (i != skip && meets(m_cover[i], target)) holders.append(i);
        return walk(target, holders);
    }

    bool found = false;
    quint32 all = ~0u;  // bits every number found has
    quint32 any = 0;    // bits some number found has

private:
    bool walk(const IdCube& node, const QVector<int>& holders) {
        if (--m_steps < 0) return false;
        // A cube that fixes a bit the node leaves open cuts it there.
        quint32 cut = 0;
        for (int i : holders) {
            if (holds(m_cover[i], node)) return true;
            cut |= node.free & ~m_cover[i].free;
        }
        if (holders.isEmpty()) {
            found = true;
            all &= node.value;
            any |= node.value | node.free;
            return true;
        }
        quint32 bit = cut;
        while (bit & (bit - 1)) bit &= bit - 1;
        for (quint32 half : {quint32(0), bit}) {
            const IdCube part{node.value | half, node.free & ~bit};
            QVector<int> inside;
            for (int i : holders)
                if (meets(m_cover[i], part)) inside.append(i);
            if (!walk(part, inside)) return false;
        }
        return true;
    }

    const QVector<IdCube>& m_cover;
    int m_steps;
};

// Subcubes a shrinking looks at per cube, at most.
constexpr int kShrinkSteps = 4096;

// Each cube whose own numbers (those no other cube holds) fit a single
// number or block that costs less becomes it; one without any goes.
void shrink(QVector<IdCube>& cover, int blockBits) {
    const quint32 open = (quint32(1) << blockBits) - 1;
    for (bool changed = true; changed;) {
        changed = false;
        for (int i = 0; i < cover.size() && !changed; ++i) {
            Uncovered own(cover, kShrinkSteps);
            if (!own.scan(cover[i], i)) continue;
            if (!own.found) {
                cover.remove(i);
                changed = true;
                continue;
            }
            IdCube smaller{own.all, own.all ^ own.any};
            const bool oneBlock = ((own.all ^ own.any) & ~open) == 0;
            if (oneBlock && (cover[i].free & open) == open) smaller = {own.all & ~open, open};
            if (cubeQuarters(smaller, blockBits) < cubeQuarters(cover[i], blockBits)) {
                cover[i] = smaller;
                changed = true;
            }
        }
    }
}

}  // namespace

QVector<QVector<IdCube>> rangeCovers(quint32 lo, quint32 hi, int bits, int blockBits) {
    QVector<IdCube> fewest = fewestCubes(lo, hi, bits);
    shrink(fewest, blockBits);
    QVector<QVector<IdCube>> covers{fewest};
    const quint32 open = (quint32(1) << blockBits) - 1;
    const quint32 firstBlock = lo >> blockBits, lastBlock = hi >> blockBits;
    if (firstBlock == lastBlock) return covers;
    // The partial blocks at either end and the whole ones between.
    QVector<IdCube> cut;
    quint32 middleLo = lo, middleHi = hi;
    if (lo & open) {
        cut += fewestCubes(lo, lo | open, bits);
        middleLo = (lo | open) + 1;
    }
    if ((hi & open) != open) {
        cut += fewestCubes(hi & ~open, hi, bits);
        middleHi = (hi & ~open) - 1;
    }
    if (middleLo <= middleHi) cut += fewestCubes(middleLo, middleHi, bits);
    shrink(cut, blockBits);
    covers.append(cut);
    return covers;
}

}  // namespace FilterPlanner::detail
