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
// Items without a word take the defaults given, as the command line's
// --ext and --remote set them. Empty items and lines starting with # are
// skipped.
Parsed parse(const QString& text, bool extended = false, int frameTypes = FilterBanks::DataFrames);
// What is wrong and where, translated: "第3行“0x800”：0x800超出标准标识符……".
QString errorText(const ParseError& error);

struct Options {
    int firstBank = 0;       // the plan fills banks from this one on: 0-13 as frames count, 1-14 in texts
    bool allowExtra = true;  // false: refuse rather than let others through
};

struct Plan {
    enum Status { Planned, NothingAsked, NoBankLeft, NeedsMoreBanks, CheckFailed };
    Status status = NothingAsked;
    int firstBank = 0;
    int available = 0;        // banks from firstBank to the last
    int exactBanks = 0;       // banks a plan letting only the request through takes
    QVector<FilterRow> rows;  // for banks firstBank, firstBank + 1, ...; each in use
    // Identifiers whose data or remote frames pass without being asked for,
    // counted by the decoder from the rows.
    FilterBanks::Count extraData;
    FilterBanks::Count extraRemote;

    bool exact() const {
        return status == Planned &&
               extraData.standard + extraData.extended + extraRemote.standard + extraRemote.extended == 0;
    }
};

// Exact where the banks suffice: single identifiers in list banks (four
// standard ones in a 16-bit bank), ranges split into aligned blocks, each a
// mask (two standard ones in a 16-bit bank). Otherwise, with allowExtra, the
// blocks nearest each other are joined, fewest extra frames first, until the
// banks hold them. Every plan is decoded back and checked against the request
// before it is returned (CheckFailed when it does not match).
Plan plan(const QVector<Request>& requests, const Options& options = {});

// Puts the rows into the banks from the plan's first bank on; with
// clearOthers the later banks the plan leaves free are cleared (not in use,
// defaults). Banks before the first one stay as they are.
void fill(std::array<FilterRow, kFilterBankCount>& banks, const Plan& plan, bool clearOthers);

// The line under the planner, translated: the banks used and what passes
// besides the request, or why there is no plan.
QString planText(const Plan& plan);

}  // namespace FilterPlanner
