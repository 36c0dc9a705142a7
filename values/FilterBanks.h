#pragma once

#include <optional>

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

#include "CanCodec.h"
#include "ParameterSet.h"

// What an acceptance-filter bank lets through, read from its row: the
// filters its registers hold, the identifiers each passes, and what is wrong.
// The texts are shown beside the filter table, in each row's tool tip and by
// the command line, so they keep a context of their own ("FilterBanks"), and
// name banks as the table numbers its rows, 1-14 (frames and files keep 0-13).
//
// Every filter is brought to one form, the 32-bit layout of a received
// frame's identifier (its "key"): STID[10:0] in bits 31-21, EXID[17:0] in
// bits 20-3, IDE bit 2, RTR bit 1, bit 0 reserved and 0 in every frame. A
// 32-bit filter that compares bit 0 with a 1 there therefore never matches;
// one that compares it with a 0 acts as if it did not compare it. A
// standard identifier S is the key S << 21, an extended one E is (E << 3) |
// IDE. A frame passes a filter when (key ^ value) & mask == 0. A standard
// frame carries EXID = 0, so a filter that demands a 1 there passes none.
//
// A 16-bit half (STID[10:0] in 15-5, RTR 4, IDE 3, EXID[17:15] in 2-0) maps
// into that form bit by bit, its EXID[17:15] onto key bits 20-18. EXID[14:0]
// (key bits 17-3) have no place in a half, so a 16-bit filter never compares
// them: it matches an extended frame on identifier bits 28-15 alone, and every
// extended identifier it passes comes with the 32767 others that share those
// bits. A standard frame's EXID[17:15] are 0 there too.
namespace FilterBanks {

// The translation context of the decoder's and the planner's texts.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(FilterBanks)
};

constexpr quint32 kStidBits = 0xFFE00000;
constexpr quint32 kExidBits = 0x001FFFF8;
constexpr quint32 kIdeBit = 0x4;
constexpr quint32 kRtrBit = 0x2;
constexpr quint32 kUnusedBit = 0x1;
constexpr quint32 kMaxStandardId = 0x7FF;
constexpr quint32 kMaxExtendedId = 0x1FFFFFFF;

// Frame types a filter passes, as flags.
enum FrameTypes { DataFrames = 1, RemoteFrames = 2, DataAndRemote = 3 };

// The keys k with (k ^ value) & mask == 0; value holds no bit outside mask.
struct Pattern {
    quint32 value = 0;
    quint32 mask = 0;
    bool operator==(const Pattern& other) const { return value == other.value && mask == other.mask; }
};

// The key of one frame.
quint32 frameKey(bool extended, quint32 id, bool remote);
// A 16-bit half in key form, and back (the bits a half cannot hold are lost).
quint32 keyOfHalf(quint16 half);
quint16 halfOfKey(quint32 key);

// The identifiers of one format that a filter passes: those whose compared
// bits equal `value`.
struct IdSet {
    bool extended = false;
    quint32 value = 0;  // identifier bits that must match, nothing outside mask
    quint32 mask = 0;   // 1 for each compared bit of the 11 or 29

    quint32 full() const { return extended ? kMaxExtendedId : kMaxStandardId; }
    quint64 count() const;
    bool contains(quint32 id) const { return ((id ^ value) & mask) == 0; }
    // The compared bits are the top ones: first() ... last() without a gap.
    bool isRange() const;
    quint32 first() const { return value; }
    quint32 last() const { return value | (full() & ~mask); }
};

// What one filter passes in one format.
struct Part {
    IdSet ids;
    int frameTypes = DataAndRemote;
};

struct Problem {
    enum Kind {
        NotAWord,            // a register text the Write refuses; nothing decoded
        NeverMatches,        // IDE compared as 0 (standard) with set EXID bits compared too
        BitsBeyondStandard,  // standard frames only, and EXID bits set in the ID, not compared
        NothingPasses,       // in use, and no filter of the bank can match
        ReservedBit,         // the reserved bit 0 compared as 1: the filter never matches
    };
    Kind kind = NotAWord;
    int filter = -1;  // 0 ... 3 within the bank; -1 for the bank
    // The register holding it; none for the bank as a whole.
    std::optional<CanCodec::FilterRegister> reg;
    quint32 bits = 0;  // the EXID bits concerned, where they sit in that register's word

    bool operator==(const Problem& other) const {
        return kind == other.kind && filter == other.filter && reg == other.reg && bits == other.bits;
    }
};

struct Filter {
    // In key form; bit 0 in the mask only for a filter that never matches (ReservedBit).
    Pattern key;
    CanCodec::FilterRegister reg = CanCodec::FilterRegister::Id;  // the register that holds it
    QVector<Part> parts;  // standard, then extended; empty when it never matches
    bool reachable() const { return !parts.isEmpty(); }
};

// Another bank in use that passes some of the same frames.
struct Overlap {
    int bank = -1;
    quint64 standardIds = 0;
    quint64 extendedIds = 0;
};

struct Bank {
    int bank = -1;
    bool inUse = false;
    bool listMode = false;
    bool wide = true;           // 32 bits
    QVector<Filter> filters;    // in register order: 1 (32-bit mask), 2 or 4
    QVector<Problem> problems;  // what makes the row red
    QVector<Overlap> overlaps;  // notes, filled by decodeChannel()
    quint64 standardIds = 0;    // identifiers with a frame that passes
    quint64 extendedIds = 0;

    bool isWrong() const { return !problems.isEmpty(); }
};

// One row, in use or not. Its filters are decoded whenever both registers are
// texts the Write can send (CanCodec::canSendRegisterText), so that a bank about to be switched on
// can be read; a text the Write refuses is a problem instead.
Bank decode(const FilterRow& row, int bank = -1);

// Every bank of a channel, each with the other banks in use that pass some
// of its frames (a note, not an error: either bank alone lets them through).
QVector<Bank> decodeChannel(const std::array<FilterRow, kFilterBankCount>& banks);

// Whether the bank, in use or not, lets the frame through.
bool passes(const Bank& bank, bool extended, quint32 id, bool remote);

// The line beside the table and in the row's tool tip, translated: "未使用",
// or what passes ("标准数据帧 0x100–0x1FF"), then the problems and notes.
QString describe(const Bank& bank);
QString describe(const FilterRow& row);
// One problem or note as describe() says it.
QString problemText(const Problem& problem, const Bank& bank);
QString overlapText(const Overlap& overlap);
// "0x123", "0x18FEF100"; "0x100–0x1FF"; otherwise "0x100/0x70F（16个）".
QString idSetText(const IdSet& ids);
QString idText(bool extended, quint32 id);

// Sets of frames as unions of patterns: what the planner and the overlap
// check count with.
//
// The frames (identifier and frame type) a pattern stands for, one pattern
// per format, each of them holding only frames that exist: none for a
// pattern that demands bit 0 be 1.
QVector<Pattern> framesOf(const Pattern& pattern);
// Frames in the union of patterns, standard and extended ones apart. With
// `idsOnly` the frame type is not told apart: identifiers are counted.
struct Count {
    quint64 standard = 0;
    quint64 extended = 0;
};
Count countUnion(const QVector<Pattern>& patterns, bool idsOnly);
// The frames two patterns share; false when none.
bool meet(const Pattern& a, const Pattern& b, Pattern* both);

}  // namespace FilterBanks
