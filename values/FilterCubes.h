#pragma once

#include <QHash>
#include <QVector>
#include <vector>

#include "FilterBanks.h"
#include "FilterBlocks.h"

// Within the planner: the frames a request asks for, and the cubes of the
// filter-register space that lie inside them.
namespace FilterPlanner::detail {

// A standard frame as a point of 12 bits: RTR above the identifier, so that
// a range of one frame type is an interval.
constexpr int kStandardBits = 12;
constexpr quint32 kRemotePoint = 1u << 11;
constexpr int kStandardPoints = 1 << kStandardBits;
constexpr quint32 kAllStandardBits = kStandardPoints - 1;
constexpr int kStandardCubes = 531441;  // 3^12: each bit 0, 1 or free
constexpr int kExtendedBits = 29;

// Calls f(value | s) for every s made of the bits of `free`.
template <typename F>
void forEachPoint(quint32 value, quint32 free, F f) {
    quint32 s = 0;
    do {
        f(value | s);
        s = (s - free) & free;
    } while (s != 0);
}

// A cube of numbers: those with the bits of value outside `free`.
struct IdCube {
    quint32 value = 0;
    quint32 free = 0;
};

// A standard point's bits in key form, and back.
quint32 standardKey(quint32 point);
quint32 standardPoint(quint32 key);
// The filters passing a cube of standard points, and of extended identifiers
// of one frame type (rtr 0 data, 1 remote) or both (-1).
FilterBanks::Pattern standardPattern(quint32 value, quint32 fixed);
FilterBanks::Pattern extendedPattern(const IdCube& identifiers, int rtr);

struct Cube12 {
    quint32 value = 0;
    quint32 fixed = 0;
};

// The maximal cubes of at least two points inside a set of standard points,
// found from the table of all 3^12 cubes: a cube with a free bit lies inside
// when both its halves do.
QVector<Cube12> standardPrimes(const std::vector<bool>& points);

// Whether every number of the cube lies in the intervals.
bool cubeIn(const Intervals& u, quint32 value, quint32 free);

// The maximal cubes inside a set of numbers of `bits` bits: those of its two
// halves, and those of their intersection with the top bit free.
class IntervalPrimes {
public:
    // False when they are more than the planner weighs one by one.
    bool primes(const Intervals& u, int bits, QVector<IdCube>* out);

private:
    QHash<QByteArray, QVector<IdCube>> m_memo;
    int m_made = 0;
};

// The frames a request asks for.
class Frames {
public:
    explicit Frames(const Asked& asked);
    bool holdsExtended(quint32 id, int rtr) const;
    // Whether every frame the filter passes was asked for.
    bool exact(const FilterBanks::Pattern& p) const;
    // A standard frame S and the extended frame S << 18 of the same type
    // both asked for: only then can an exact filter pass both formats.
    bool hasTwins() const;

    std::vector<bool> standard;
    Intervals standardSet;  // the same points as intervals
    Intervals extended[2];  // identifiers of data, of remote frames
    int standardCount = 0;
    quint64 extendedCount = 0;
};

}  // namespace FilterPlanner::detail
