#include "FilterPlanner.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <queue>

#include "CanCodec.h"

namespace FilterPlanner {

using FilterBanks::Count;
using FilterBanks::kExidBits;
using FilterBanks::kIdeBit;
using FilterBanks::kRtrBit;
using FilterBanks::kStidBits;
using FilterBanks::kUnusedBit;
using FilterBanks::Pattern;

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("FilterBanks", text);
}

// ---- Reading the request ---------------------------------------------------

enum class Word { None, Extended, Standard, Data, Remote, Both };

Word wordOf(const QString& token) {
    static const QVector<QPair<QStringList, Word>> words = {
        {{"ext", "extended", "扩展", "扩展帧"}, Word::Extended},
        {{"std", "standard", "标准", "标准帧"}, Word::Standard},
        {{"data", "数据", "数据帧"}, Word::Data},
        {{"remote", "rtr", "远程", "远程帧"}, Word::Remote},
        {{"both"}, Word::Both},
    };
    const QString lower = token.toLower();
    for (const auto& entry : words)
        if (entry.first.contains(lower)) return entry.second;
    return Word::None;
}

// One item: its identifier or range and its words, or the first thing wrong.
bool parseItem(const QString& item, bool extended, int frameTypes, Request* request, ParseError* error) {
    static const QRegularExpression dash(QStringLiteral("\\s*[-\\x{2013}\\x{2014}~]\\s*"));
    static const QRegularExpression number(QStringLiteral("^(?:0[xX])?([0-9A-Fa-f]{1,8})$"));
    static const QRegularExpression numberLike(QStringLiteral("^[0-9]|-"));
    const QStringList tokens = QString(item)
                                   .replace(dash, QStringLiteral("-"))
                                   .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const auto fail = [&](ParseError::Kind kind, const QString& word) {
        error->kind = kind;
        error->word = word;
        return false;
    };
    bool haveId = false;
    int typesSaid = 0;
    Word format = Word::None;
    for (const QString& token : tokens) {
        const Word word = wordOf(token);
        if (word == Word::Extended || word == Word::Standard) {
            if (format != Word::None && format != word) return fail(ParseError::TwoFormats, token);
            format = word;
            continue;
        }
        if (word != Word::None) {
            typesSaid |= word == Word::Data     ? FilterBanks::DataFrames
                         : word == Word::Remote ? FilterBanks::RemoteFrames
                                                : FilterBanks::DataAndRemote;
            continue;
        }
        const QStringList ends = token.split(QLatin1Char('-'));
        QVector<quint32> values;
        for (const QString& end : ends) {
            const QRegularExpressionMatch match = number.match(end);
            if (!match.hasMatch() || ends.size() > 2) {
                if (ends.size() == 1 && !numberLike.match(token).hasMatch() &&
                    !token.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
                    return fail(ParseError::UnknownWord, token);
                return fail(ParseError::NotANumber, token);
            }
            values.append(match.captured(1).toUInt(nullptr, 16));
        }
        if (haveId) return fail(ParseError::SecondIdentifier, token);
        haveId = true;
        request->first = values.first();
        request->last = values.last();
        error->word = token;
    }
    if (!haveId) return fail(ParseError::NoIdentifier, QString());
    request->extended = format == Word::None ? extended : format == Word::Extended;
    request->frameTypes = typesSaid ? typesSaid : frameTypes;
    if (request->first > request->last) return fail(ParseError::Reversed, error->word);
    const quint32 top = request->extended ? FilterBanks::kMaxExtendedId : FilterBanks::kMaxStandardId;
    if (request->last > top) {
        error->id = request->first > top ? request->first : request->last;
        return fail(request->extended ? ParseError::ExtendedTooLarge : ParseError::StandardTooLarge,
                    error->word);
    }
    return true;
}

// ---- Sets of identifiers -----------------------------------------------------

struct Interval {
    quint32 lo;
    quint32 hi;  // inclusive
};
using Intervals = QVector<Interval>;

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

quint64 sizeOf(const Intervals& list) {
    quint64 n = 0;
    for (const Interval& i : list) n += quint64(i.hi) - i.lo + 1;
    return n;
}

// An aligned block of identifiers, 2^bits of them from lo, with its frame types.
struct Block {
    bool extended = false;
    quint32 lo = 0;
    int bits = 0;
    int types = FilterBanks::DataFrames;

    quint32 hi() const { return lo + ((quint32(1) << bits) - 1); }
    quint64 frames() const { return (quint64(1) << bits) * (types == FilterBanks::DataAndRemote ? 2 : 1); }
};

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

// The request as identifier sets, [standard, extended][data, remote].
struct Asked {
    Intervals ids[2][2];
};

// Per format in identifier order, each block holding identifiers asked for
// with the same frame types.
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

// ---- What a pattern takes in a bank -------------------------------------------

constexpr quint32 kExidLowBits = 0x0003FFF8;  // EXID[14:0]: no place in a half
constexpr quint32 kHalfBits = kStidBits | 0x001C0000 | kIdeBit | kRtrBit;

int popcount(quint32 bits) {
    int n = 0;
    for (; bits; bits &= bits - 1) ++n;
    return n;
}

struct Shape {
    bool standardOnly = false;
    bool fits16 = false;  // one 16-bit filter passes exactly its frames
    quint32 open16 = 0;   // bits a 16-bit list spreads over several entries
    quint32 open32 = 0;   // ... a 32-bit list
    int entries16() const { return 1 << popcount(open16); }
    int entries32() const { return popcount(open32) > 8 ? 256 : 1 << popcount(open32); }
    // In quarters of a bank, the cheapest way to hold it alone.
    int cost() const {
        if (fits16) return entries16() <= 2 ? entries16() : 2;
        return entries32() <= 2 ? 2 * entries32() : 4;
    }
};

Shape shapeOf(const Pattern& p) {
    Shape s;
    s.standardOnly = (p.mask & kIdeBit) && !(p.value & kIdeBit);
    // A standard frame's EXID is 0, so the half's EXID[17:15] need no choice.
    s.fits16 = s.standardOnly || !(p.mask & kExidLowBits);
    s.open16 = (s.standardOnly ? kStidBits | kRtrBit : kHalfBits) & ~p.mask;
    s.open32 = ~p.mask & ~kUnusedBit;
    return s;
}

// Patterns that pass the same frames with each of `open` fixed, both ways.
QVector<Pattern> spread(const Pattern& p, quint32 open) {
    QVector<Pattern> out{{p.value, p.mask | open}};
    for (; open; open &= open - 1) {
        const quint32 bit = open & (~open + 1);
        const int n = out.size();
        for (int i = 0; i < n; ++i) out.append({out[i].value | bit, out[i].mask});
    }
    return out;
}

quint64 orderOf(const Pattern& p) {
    const Shape s = shapeOf(p);
    if (s.standardOnly) return p.value >> 21;
    if (!(p.mask & kIdeBit)) return (quint64(1) << 32) | (p.value >> 21);
    return (quint64(2) << 32) | (p.value >> 3);
}

bool inOrder(const Pattern& a, const Pattern& b) {
    return orderOf(a) < orderOf(b);
}

// Joins two patterns that differ in one compared bit where one filter for
// both costs no more than two: 0x100 and 0x300 become 0x100/0x5FF, a
// standard identifier and an extended one with the same key bits one mask
// that leaves IDE open.
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
                if (shapeOf(both).cost() > shapeOf(p).cost() + shapeOf(patterns[j]).cost()) continue;
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

// ---- Banks ---------------------------------------------------------------------

enum class Kind { List16, Mask16, List32, Mask32 };

struct Planned {
    Kind kind;
    QVector<Pattern> filters;  // list entries pass one key (16-bit: one half) each
};

void chunk(Kind kind, const QVector<Pattern>& filters, int size, QVector<Planned>& out) {
    for (int i = 0; i < filters.size(); i += size) out.append({kind, filters.mid(i, size)});
}

// The fewest banks for the patterns. Standard identifiers go four to a
// 16-bit list, masks two to a 16-bit bank where 16 bits can hold them, other
// identifiers two to a 32-bit list, the rest one to a 32-bit mask. A 16-bit
// mask bank left with one place takes a pattern from the 16-bit lists, and a
// 32-bit list one standard identifier; 16-bit banks left half empty take the
// 32-bit form, which holds as much.
QVector<Planned> pack(QVector<Pattern> patterns) {
    std::sort(patterns.begin(), patterns.end(), inOrder);
    QVector<Pattern> singles, pairs, masks16, list32, masks32;
    for (const Pattern& p : qAsConst(patterns)) {
        const Shape s = shapeOf(p);
        if (s.fits16 && s.entries16() == 1) {
            singles.append(p);
        } else if (s.fits16 && s.entries16() == 2) {
            pairs.append(p);
        } else if (s.fits16) {
            masks16.append(p);
        } else if (s.entries32() <= 2) {
            list32 += spread(p, s.open32);
        } else {
            masks32.append(p);
        }
    }
    if (masks16.size() % 2) {
        if (!pairs.isEmpty()) {
            masks16.append(pairs.takeLast());
        } else if (!singles.isEmpty()) {
            masks16.append(singles.takeLast());
        }
    }
    if (list32.size() % 2) {
        const auto single32 = [](const Pattern& p) { return shapeOf(p).entries32() == 1; };
        const auto it = std::find_if(singles.rbegin(), singles.rend(), single32);
        if (it != singles.rend()) {
            list32.append(*it);
            singles.erase(std::next(it).base());
        }
    }
    QVector<Pattern> list16 = singles;
    for (const Pattern& p : qAsConst(pairs)) list16 += spread(p, shapeOf(p).open16);
    std::sort(list16.begin(), list16.end(), inOrder);

    QVector<Planned> banks;
    chunk(Kind::List16, list16, 4, banks);
    if (!banks.isEmpty() && banks.last().filters.size() <= 2 &&
        std::all_of(banks.last().filters.begin(), banks.last().filters.end(),
                    [](const Pattern& p) { return shapeOf(p).entries32() == 1; }))
        banks.last().kind = Kind::List32;
    chunk(Kind::Mask16, masks16, 2, banks);
    if (masks16.size() % 2) banks.last().kind = Kind::Mask32;
    chunk(Kind::List32, list32, 2, banks);
    chunk(Kind::Mask32, masks32, 1, banks);
    std::stable_sort(banks.begin(), banks.end(), [](const Planned& a, const Planned& b) {
        return inOrder(a.filters.first(), b.filters.first());
    });
    return banks;
}

QString wordText(quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    return CanCodec::registerText(QByteArray(bytes, 4));
}

// A 16-bit filter: its mask in the high half, the identifier in the low one.
// A standard frame's EXID[17:15] are 0 anyway: they are not compared.
quint32 maskRegister16(const Pattern& p) {
    quint16 mask = FilterBanks::halfOfKey(p.mask);
    if (shapeOf(p).standardOnly) mask &= quint16(~0x7);
    return quint32(mask) << 16 | FilterBanks::halfOfKey(p.value);
}

// Likewise a 32-bit mask compares no EXID bit for standard frames.
quint32 maskRegister32(const Pattern& p) {
    return shapeOf(p).standardOnly ? p.mask & (kStidBits | kIdeBit | kRtrBit) : p.mask & ~kUnusedBit;
}

FilterRow rowOf(const Planned& bank) {
    // Places a list or a 16-bit bank does not need repeat its last filter,
    // which lets nothing else through.
    const auto at = [&](int i) { return bank.filters.at(std::min(i, int(bank.filters.size()) - 1)); };
    const auto half = [&](int i) { return quint32(FilterBanks::halfOfKey(at(i).value)); };
    FilterRow row;
    row.inUse = true;
    row.workMode = bank.kind == Kind::List16 || bank.kind == Kind::List32 ? 1 : 0;
    row.bitWidth = bank.kind == Kind::List32 || bank.kind == Kind::Mask32 ? 1 : 0;
    quint32 id = 0;
    quint32 mask = 0;
    switch (bank.kind) {
        case Kind::List16:
            id = half(1) << 16 | half(0);
            mask = half(3) << 16 | half(2);
            break;
        case Kind::Mask16:
            id = maskRegister16(at(0));
            mask = maskRegister16(at(1));
            break;
        case Kind::List32:
            id = at(0).value;
            mask = at(1).value;
            break;
        case Kind::Mask32:
            id = at(0).value & ~kUnusedBit;
            mask = maskRegister32(at(0));
            break;
    }
    row.idText = wordText(id);
    row.maskText = wordText(mask);
    return row;
}

// ---- Joining blocks when the banks cannot hold the request --------------------

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

// Joins neighbouring blocks of one format, the join adding the fewest
// frames first, until the banks hold them.
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

// ---- Checking a plan with the decoder --------------------------------------------

bool check(Plan& plan, const Asked& asked, const QVector<Block>& blocks) {
    QVector<Pattern> accepted;
    for (const FilterRow& row : qAsConst(plan.rows)) {
        const FilterBanks::Bank bank = FilterBanks::decode(row);
        if (!bank.inUse || bank.isWrong()) return false;
        for (const FilterBanks::Filter& filter : bank.filters) accepted.append(filter.key);
    }
    for (const Block& block : blocks) {
        const Pattern wanted = patternOf(block);
        QVector<Pattern> passing;
        Pattern both;
        for (const Pattern& p : qAsConst(accepted))
            if (FilterBanks::meet(wanted, p, &both)) passing.append(both);
        const Count count = FilterBanks::countUnion(passing, false);
        if (count.standard + count.extended != block.frames()) return false;
    }
    // Everything asked passes: what else passes is the rest of each type.
    for (int type = 0; type < 2; ++type) {
        const Pattern only{type ? kRtrBit : 0, kRtrBit};
        QVector<Pattern> typed;
        Pattern both;
        for (const Pattern& p : qAsConst(accepted))
            if (FilterBanks::meet(only, p, &both)) typed.append(both);
        const Count count = FilterBanks::countUnion(typed, false);
        Count& extra = type ? plan.extraRemote : plan.extraData;
        extra.standard = count.standard - sizeOf(asked.ids[0][type]);
        extra.extended = count.extended - sizeOf(asked.ids[1][type]);
    }
    return true;
}

// Banks are read by the table's row numbers, 1-14.
QString banksText(const Plan& plan) {
    const int first = plan.firstBank + 1;
    if (plan.rows.size() == 1) return tr("过滤器组%1").arg(first);
    return tr("过滤器组%1–%2").arg(first).arg(first + plan.rows.size() - 1);
}

}  // namespace

Parsed parse(const QString& text, bool extended, int frameTypes) {
    Parsed parsed;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\\r\\n|\\n|\\r")));
    int filled = 0;
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty()) ++filled;
    static const QRegularExpression separator(QStringLiteral("[,;\\x{FF0C}\\x{FF1B}]"));
    for (int n = 0; n < lines.size(); ++n) {
        if (lines[n].trimmed().startsWith(QLatin1Char('#'))) continue;
        for (const QString& part : lines[n].split(separator)) {
            const QString item = part.trimmed();
            if (item.isEmpty()) continue;
            Request request;
            ParseError error;
            if (parseItem(item, extended, frameTypes, &request, &error)) {
                parsed.requests.append(request);
                continue;
            }
            error.line = filled > 1 ? n + 1 : 0;
            error.item = item;
            parsed.errors.append(error);
        }
    }
    return parsed;
}

QString errorText(const ParseError& error) {
    const bool extended = error.kind == ParseError::ExtendedTooLarge;
    QString reason;
    switch (error.kind) {
        case ParseError::NoIdentifier:
            reason = tr("没有标识符或范围");
            break;
        case ParseError::NotANumber:
            reason = tr("“%1”不是十六进制的标识符或范围").arg(error.word);
            break;
        case ParseError::UnknownWord:
            reason = tr("不认识“%1”（可用 ext、std、data、remote、both）").arg(error.word);
            break;
        case ParseError::SecondIdentifier:
            reason = tr("一项只能有一个标识符或范围，“%1”多余").arg(error.word);
            break;
        case ParseError::TwoFormats:
            reason = tr("ext 与 std 不能同时给出");
            break;
        case ParseError::Reversed:
            reason = tr("范围的起点大于终点");
            break;
        case ParseError::StandardTooLarge:
        case ParseError::ExtendedTooLarge:
            reason = (extended ? tr("%1超出扩展标识符（最大0x1FFFFFFF）")
                               : tr("%1超出标准标识符（最大0x7FF）；扩展帧请加 ext"))
                         .arg(FilterBanks::idText(extended, error.id));
            break;
    }
    if (error.line > 0) return tr("第%1行“%2”：%3").arg(error.line).arg(error.item, reason);
    return tr("“%1”：%2").arg(error.item, reason);
}

Plan plan(const QVector<Request>& requests, const Options& options) {
    Plan result;
    result.firstBank = options.firstBank;
    result.available = kFilterBankCount - options.firstBank;
    if (requests.isEmpty()) return result;
    if (options.firstBank < 0 || result.available <= 0) {
        result.status = Plan::NoBankLeft;
        result.available = 0;
        return result;
    }
    Asked asked;
    for (const Request& r : requests) {
        const quint32 top = r.extended ? FilterBanks::kMaxExtendedId : FilterBanks::kMaxStandardId;
        const Interval ids{std::min(r.first, top), std::min(std::max(r.first, r.last), top)};
        if (r.frameTypes & FilterBanks::DataFrames) asked.ids[r.extended][0].append(ids);
        if (r.frameTypes & FilterBanks::RemoteFrames) asked.ids[r.extended][1].append(ids);
    }
    for (auto& format : asked.ids)
        for (Intervals& ids : format) ids = normalised(ids);
    const QVector<Block> blocks = blocksOf(asked);
    if (blocks.isEmpty()) return result;

    QVector<Pattern> exact;
    for (const Block& block : blocks) exact.append(patternOf(block));
    QVector<Planned> banks = pack(joinNeighbours(exact));
    result.exactBanks = banks.size();
    if (result.exactBanks > result.available) {
        if (!options.allowExtra) {
            result.status = Plan::NeedsMoreBanks;
            return result;
        }
        banks = pack(coarsen(blocks, result.available));
    }
    for (const Planned& bank : qAsConst(banks)) result.rows.append(rowOf(bank));
    result.status = Plan::Planned;
    if (!check(result, asked, blocks) || result.rows.size() > result.available ||
        (result.exactBanks <= result.available && !result.exact())) {
        result.status = Plan::CheckFailed;
        result.rows.clear();
    }
    return result;
}

void fill(std::array<FilterRow, kFilterBankCount>& banks, const Plan& plan, bool clearOthers) {
    if (plan.status != Plan::Planned) return;
    for (int i = plan.firstBank; i < kFilterBankCount; ++i) {
        const int n = i - plan.firstBank;
        if (n < plan.rows.size()) {
            banks[size_t(i)] = plan.rows.at(n);
        } else if (clearOthers) {
            banks[size_t(i)] = FilterRow();
        }
    }
}

QString planText(const Plan& plan) {
    switch (plan.status) {
        case Plan::NothingAsked:
            return tr("没有要求任何标识符");
        case Plan::NoBankLeft:
            return tr("从过滤器组%1起没有过滤器组可用").arg(plan.firstBank + 1);
        case Plan::NeedsMoreBanks:
            return tr("只让所要求的标识符通过需要%1个过滤器组，从过滤器组%2起只有%3个")
                .arg(plan.exactBanks)
                .arg(plan.firstBank + 1)
                .arg(plan.available);
        case Plan::CheckFailed:
            return tr("计划未通过解码核对，没有填入");
        case Plan::Planned:
            break;
    }
    if (plan.exact()) return tr("%1，只通过所要求的标识符").arg(banksText(plan));
    QStringList parts{
        tr("%1（只让所要求的标识符通过需要%2个过滤器组）").arg(banksText(plan)).arg(plan.exactBanks)};
    const quint64 data = plan.extraData.standard + plan.extraData.extended;
    const quint64 remote = plan.extraRemote.standard + plan.extraRemote.extended;
    if (data) parts << tr("另有%1个标识符的数据帧通过").arg(data);
    if (remote) parts << tr("另有%1个标识符的远程帧通过").arg(remote);
    return parts.join(tr("；"));
}

}  // namespace FilterPlanner
