#pragma once

#include <QByteArray>
#include <QString>

#include "ParameterSet.h"
#include "Protocol.h"

// The rules of the fiber channels: the twelve baud rates and their one-byte
// codes (the rate's index + 1), the set-fiber-baud-rate request, the codes
// of the fiber query's reply and the codes' text in the parameter file.
namespace FiberRules {

constexpr int kRateCount = Protocol::FiberRateCount;
constexpr int kDefaultCode = 0x0b;  // "1380K"

// "5K" ... "2250K" for codes 1 ... 12; empty for any other code. Never translated.
QString rateText(int code);
// The code itself when a selector has it, else FiberValues::kNoEntry.
int entryCode(int code);

// What a selector takes for a code, for channels 0 ... fiberCount - 1
// only; a code outside 1 ... 12 leaves it without entry.
void setCode(FiberValues& fiber, int fiberCount, int channel, int code);

// Command 0x25: the codes of fiber channels 0 ... fiberCount - 1, a zero
// for every absent channel and for one without a code, so that no code
// moves into another channel's place.
Protocol::SetFiberBaudRate request(const FiberValues& fiber, int fiberCount);

// The codes of the fiber query's reply, applied to channels 0 ... fiberCount - 1.
void applyReply(FiberValues& fiber, int fiberCount, const Protocol::FiberCodes& codes);

// The code as the parameter file writes it: two lower-case hex digits
// ("0b"), empty for a selector without entry.
QString codeText(int code);
// A "Baud" string read as a hexadecimal number; 0 for text that is none.
int parseCodeText(const QString& text);

}  // namespace FiberRules
