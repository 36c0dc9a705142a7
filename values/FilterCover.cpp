#include "FilterCover.h"

#include <QHash>

#include <algorithm>
#include <climits>
#include <queue>
#include <vector>

#include "FilterCubes.h"
#include "FilterPacking.h"
#include "FilterRanges.h"

namespace FilterPlanner::detail {

using FilterBanks::kExidBits;
using FilterBanks::kIdeBit;
using FilterBanks::kMaxExtendedId;
using FilterBanks::kRtrBit;
using FilterBanks::kUnusedBit;
using FilterBanks::Pattern;

namespace {

constexpr quint32 kExidField = 0x3FFFF;  // EXID within an extended identifier
// Frames the bound of many extended frames weighs, at most.
constexpr int kMaxWeighed = 128;
// ... of the frames it looks at.
constexpr int kMaxCandidateFrames = 1024;
// Blocks joined where that costs nothing, at most.
constexpr int kMaxJoined = 4096;
// Where no exact plan fits, the share of the steps spent on its size.
constexpr int kBeyondShare = 8;
// Extended ranges whose covers are shrunk and tried cut at their blocks, and
// whose fewest cubes the bound weighs, at most.
constexpr int kMaxShrunk = 64;

int trailingZeros(quint32 n) {
    int zeros = 0;
    for (; zeros < kExtendedBits && !(n >> zeros & 1); ++zeros) {
    }
    return zeros;
}

int popcount(quint32 bits) {
    int n = 0;
    for (; bits; bits &= bits - 1) ++n;
    return n;
}

struct Candidate {
    Pattern pattern;
    Place place = Place::Mask32;
    QVector<int> atoms;  // the frames it passes, by index
    int cost() const { return quartersOf(place); }
};

bool within(const Pattern& a, const Pattern& b) {
    return (b.mask & ~a.mask) == 0 && ((a.value ^ b.value) & b.mask) == 0;
}

class Candidates {
public:
    // Extended identifiers come in blocks of 2^shift: each block is one frame
    // here, and every filter leaves the low bits open (Candidates::scaled).
    Candidates(const Frames& frames, int shift)
        : m_frames(frames), m_shift(shift), m_standardAtom(kStandardPoints, -1) {
        for (int rtr = 0; rtr < 2; ++rtr)
            for (const Interval& i : frames.extended[rtr])
                m_extended[rtr].append({i.lo >> shift, i.hi >> shift});
    }

    int atomCount() const { return m_atoms; }
    const QVector<Candidate>& list() const { return m_list; }

    void addStandard() {
        for (quint32 s = 0; s < kStandardPoints; ++s)
            if (m_frames.standard[s]) m_standardAtom[s] = m_atoms++;
        if (m_atoms == 0) return;
        for (quint32 s = 0; s < kStandardPoints; ++s)
            if (m_frames.standard[s]) m_standardParts.append({s, kAllStandardBits});
        // Ranges give few prime cubes, found from their intervals; scattered
        // identifiers many, found from the table of every cube.
        IntervalPrimes finder;
        QVector<IdCube> found;
        if (finder.primes(m_frames.standardSet, kStandardBits, &found)) {
            for (const IdCube& c : qAsConst(found))
                if (c.free) m_standardParts.append({c.value, ~c.free & kAllStandardBits});
        } else {
            m_standardParts += standardPrimes(m_frames.standard);
        }
        for (const Cube12& cube : qAsConst(m_standardParts)) {
            Candidate c;
            c.pattern = standardPattern(cube.value, cube.fixed);
            c.place = placeOf(c.pattern);
            forEachPoint(cube.value, ~cube.fixed & kAllStandardBits,
                         [&](quint32 s) { c.atoms.append(m_standardAtom[s]); });
            m_list.append(c);
        }
    }

    // False when there are too many prime cubes to weigh.
    bool addExtended() {
        for (int rtr = 0; rtr < 2; ++rtr)
            for (const Interval& i : m_extended[rtr])
                for (quint32 id = i.lo; id <= i.hi; ++id)
                    m_extendedAtom.insert(id << 1 | quint32(rtr), m_atoms++);
        IntervalPrimes finder;
        const int bits = kExtendedBits - m_shift;
        const Intervals both = intersected(m_extended[0], m_extended[1]);
        QVector<QPair<IdCube, int>> cubes;
        QVector<IdCube> found;
        if (!finder.primes(both, bits, &found)) return false;
        for (const IdCube& c : qAsConst(found)) cubes.append({c, -1});
        for (int rtr = 0; rtr < 2; ++rtr) {
            if (!finder.primes(m_extended[rtr], bits, &found)) return false;
            for (const IdCube& c : qAsConst(found))
                if (!cubeIn(both, c.value, c.free)) cubes.append({c, rtr});
        }
        for (int rtr = 0; rtr < 2; ++rtr)
            for (const Interval& i : m_extended[rtr])
                for (quint32 id = i.lo; id <= i.hi; ++id) add(extendedPattern(scaled({id, 0}), rtr));
        QVector<Pattern> crossing;
        for (const auto& [cube, rtr] : qAsConst(cubes)) {
            // A single block of one type was added above; of both, it is a cube.
            if (cube.free || rtr < 0) add(extendedPattern(scaled(cube), rtr));
            addCrossing(scaled(cube), rtr, crossing);
        }
        for (const Pattern& p : qAsConst(crossing)) {
            const bool inside = std::any_of(crossing.begin(), crossing.end(),
                                            [&](const Pattern& q) { return !(q == p) && within(p, q); });
            if (!inside) add(p);
        }
        // An extended cube that a filter passing both formats holds costs as much.
        m_list.erase(std::remove_if(m_list.begin(), m_list.end(),
                                    [&](const Candidate& c) {
                                        return c.place == Place::Mask32 && (c.pattern.mask & kIdeBit) &&
                                               std::any_of(
                                                   crossing.begin(), crossing.end(),
                                                   [&](const Pattern& q) { return within(c.pattern, q); });
                                    }),
                     m_list.end());
        return true;
    }

private:
    void add(const Pattern& p) {
        Candidate c;
        c.pattern = p;
        c.place = placeOf(p);
        const int rtr = (p.mask & kRtrBit) ? int((p.value & kRtrBit) != 0) : -1;
        if (!(p.mask & kIdeBit) || !(p.value & kIdeBit)) {
            forEachPoint(standardPoint(p.value), standardPoint(~p.mask) & kAllStandardBits,
                         [&](quint32 s) { c.atoms.append(m_standardAtom[s]); });
        }
        if (!(p.mask & kIdeBit) || (p.value & kIdeBit)) {
            const quint32 value = ((p.value >> 3) & kMaxExtendedId) >> m_shift;
            const quint32 free = ((~p.mask >> 3) & kMaxExtendedId) >> m_shift;
            for (int type = 0; type < 2; ++type) {
                if (rtr >= 0 && rtr != type) continue;
                forEachPoint(value, free, [&](quint32 id) {
                    c.atoms.append(m_extendedAtom.value(id << 1 | quint32(type)));
                });
            }
        }
        m_list.append(c);
    }

    // Filters with IDE open: an extended cube whose EXID may be 0, with the
    // standard frames of its identifier bits 28-18 that were asked for.
    void addCrossing(const IdCube& cube, int rtr, QVector<Pattern>& out) {
        if (m_standardParts.isEmpty() || (cube.value & kExidField)) return;
        const quint32 stidFixed = ~(cube.free >> 18) & FilterBanks::kMaxStandardId;
        const Cube12 region{(cube.value >> 18) | (rtr == 1 ? kRemotePoint : 0),
                            stidFixed | (rtr >= 0 ? kRemotePoint : 0)};
        for (const Cube12& part : qAsConst(m_standardParts)) {
            if ((part.value ^ region.value) & part.fixed & region.fixed) continue;
            const Cube12 both{(part.value | region.value) & (part.fixed | region.fixed),
                              part.fixed | region.fixed};
            const quint32 mask = standardKey(both.fixed) | ((~cube.free & kExidField) << 3) | kUnusedBit;
            const Pattern p{standardKey(both.value) & mask, mask};
            if (!out.contains(p)) out.append(p);
        }
    }

    // A cube of blocks as a cube of identifiers.
    IdCube scaled(const IdCube& c) const {
        return {c.value << m_shift, c.free << m_shift | ((quint32(1) << m_shift) - 1)};
    }

    const Frames& m_frames;
    const int m_shift;
    Intervals m_extended[2];  // in blocks
    int m_atoms = 0;
    std::vector<int> m_standardAtom;
    QHash<quint32, int> m_extendedAtom;
    QVector<Cube12> m_standardParts;  // single frames, then prime cubes
    QVector<Candidate> m_list;
};

class Search {
public:
    Search(const QVector<Candidate>& candidates, int atoms, const Places& fixed)
        : m_candidates(candidates),
          m_byAtom(atoms),
          m_coveredBy(size_t(atoms), 0),
          m_uncovered(atoms),
          m_forbidden(size_t(candidates.size()), 0),
          m_slack(size_t(candidates.size()), 0),
          m_stamp(size_t(candidates.size()), 0),
          m_places(fixed),
          m_limit(0) {
        for (int c = 0; c < candidates.size(); ++c)
            for (int a : candidates[c].atoms) m_byAtom[a].append(c);
        for (int a = 0; a < atoms; ++a) m_order.append(a);
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](int a, int b) { return m_byAtom[a].size() < m_byAtom[b].size(); });
    }

    // Quarters the candidates need at least before anything is chosen.
    int rootQuarters() { return std::max(certificate(), 0); }

    // A plan found otherwise: the search looks for one in fewer banks.
    void offer(const QVector<Pattern>& filters, int banks) {
        if (m_bestBanks >= 0 && banks >= m_bestBanks) return;
        m_best = filters;
        m_bestBanks = banks;
    }

    void greedy() {
        // Lazily: a candidate's gain only falls as others are chosen.
        using Entry = std::pair<double, int>;
        std::priority_queue<Entry> queue;
        const auto gain = [&](int c) {
            int n = 0;
            for (int a : m_candidates[c].atoms) n += m_coveredBy[size_t(a)] == 0;
            m_steps += m_candidates[c].atoms.size();
            return n;
        };
        const auto score = [&](int c, int n) { return double(n) / m_candidates[c].cost() + 1e-6 * n; };
        for (int c = 0; c < m_candidates.size(); ++c) queue.push({score(c, gain(c)), c});
        while (m_uncovered > 0 && !queue.empty()) {
            const auto [was, c] = queue.top();
            queue.pop();
            const int n = gain(c);
            if (n == 0) continue;
            if (score(c, n) < was - 1e-9) {
                queue.push({score(c, n), c});
                continue;
            }
            take(c);
        }
        if (m_uncovered == 0) record();
        while (!m_chosen.isEmpty()) untake(m_chosen.last());
    }

    // Searches for fewer banks until done or `steps` more are taken.
    void run(qint64 steps) {
        m_limit = m_steps + steps;
        dfs();
    }

    bool stopped() const { return m_stopped; }
    int bestBanks() const { return m_bestBanks; }
    const QVector<Pattern>& best() const { return m_best; }

private:
    void take(int c) {
        for (int a : m_candidates[c].atoms)
            if (m_coveredBy[size_t(a)]++ == 0) --m_uncovered;
        m_places.add(m_candidates[c].place);
        m_chosen.append(c);
    }

    void untake(int c) {
        for (int a : m_candidates[c].atoms)
            if (--m_coveredBy[size_t(a)] == 0) ++m_uncovered;
        m_places.add(m_candidates[c].place, -1);
        m_chosen.removeLast();
    }

    void record() {
        const int banks = banksOf(m_places);
        if (m_bestBanks >= 0 && banks >= m_bestBanks) return;
        m_bestBanks = banks;
        m_best.clear();
        for (int c : qAsConst(m_chosen)) m_best.append(m_candidates[c].pattern);
    }

    // Quarters the frames not yet covered need at least: each in order is
    // weighed as much as every candidate holding it can still bear. -1 when
    // a frame has no candidate left.
    int certificate() {
        ++m_now;
        int total = 0;
        for (int a : qAsConst(m_order)) {
            if (m_coveredBy[size_t(a)]) continue;
            const QVector<int>& holders = m_byAtom[a];
            m_steps += holders.size();
            int weight = INT_MAX;
            for (int c : holders) {
                if (m_forbidden[size_t(c)]) continue;
                if (m_stamp[size_t(c)] != m_now) {
                    m_stamp[size_t(c)] = m_now;
                    m_slack[size_t(c)] = m_candidates[c].cost();
                }
                weight = std::min(weight, m_slack[size_t(c)]);
            }
            if (weight == INT_MAX) return -1;
            if (weight == 0) continue;
            total += weight;
            for (int c : holders)
                if (!m_forbidden[size_t(c)]) m_slack[size_t(c)] -= weight;
        }
        return total;
    }

    void dfs() {
        if (m_steps > m_limit) {
            m_stopped = true;
            return;
        }
        if (m_uncovered == 0) {
            record();
            return;
        }
        const int need = certificate();
        if (need < 0) return;
        const int bound = std::max(banksOf(m_places), (m_places.quarters() + need + 3) / 4);
        if (m_bestBanks >= 0 && bound >= m_bestBanks) return;
        // The frame held by the fewest candidates, and those by what they add per quarter.
        int atom = -1;
        for (int a : qAsConst(m_order)) {
            if (!m_coveredBy[size_t(a)]) {
                atom = a;
                break;
            }
        }
        QVector<std::pair<double, int>> options;
        for (int c : m_byAtom[atom]) {
            if (m_forbidden[size_t(c)]) continue;
            int n = 0;
            for (int a : m_candidates[c].atoms) n += m_coveredBy[size_t(a)] == 0;
            m_steps += m_candidates[c].atoms.size();
            options.append({double(n) / m_candidates[c].cost() + 1e-6 * n, c});
        }
        std::sort(options.begin(), options.end(), std::greater<>());
        // A later branch never takes what an earlier one tried.
        QVector<int> tried;
        for (const auto& option : qAsConst(options)) {
            take(option.second);
            dfs();
            untake(option.second);
            if (m_stopped) break;
            ++m_forbidden[size_t(option.second)];
            tried.append(option.second);
        }
        for (int c : qAsConst(tried)) --m_forbidden[size_t(c)];
    }

    const QVector<Candidate>& m_candidates;
    QVector<QVector<int>> m_byAtom;
    QVector<int> m_order;  // frames, fewest candidates first
    std::vector<int> m_coveredBy;
    int m_uncovered;
    std::vector<int> m_forbidden;
    std::vector<int> m_slack;
    std::vector<quint32> m_stamp;
    quint32 m_now = 0;
    QVector<int> m_chosen;
    Places m_places;
    QVector<Pattern> m_best;
    int m_bestBanks = -1;
    qint64 m_steps = 0;
    qint64 m_limit;
    bool m_stopped = false;
};

// Quarters the extended frames need at least, weighing frames no exact
// filter holds two of: each needs a filter of its own, which costs at least
// an entry of a 32-bit list, or of a 16-bit one where its block of 32768 was
// asked for.
// Quarters of a bank the frames take at least: those no exact filter passes
// two of, each a quarter where its block of 32768 was asked for (a 16-bit
// entry can pass it), else half a bank.
int weighedQuarters(const Frames& frames, const QVector<quint32>& keys) {
    QVector<quint32> weighed;
    int quarters = 0;
    for (quint32 key : keys) {
        if (weighed.size() >= kMaxWeighed) break;
        const bool alone = std::none_of(weighed.begin(), weighed.end(), [&](quint32 other) {
            const quint32 mask = ~(key ^ other) & ~kUnusedBit;
            return frames.exact({key & mask, mask});
        });
        if (!alone) continue;
        weighed.append(key);
        const quint32 id = key >> 3;
        quarters += cubeIn(frames.extended[(key & kRtrBit) ? 1 : 0], id & ~0x7FFFu, 0x7FFF) ? 1 : 2;
    }
    return quarters;
}

int extendedBound(const Frames& frames) {
    // The first frame of each aligned block of each range, and its last one;
    // for a few ranges also the first and last frame of each of their fewest
    // cubes (no cube inside a range holds two of those on the same side of
    // its split), which may weigh more.
    QVector<quint32> keys, cubeEnds;
    const bool few = frames.extended[0].size() + frames.extended[1].size() <= kMaxShrunk;
    for (int rtr = 0; rtr < 2; ++rtr) {
        for (const Interval& i : frames.extended[rtr]) {
            for (quint64 lo = i.lo; lo <= i.hi && keys.size() < kMaxCandidateFrames;) {
                int bits = 0;
                while (lo % (quint64(2) << bits) == 0 && lo + (quint64(2) << bits) - 1 <= i.hi) ++bits;
                keys.append(FilterBanks::frameKey(true, quint32(lo), rtr == 1));
                lo += quint64(1) << bits;
            }
            keys.append(FilterBanks::frameKey(true, i.hi, rtr == 1));
            if (!few) continue;
            for (const IdCube& c : fewestCubes(i.lo, i.hi)) {
                if (cubeEnds.size() >= kMaxCandidateFrames) break;
                cubeEnds.append(FilterBanks::frameKey(true, c.value, rtr == 1));
                cubeEnds.append(FilterBanks::frameKey(true, c.value | c.free, rtr == 1));
            }
        }
    }
    return std::max(weighedQuarters(frames, keys), weighedQuarters(frames, cubeEnds));
}

// The aligned blocks of one format (0 standard, 1 extended) or of both (-1),
// joined where that costs nothing.
QVector<Pattern> blockPlan(const Asked& asked, int format) {
    QVector<Pattern> patterns;
    for (const Block& block : blocksOf(asked))
        if (format < 0 || block.extended == (format == 1)) patterns.append(patternOf(block));
    // Thousands of blocks need hundreds of banks, joined or not.
    return patterns.size() > kMaxJoined ? patterns : joinNeighbours(patterns);
}

// Each extended range as few cubes as pass exactly it, cut where its blocks
// of 32768 begin and end if that packs into fewer banks (FilterRanges).
QVector<Pattern> rangePlan(const Frames& frames) {
    const Intervals both = intersected(frames.extended[0], frames.extended[1]);
    const Intervals parts[3] = {both, without(frames.extended[0], both), without(frames.extended[1], both)};
    const bool few = parts[0].size() + parts[1].size() + parts[2].size() <= kMaxShrunk;
    QVector<Pattern> out;
    for (int part = 0; part < 3; ++part) {
        const int rtr = part - 1;
        for (const Interval& i : parts[part]) {
            QVector<Pattern> best;
            int bestBanks = 0, bestQuarters = 0;
            const QVector<QVector<IdCube>> covers =
                few ? rangeCovers(i.lo, i.hi) : QVector<QVector<IdCube>>{fewestCubes(i.lo, i.hi)};
            for (const QVector<IdCube>& cover : covers) {
                QVector<Pattern> patterns;
                int quarters = 0;
                for (const IdCube& c : cover) {
                    patterns.append(extendedPattern(c, rtr));
                    quarters += quartersOf(patterns.last());
                }
                const int banks = few ? pack(patterns).size() : 0;
                if (best.isEmpty() || banks < bestBanks || (banks == bestBanks && quarters < bestQuarters)) {
                    best = patterns;
                    bestBanks = banks;
                    bestQuarters = quarters;
                }
            }
            out += best;
        }
    }
    return out;
}

}  // namespace

Cover exactCover(const Asked& asked, int available, qint64 steps) {
    const Frames frames(asked);
    Cover cover;
    if (frames.standardCount == 0 && frames.extendedCount == 0) return cover;
    // Every extended range from a multiple of 2^shift to one before the next:
    // a filter can leave those bits open without passing another frame, and
    // the blocks are weighed one by one instead of their frames.
    int shift = kExtendedBits;
    for (const Intervals& ranges : frames.extended) {
        for (const Interval& i : ranges) {
            shift = std::min(shift, trailingZeros(i.lo));
            shift = std::min(shift, trailingZeros(i.hi + 1));
        }
    }
    Candidates candidates(frames, frames.extendedCount ? shift : 0);
    candidates.addStandard();
    const bool weighed = (frames.extendedCount >> (frames.extendedCount ? shift : 0)) <= kExplicitExtended &&
                         candidates.addExtended();
    if (weighed) {
        Search search(candidates.list(), candidates.atomCount(), Places());
        const int bound = (search.rootQuarters() + 3) / 4;
        const QVector<Pattern> blocks = blockPlan(asked, -1);
        search.offer(blocks, pack(blocks).size());
        search.greedy();
        // Where no exact plan fits, a shorter search for how many banks one takes.
        if (search.bestBanks() > bound) search.run(bound <= available ? steps : steps / kBeyondShare);
        cover.filters = search.best();
        cover.banks = pack(cover.filters).size();
        cover.lowerBound = search.stopped() ? std::min(bound, cover.banks) : cover.banks;
        return cover;
    }
    // Too many extended frames to weigh one by one: the ranges' own covers,
    // and the standard frames searched beside them.
    QVector<Pattern> extended = rangePlan(frames);
    const QVector<Pattern> extendedBlocks = blockPlan(asked, 1);
    if (pack(extendedBlocks).size() < pack(extended).size()) extended = extendedBlocks;
    Places fixed;
    for (const Pattern& p : extended) fixed.add(placeOf(p));
    QVector<Candidate> standard = candidates.list();
    standard.erase(std::remove_if(standard.begin(), standard.end(),
                                  [](const Candidate& c) {
                                      return (c.pattern.mask & kIdeBit) == 0 || (c.pattern.value & kIdeBit);
                                  }),
                   standard.end());
    Search search(standard, frames.standardCount, fixed);
    const int standardQuarters = search.rootQuarters();
    const int extendedQuarters = extendedBound(frames);
    // A filter passing both formats could hold weight of each.
    const int quarters = frames.hasTwins() ? std::max(standardQuarters, extendedQuarters)
                                           : standardQuarters + extendedQuarters;
    const int bound = std::max(1, (quarters + 3) / 4);
    const QVector<Pattern> blocks = blockPlan(asked, 0);
    search.offer(blocks, pack(blocks + extended).size());
    search.greedy();
    // The blocks alone may leave no room: then the standard frames' search cannot help.
    if (search.bestBanks() > bound && bound <= available && banksOf(fixed) <= available) search.run(steps);
    cover.filters = search.best() + extended;
    cover.banks = pack(cover.filters).size();
    cover.lowerBound = std::min(bound, cover.banks);
    return cover;
}

bool oneBankStandard(const Asked& asked, QVector<Pattern>* filters) {
    const Frames frames(asked);
    if (frames.extendedCount > 0 || frames.standardCount == 0) return false;
    // For each bit and value, the points of the set that have it: their OR,
    // their AND and how many.
    quint32 ors[kStandardBits][2] = {}, ands[kStandardBits][2], counts[kStandardBits][2] = {};
    for (auto& bit : ands) bit[0] = bit[1] = kAllStandardBits;
    for (quint32 s = 0; s < kStandardPoints; ++s) {
        if (!frames.standard[s]) continue;
        for (int i = 0; i < kStandardBits; ++i) {
            const int b = (s >> i) & 1;
            ors[i][b] |= s;
            ands[i][b] &= s;
            ++counts[i][b];
        }
    }
    // Every first cube; the second the smallest one holding what is left.
    quint64 fewest = ~quint64(0);
    int digits[kStandardBits] = {};
    for (int index = 0; index < kStandardCubes; ++index) {
        Cube12 first;
        quint32 orRest = 0, andRest = kAllStandardBits, rest = 0;
        for (int i = 0; i < kStandardBits; ++i) {
            if (digits[i] == 2) continue;
            first.fixed |= 1u << i;
            first.value |= quint32(digits[i]) << i;
            const int other = 1 - digits[i];
            orRest |= ors[i][other];
            andRest &= ands[i][other];
            rest += counts[i][other];
        }
        const quint64 firstSize = quint64(1) << (kStandardBits - popcount(first.fixed));
        quint64 size = firstSize;
        Cube12 second;
        if (rest) {
            second.fixed = ~(orRest ^ andRest) & kAllStandardBits;
            second.value = andRest & second.fixed;
            size += quint64(1) << (kStandardBits - popcount(second.fixed));
            if (!((first.value ^ second.value) & first.fixed & second.fixed))
                size -= quint64(1) << (kStandardBits - popcount(first.fixed | second.fixed));
        }
        // Among equals, one mask rather than two.
        if (size < fewest || (size == fewest && !rest && filters->size() > 1)) {
            fewest = size;
            *filters = {standardPattern(first.value, first.fixed)};
            if (rest) filters->append(standardPattern(second.value, second.fixed));
        }
        for (int i = 0; i < kStandardBits && ++digits[i] == 3; ++i) digits[i] = 0;
    }
    return true;
}

}  // namespace FilterPlanner::detail
