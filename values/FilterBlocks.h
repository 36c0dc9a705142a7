#pragma once

#include <QVector>

#include "FilterBanks.h"
#include "FilterPlanner.h"

// Within the planner: the request as sets of identifiers, those cut into
// aligned blocks that one mask each passes, and blocks joined where that
// saves banks.
namespace FilterPlanner::detail {

struct Interval {
    quint32 lo;
    quint32 hi;  // inclusive
};
using Intervals = QVector<Interval>;

// Identifiers in the set, to tell the extra ones from what passes.
quint64 sizeOf(const Intervals& list);
// Both sorted and merged.
Intervals intersected(const Intervals& a, const Intervals& b);
Intervals without(const Intervals& a, const Intervals& b);

// An aligned block of identifiers, 2^bits of them from lo, with its frame types.
struct Block {
    bool extended = false;
    quint32 lo = 0;
    int bits = 0;
    int types = FilterBanks::DataFrames;

    quint32 hi() const { return lo + ((quint32(1) << bits) - 1); }
    quint64 frames() const { return (quint64(1) << bits) * (types == FilterBanks::DataAndRemote ? 2 : 1); }
};

// The one filter that passes exactly the block's frames.
FilterBanks::Pattern patternOf(const Block& block);

// The request as identifier sets, [standard, extended][data, remote].
struct Asked {
    Intervals ids[2][2];
};

// Sorted and merged. Requests need not come from the parser: identifiers
// above the format's top are cut to it, a reversed range is its first one.
Asked askedOf(const QVector<Request>& requests);

// Per format in identifier order, each block holding identifiers asked for
// with the same frame types.
QVector<Block> blocksOf(const Asked& asked);

// Joins two patterns that differ in one compared bit where one filter for
// both costs no more than two: 0x100 and 0x300 become 0x100/0x5FF, a
// standard identifier and an extended one with the same key bits one mask
// that leaves IDE open.
QVector<FilterBanks::Pattern> joinNeighbours(QVector<FilterBanks::Pattern> patterns);

// Joins neighbouring blocks of one format, the join adding the fewest
// frames first, until the banks hold them.
QVector<FilterBanks::Pattern> coarsen(const QVector<Block>& blocks, int available);

}  // namespace FilterPlanner::detail
