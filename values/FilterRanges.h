#pragma once

#include <QVector>

#include "FilterCubes.h"

// Within the planner: one range of identifiers as the fewest cubes that pass
// exactly it, of any size, and covers of it that fit the banks better.
namespace FilterPlanner::detail {

// The low bits of an extended identifier that a 16-bit filter leaves open.
constexpr int kBlockBits = 15;

// The fewest cubes whose union is exactly [lo, hi], numbers of `bits` bits.
QVector<IdCube> fewestCubes(quint32 lo, quint32 hi, int bits = kExtendedBits);

// Quarters of a bank a cube of one frame type takes at least: a single block
// of 2^blockBits one entry of a 16-bit list, a cube that leaves the low
// blockBits open a 16-bit mask, a single number an entry of a 32-bit list,
// any other a 32-bit mask.
int cubeQuarters(const IdCube& cube, int blockBits = kBlockBits);

// Covers of [lo, hi] worth packing: the fewest cubes, and the range cut where
// its blocks of 2^blockBits begin and end (a middle of whole blocks takes
// 16-bit filters); in each, a cube whose own numbers fit a single number or
// block becomes that where it costs less.
QVector<QVector<IdCube>> rangeCovers(quint32 lo, quint32 hi, int bits = kExtendedBits,
                                     int blockBits = kBlockBits);

// The numbers of `target` that none of `cover` holds, as far as a search of
// `steps` subcubes goes.
class Uncovered {
public:
    Uncovered(const QVector<IdCube>& cover, int steps) : m_cover(cover), m_steps(steps) {}

    // False when the steps ran out. Cube `skip` of the cover is left out;
    // with firstOnly the search stops at the first number found.
    bool scan(const IdCube& target, int skip = -1, bool firstOnly = false);

    bool found = false;
    quint32 all = ~0u;  // bits every number found has
    quint32 any = 0;    // bits some number found has
    quint32 first = 0;  // the first number found

private:
    bool walk(const IdCube& node, const QVector<int>& holders, bool firstOnly);

    const QVector<IdCube>& m_cover;
    int m_steps;
};

}  // namespace FilterPlanner::detail
