#pragma once

#include <QVector>

#include "FilterBanks.h"

// Within the planner: filters into as few banks as hold them, and the table
// rows those banks are written as.
namespace FilterPlanner::detail {

// In quarters of a bank, the cheapest way to hold the pattern alone: a join
// of two patterns is only worth it when it costs no more than both.
int quartersOf(const FilterBanks::Pattern& p);

// Where one filter can go, cheapest first. A bank holds four entries of a
// 16-bit list, two 16-bit masks, two entries of a 32-bit list or one 32-bit
// mask; a standard frame fits each of them, an entry of a 16-bit list (an
// extended identifier's bits 28-15 and its frame type) fits a 16-bit mask too.
enum class Place { StandardEntry, Entry16, Mask16, Entry32, Mask32 };
Place placeOf(const FilterBanks::Pattern& p);
// Quarters of a bank a filter of that place takes at least.
int quartersOf(Place place);

// Filters counted by place.
struct Places {
    int standardEntries = 0;
    int entries16 = 0;
    int masks16 = 0;
    int entries32 = 0;
    int masks32 = 0;

    void add(Place place, int n = 1);
    int quarters() const;
};
// The fewest banks that hold them: a 32-bit list left with one place takes
// a standard frame, a 16-bit mask bank left with one an entry.
int banksOf(const Places& places);

enum class Kind { List16, Mask16, List32, Mask32 };

// One bank before it becomes a row.
struct Planned {
    Kind kind;
    QVector<FilterBanks::Pattern> filters;  // list entries pass one key (16-bit: one half) each
};

// The fewest banks for the patterns, each a filter as it stands or, where
// that holds them in fewer banks, spread into list entries (a pattern of two
// frames into two). 16-bit banks left half empty take the 32-bit form, which
// holds as much.
QVector<Planned> pack(QVector<FilterBanks::Pattern> patterns);
// The bank as the filter table shows it, in use.
FilterRow rowOf(const Planned& bank);

}  // namespace FilterPlanner::detail
