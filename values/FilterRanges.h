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

// Covers of [lo, hi] worth packing: the fewest cubes, and the range cut where
// its blocks of 2^blockBits begin and end (a middle of whole blocks takes
// 16-bit filters); in each, a cube whose own numbers fit a single number or
// block becomes that where it costs less.
QVector<QVector<IdCube>> rangeCovers(quint32 lo, quint32 hi, int bits = kExtendedBits,
                                     int blockBits = kBlockBits);

}  // namespace FilterPlanner::detail
