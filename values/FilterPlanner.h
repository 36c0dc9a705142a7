#pragma once

#include <QString>
#include <QVector>
#include <array>

#include "FilterBanks.h"
#include "ParameterSet.h"

// From the identifiers and ranges a site needs, the filter banks that let
// exactly those through in as few banks as the layout allows; when the banks
// available cannot hold that, the ones that let the fewest other frames
// through. The planner dialog and the command line share it; its texts are
// in the decoder's context ("FilterBanks").
namespace FilterPlanner {

struct Request {
    quint32 first = 0;
    quint32 last = 0;  // first for a single identifier
    bool extended = false;
    int frameTypes = FilterBanks::DataFrames;
};

struct ParseError {
    enum Kind {
        NoIdentifier,  // only words
        NotANumber,    // looks like an identifier or range but is none
        LetterFirst,   // hex digits beginning with a letter, without 0x ("abc")
        UnknownWord,
        SecondIdentifier,  // one identifier or range per item
        TwoFormats,        // ext and std together
        Reversed,          // a range whose first identifier is above its last
        StandardTooLarge,  // above 0x7FF without ext
        ExtendedTooLarge,  // above 0x1FFFFFFF
    };
    Kind kind = NoIdentifier;
    int line = 0;    // 1 ...; 0 when the text is a single line
    QString item;    // the item as typed, trimmed
    QString word;    // the word at fault
    quint32 id = 0;  // the identifier too large for its format
};

struct Parsed {
    QVector<Request> requests;
    QVector<ParseError> errors;
};

// One request per line, or per item where items are separated by commas
// (the command line's form): an identifier ("0x7E8") or a range
// ("0x100-0x1FF", also with "–"), hex with or without 0x, and in any order
// the words ext or std and data, remote or both (扩展, 标准, 数据, 远程).
// Numbers are hex; one beginning with a letter needs its 0x ("0xABC").
// Items without a word take the defaults given, as the command line's
// --ext and --remote set them. Empty items and lines starting with # are
// skipped.
Parsed parse(const QString& text, bool extended = false, int frameTypes = FilterBanks::DataFrames);
// What is wrong and where, translated: "第3行“0x800”：0x800超出标准标识符……".
QString errorText(const ParseError& error);

struct Options {
    int firstBank = 0;       // the plan fills banks from this one on: 0-13 as frames count, 1-14 in texts
    bool allowExtra = true;  // false: refuse rather than let others through
    // Steps the search for the fewest banks may take before it stops at
    // the best plan found (about a second for the largest requests).
    qint64 searchSteps = 120'000'000;
};

struct Plan {
    enum Status { Planned, NothingAsked, NoBankLeft, NeedsMoreBanks, CheckFailed };
    Status status = NothingAsked;
    int firstBank = 0;
    int available = 0;  // banks from firstBank to the last
    // The exact plan found (letting only the request through) takes
    // exactBanks; none takes fewer than exactAtLeast.
    int exactBanks = 0;
    int exactAtLeast = 0;
    QVector<FilterRow> rows;  // for banks firstBank, firstBank + 1, ...; each in use
    // Identifiers whose data or remote frames pass without being asked for,
    // counted by the decoder from the rows.
    FilterBanks::Count extraData;
    FilterBanks::Count extraRemote;
    // No plan in the banks available lets fewer other frames through.
    bool extrasProven = false;

    bool exactProven() const { return exactBanks == exactAtLeast; }
    // Whether an exact plan surely does not fit into the banks available.
    bool exactImpossible() const { return exactAtLeast > available; }
    bool exact() const {
        return status == Planned &&
               extraData.standard + extraData.extended + extraRemote.standard + extraRemote.extended == 0;
    }
};

// The fewest banks that let exactly the request through (FilterCover), each
// filter an exact cube of it or a single frame. Where the banks available
// cannot hold that plan, with allowExtra, the aligned blocks nearest each
// other are joined, fewest extra frames first, until they fit; for standard
// frames in one bank every pair of masks is tried. Every plan is decoded back
// and checked against the request before it is returned (CheckFailed when
// it does not match).
Plan plan(const QVector<Request>& requests, const Options& options = {});

// Puts the rows into the banks from the plan's first bank on; with
// clearOthers the later banks the plan leaves free are cleared (not in use,
// defaults). Banks before the first one stay as they are.
void fill(std::array<FilterRow, kFilterBankCount>& banks, const Plan& plan, bool clearOthers);

// The line under the planner, translated: the banks used and what passes
// besides the request, or why there is no plan.
QString planText(const Plan& plan);

}  // namespace FilterPlanner
