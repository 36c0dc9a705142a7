#include "FilterBlocks.h"

#include <QHash>

#include <algorithm>
#include <functional>
#include <queue>

#include "FilterPacking.h"

namespace FilterPlanner::detail {

using FilterBanks::kExidBits;
using FilterBanks::kIdeBit;
using FilterBanks::kRtrBit;
using FilterBanks::kUnusedBit;
using FilterBanks::Pattern;

namespace {

Intervals normalised(Intervals list) {
    std::sort(list.begin(), list.end(), [](const Interval& a, const Interval& b) { return a.lo < b.lo; });
    Intervals out;
    for (const Interval& i : qAsConst(list)) {
        if (!out.isEmpty() && quint64(i.lo) <= quint64(out.last().hi) + 1)
            out.last().hi = std::max(out.last().hi, i.hi);
        else
            out.append(i);
    }
    return out;
}

}  // namespace

Intervals without(const Intervals& a, const Intervals& b) {
    Intervals out;
    int j = 0;
    for (Interval i : a) {
        while (j < b.size() && b[j].hi < i.lo) ++j;
        int k = j;
        quint64 lo = i.lo;
        for (; k < b.size() && b[k].lo <= i.hi; ++k) {
            if (b[k].lo > lo) out.append({quint32(lo), b[k].lo - 1});
            lo = quint64(b[k].hi) + 1;
        }
        if (lo <= i.hi) out.append({quint32(lo), i.hi});
    }
    return out;
}

Intervals intersected(const Intervals& a, const Intervals& b) {
    Intervals out;
    for (int i = 0, j = 0; i < a.size() && j < b.size();) {
        const quint32 lo = std::max(a[i].lo, b[j].lo);
        const quint32 hi = std::min(a[i].hi, b[j].hi);
        if (lo <= hi) out.append({lo, hi});
        if (a[i].hi < b[j].hi) {
            ++i;
        } else {
            ++j;
        }
    }
    return out;
}

quint64 sizeOf(const Intervals& list) {
    quint64 n = 0;
    for (const Interval& i : list) n += quint64(i.hi) - i.lo + 1;
    return n;
}

Pattern patternOf(const Block& block) {
    const quint32 top = block.extended ? FilterBanks::kMaxExtendedId : FilterBanks::kMaxStandardId;
    const quint32 idMask = top & ~((quint32(1) << block.bits) - 1);
    Pattern p;
    if (block.extended) {
        p = {block.lo << 3 | kIdeBit, idMask << 3 | kIdeBit | kUnusedBit};
    } else {
        p = {block.lo << 21, idMask << 21 | kExidBits | kIdeBit | kUnusedBit};
    }
    if (block.types != FilterBanks::DataAndRemote) {
        p.mask |= kRtrBit;
        if (block.types == FilterBanks::RemoteFrames) p.value |= kRtrBit;
    }
    return p;
}

namespace {

void appendAligned(bool extended, const Intervals& list, int types, QVector<Block>& out) {
    for (const Interval& i : list) {
        for (quint64 lo = i.lo; lo <= i.hi;) {
            int bits = 0;
            while (bits < 29 && lo % (quint64(2) << bits) == 0 && lo + (quint64(2) << bits) - 1 <= i.hi)
                ++bits;
            out.append({extended, quint32(lo), bits, types});
            lo += quint64(1) << bits;
        }
    }
}

}  // namespace

Asked askedOf(const QVector<Request>& requests) {
    Asked asked;
    for (const Request& r : requests) {
        const quint32 top = r.extended ? FilterBanks::kMaxExtendedId : FilterBanks::kMaxStandardId;
        const Interval ids{std::min(r.first, top), std::min(std::max(r.first, r.last), top)};
        if (r.frameTypes & FilterBanks::DataFrames) asked.ids[r.extended][0].append(ids);
        if (r.frameTypes & FilterBanks::RemoteFrames) asked.ids[r.extended][1].append(ids);
    }
    for (auto& format : asked.ids)
        for (Intervals& ids : format) ids = normalised(ids);
    return asked;
}

QVector<Block> blocksOf(const Asked& asked) {
    QVector<Block> blocks;
    for (int format = 0; format < 2; ++format) {
        const Intervals& data = asked.ids[format][0];
        const Intervals& remote = asked.ids[format][1];
        QVector<Block> own;
        appendAligned(format == 1, intersected(data, remote), FilterBanks::DataAndRemote, own);
        appendAligned(format == 1, without(data, remote), FilterBanks::DataFrames, own);
        appendAligned(format == 1, without(remote, data), FilterBanks::RemoteFrames, own);
        std::sort(own.begin(), own.end(), [](const Block& a, const Block& b) { return a.lo < b.lo; });
        blocks += own;
    }
    return blocks;
}

QVector<Pattern> joinNeighbours(QVector<Pattern> patterns) {
    for (bool joined = true; joined;) {
        joined = false;
        QHash<quint64, int> where;
        QVector<bool> alive(patterns.size(), true);
        const auto keyOf = [](const Pattern& p) { return quint64(p.mask) << 32 | p.value; };
        for (int i = 0; i < patterns.size(); ++i) where.insert(keyOf(patterns[i]), i);
        for (int i = 0; i < patterns.size(); ++i) {
            if (!alive[i]) continue;
            const Pattern p = patterns[i];
            for (quint32 bits = p.mask & ~kUnusedBit; bits; bits &= bits - 1) {
                const quint32 bit = bits & (~bits + 1);
                const int j = where.value(keyOf({p.value ^ bit, p.mask}), -1);
                if (j < 0 || !alive[j]) continue;
                const Pattern both{p.value & ~bit, p.mask & ~bit};
                if (quartersOf(both) > quartersOf(p) + quartersOf(patterns[j])) continue;
                alive[i] = alive[j] = false;
                alive.append(true);
                where.insert(keyOf(both), patterns.size());
                patterns.append(both);
                joined = true;
                break;
            }
        }
        QVector<Pattern> kept;
        for (int i = 0; i < patterns.size(); ++i)
            if (alive[i]) kept.append(patterns[i]);
        patterns.swap(kept);
    }
    return patterns;
}

namespace {

struct Node {
    Block block;
    int prev = -1;
    int next = -1;
    bool alive = true;
};

struct Join {
    Block block;
    int first = -1;  // the run of nodes it takes in
    int last = -1;
    qint64 extra = 0;  // frames it adds
};

Join joinOf(const QVector<Node>& nodes, int left, int right) {
    const Block& a = nodes[left].block;
    const Block& b = nodes[right].block;
    Join join;
    join.block = {a.extended, 0, std::max(a.bits, b.bits), 0};
    while ((a.lo >> join.block.bits) != (b.hi() >> join.block.bits)) ++join.block.bits;
    join.block.lo = a.lo & ~((quint32(1) << join.block.bits) - 1);
    // Aligned blocks lie inside one another or apart: neighbours inside go too.
    join.first = left;
    while (nodes[join.first].prev >= 0 && nodes[nodes[join.first].prev].block.lo >= join.block.lo)
        join.first = nodes[join.first].prev;
    join.last = right;
    while (nodes[join.last].next >= 0 && nodes[nodes[join.last].next].block.hi() <= join.block.hi())
        join.last = nodes[join.last].next;
    qint64 before = 0;
    for (int i = join.first;; i = nodes[i].next) {
        join.block.types |= nodes[i].block.types;
        before += qint64(nodes[i].block.frames());
        if (i == join.last) break;
    }
    join.extra = qint64(join.block.frames()) - before;
    return join;
}

QVector<Pattern> patternsOf(const QVector<Node>& nodes) {
    QVector<Pattern> out;
    for (const Node& node : nodes)
        if (node.alive) out.append(patternOf(node.block));
    return out;
}

}  // namespace

QVector<Pattern> coarsen(const QVector<Block>& blocks, int available) {
    QVector<Node> nodes;
    for (const Block& block : blocks) {
        Node node;
        node.block = block;
        if (!nodes.isEmpty() && nodes.last().block.extended == block.extended) {
            node.prev = nodes.size() - 1;
            nodes.last().next = nodes.size();
        }
        nodes.append(node);
    }
    using Entry = std::pair<qint64, std::pair<int, int>>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    const auto offer = [&](int left) {
        if (left >= 0 && nodes[left].next >= 0)
            queue.push({joinOf(nodes, left, nodes[left].next).extra, {left, nodes[left].next}});
    };
    for (int i = 0; i < nodes.size(); ++i) offer(i);

    int alive = nodes.size();
    for (;;) {
        if (alive <= 4 * available && pack(patternsOf(nodes)).size() <= available) return patternsOf(nodes);
        if (queue.empty()) break;
        const auto [extra, pair] = queue.top();
        queue.pop();
        const auto [left, right] = pair;
        if (!nodes[left].alive || !nodes[right].alive) continue;
        // A neighbour inside the join may have been joined since: less to add.
        const Join join = joinOf(nodes, left, right);
        if (join.extra != extra) {
            queue.push({join.extra, pair});
            continue;
        }
        Node joined;
        joined.block = join.block;
        joined.prev = nodes[join.first].prev;
        joined.next = nodes[join.last].next;
        for (int i = join.first;; i = nodes[i].next) {
            nodes[i].alive = false;
            --alive;
            if (i == join.last) break;
        }
        const int at = nodes.size();
        if (joined.prev >= 0) nodes[joined.prev].next = at;
        if (joined.next >= 0) nodes[joined.next].prev = at;
        nodes.append(joined);
        ++alive;
        offer(joined.prev);
        offer(at);
    }
    // One block per format is left, and a 16-bit mask bank holds two: an
    // extended block widened to identifier bits 28-15 fits one of its filters.
    for (Node& node : nodes) {
        if (!node.alive || !node.block.extended || node.block.bits >= 15) continue;
        node.block.bits = 15;
        node.block.lo &= ~quint32(0x7FFF);
    }
    return patternsOf(nodes);
}

}  // namespace FilterPlanner::detail
