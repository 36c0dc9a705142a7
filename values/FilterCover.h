#pragma once

#include <QVector>

#include "FilterBanks.h"
#include "FilterBlocks.h"

// Within the planner: the fewest banks whose filters let exactly the frames
// asked for through, and a lower bound that says when that is proven.
//
// A frame is a point of the filter-register space (STID, EXID, IDE, RTR); a
// filter accepts a cube of it. Every maximal cube inside the request (its
// prime cubes, FilterCubes), every cube that passes both formats and every
// single frame is a candidate, costing the quarters of a bank its cheapest
// place takes. A branch and bound over them finds the cover that packs into
// the fewest banks.
//
// The bound is a packing of frames: weights y on frames such that no
// candidate holds more weight than it costs. Each filter of a plan lies
// inside a candidate that costs no more, so a plan takes at least the sum of
// the weights in quarters. For 0x101-0x1FE (all but the two ends of the
// block 0x100-0x1FF) it weighs the 16 frames with a single 0 or a single 1
// among the low eight bits one quarter each: every cube inside the range
// fixes one low bit to 1 and another to 0, and so holds at most two of
// them. 16 quarters: four banks, which the eight cubes of the cycle
// x[i]=1, x[i+1]=0 fill.
//
// Extended frames are weighed in blocks of 2^n where every range begins and
// ends on one (a filter may as well leave those bits open). Beyond
// kExplicitExtended blocks they are too many to be weighed one by one: they
// are cut into aligned blocks, and the bound weighs frames no exact filter
// holds two of.
namespace FilterPlanner::detail {

// Extended frames (or blocks) handled one by one; beyond, the aligned blocks.
constexpr quint64 kExplicitExtended = 4096;

struct Cover {
    QVector<FilterBanks::Pattern> filters;  // an exact plan's filters
    int banks = 0;                          // the banks pack() puts them in
    int lowerBound = 0;                     // no exact plan takes fewer banks
    bool proven() const { return banks == lowerBound; }
};

// The search takes at most `steps` (candidates and frames looked at) before
// it stops at the best plan found; where no plan in `available` banks is
// possible, an eighth of them, only to tell how many an exact plan takes.
Cover exactCover(const Asked& asked, int available, qint64 steps);

// Standard frames only, one bank: the two masks that let the fewest other
// frames through, found by trying every cube for the first. False when the
// request holds extended frames.
bool oneBankStandard(const Asked& asked, QVector<FilterBanks::Pattern>* filters);

}  // namespace FilterPlanner::detail
