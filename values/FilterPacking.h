#pragma once

#include <QVector>

#include "FilterBanks.h"

// Within the planner: patterns into as few banks as hold them, and the table
// rows those banks are written as.
namespace FilterPlanner::detail {

// In quarters of a bank, the cheapest way to hold the pattern alone: a join
// of two patterns is only worth it when it costs no more than both.
int quartersOf(const FilterBanks::Pattern& p);

enum class Kind { List16, Mask16, List32, Mask32 };

// One bank before it becomes a row.
struct Planned {
    Kind kind;
    QVector<FilterBanks::Pattern> filters;  // list entries pass one key (16-bit: one half) each
};

// The fewest banks for the patterns. Standard identifiers go four to a
// 16-bit list, masks two to a 16-bit bank where 16 bits can hold them, other
// identifiers two to a 32-bit list, the rest one to a 32-bit mask. A 16-bit
// mask bank left with one place takes a pattern from the 16-bit lists, and a
// 32-bit list one standard identifier; 16-bit banks left half empty take the
// 32-bit form, which holds as much.
QVector<Planned> pack(QVector<FilterBanks::Pattern> patterns);
// The bank as the filter table shows it, in use.
FilterRow rowOf(const Planned& bank);

}  // namespace FilterPlanner::detail
