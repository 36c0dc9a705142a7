#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include "BusLimits.h"

// The CAN controller's bit-timing word taken apart and put together, what it
// means in one line of text, and the search for the words that give a bit
// rate. The word is 4 bytes, most significant first, as the channel editor
// keeps it. Read as a number: prescaler - 1 in bits 0-9, time segment 1 - 1
// in bits 16-19, time segment 2 - 1 in bits 20-22, resynchronisation jump
// width - 1 in bits 24-25, loop-back mode in bit 30, silent mode in bit 31.
namespace BitTiming {

constexpr int kClockHz = 36000000;
constexpr int kMaxPrescaler = 1024;
constexpr int kMaxSegment1 = 16;  // time quanta
constexpr int kMaxSegment2 = 8;
constexpr int kMaxSjw = 4;
constexpr int kMinQuanta = 3;  // sync segment + 1 + 1
constexpr int kMaxQuanta = 1 + kMaxSegment1 + kMaxSegment2;
constexpr double kMaxBitRate = 1000000;  // CAN's fastest
// The slowest rate the controller makes: every prescaler and quantum at its top.
constexpr double kMinBitRate = double(kClockHz) / (double(kMaxPrescaler) * kMaxQuanta);
// Rate errors are shown in percent with three decimals. A word whose error
// shows as 0.000 % is exact, and a tolerance takes every word whose error
// shows within it.
constexpr double kErrorStep = 0.00001;

// Every field at its smallest value: the word 00000000.
struct Fields {
    int prescaler = 1;
    int segment1 = 1;
    int segment2 = 1;
    int sjw = 1;

    int quanta() const { return 1 + segment1 + segment2; }
    double bitRate() const { return double(kClockHz) / (double(prescaler) * quanta()); }
    // Fraction of the bit, 0 ... 1.
    double samplePoint() const { return double(1 + segment1) / quanta(); }
};

enum class Problem {
    NotFourBytes,
    StrayBits,  // bits outside every field are set
    LoopBack,
    Silent,      // a node in silent mode acknowledges no frame
    SjwTooLong,  // longer than a time segment: the resynchronisation can jump past it
    TooFast,     // above kMaxBitRate (not "自适应", whose fields are all at their smallest)
};

struct Decoded {
    Fields fields;              // meaningful unless the word is not 4 bytes
    QVector<Problem> problems;  // in the order of the enumeration
    int byteCount = 0;
    quint32 strayBits = 0;
    bool adaptive = false;  // 00000000: the device detects the rate itself
};

Decoded decode(const QByteArray& word);

// The 4-byte word, or an empty one when a field lies outside its range.
QByteArray encode(const Fields& fields);

// The line the channel editor shows beside the word, translated: bit rate,
// sample point, SJW and quanta per bit; what "自适应" means; or what is wrong
// (an SJW longer than a segment, or a rate above CAN's, follows the rate it spoils).
QString describe(const QByteArray& word);
// What one problem of a word is, as describe() says it.
QString problemText(Problem problem, const Decoded& decoded);

// At most `decimals` decimals, trailing zeros dropped: "666.667", "100".
QString decimalText(double value, int decimals);
// "100 kbit/s", "666.667 kbit/s".
QString rateText(double bitRate);
// "66.7 %" for 2/3, rounded half up to one decimal.
QString samplePointText(double samplePoint);

// 87.5 % up to 500 kbit/s, 80 % up to 800 kbit/s, 75 % above.
double defaultSamplePoint(double bitRate);

struct Request {
    double bitRate = 0;        // bit/s
    double samplePoint = 0;    // wished, 0 ... 1
    int sjw = 1;               // 1 ... kMaxSjw
    double tolerance = 0.005;  // largest rate error allowed, as a fraction
    BusLimits::Bus bus;        // the bus the word is chosen for
};

struct Candidate {
    Fields fields;
    double bitRate = 0;
    double error = 0;          // (bitRate - wanted) / wanted
    double samplePoint = 0;    // of the fields, kept for ranking
    BusLimits::Limits limits;  // on the request's bus
    QByteArray word() const { return encode(fields); }
};

// Every word within the tolerance (as its error is shown), best first:
// smallest rate error, then the sample point closest to the wish; of those
// alike, the words that cover the bus before those that do not, the ones
// that cover it by the largest clock tolerance, the others by the longest
// bus; then more quanta per bit, then the later sample point. The SJW is no longer than
// either segment, and 00000000 is never among them: that word stands for
// "自适应". Empty for a request outside the ranges above.
QVector<Candidate> search(const Request& request);

// The best word by the same order whatever its error; false for a request
// outside the ranges.
bool closest(const Request& request, Candidate* best);

}  // namespace BitTiming
