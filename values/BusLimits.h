#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace BitTiming {
struct Fields;
}

// What a bit-timing word allows the network it runs on: how far each node's
// clock may be off and how long the bus may be, by the relations of F.
// Hartwich and A. Bassemir, "The Configuration of the CAN Bit Timing" (6th
// International CAN Conference, 1999), and the usual recommendations as
// notes. Times are in time quanta unless named otherwise.
namespace BusLimits {

// One node's loop delay by default, from its controller's transmit pin over
// the bus back to its receive pin: 255 ns, the most a transceiver may take
// under ISO 11898-2, plus 2 x 40 ns for an isolator in the transmit and the
// receive line (a fast optocoupler or digital isolator). Every conforming
// isolated node stays within it, so the length shown is one the bus can
// have; a node whose data sheet gives less may have a longer bus.
constexpr double kDefaultNodeDelayNs = 335;
// Twisted pair carries a signal at about two thirds of the speed of light.
constexpr double kCableDelayNsPerMetre = 5;

// The bus a word is judged for.
struct Bus {
    double lengthMetres = 0;  // to be covered; 0: the nodes' delay alone
    double nodeDelayNs = kDefaultNodeDelayNs;
    double cableDelayNsPerMetre = kCableDelayNsPerMetre;
};

enum class Bound {
    PhaseSegments,  // the phase error of 13 bits must fit into the shorter phase segment
    Sjw,            // one resynchronisation must make up for 10 bits of drift
};

struct Limits {
    // Time segment 1 split into propagation segment and phase segment 1,
    // which the controller does not tell apart; see of().
    int propagationSegment = 0;
    int phaseSegment1 = 0;
    int phaseSegment2 = 0;
    // How far each node's clock may be off its nominal frequency, in
    // percent, and the relation that limits it.
    double tolerancePercent = 0;
    Bound bound = Bound::PhaseSegments;
    // The longest cable between two nodes; below 0 when the propagation
    // segment does not cover even the nodes' own delay.
    double maxLengthMetres = 0;

    bool covers(const Bus& bus) const { return maxLengthMetres >= bus.lengthMetres; }
};

// The figures of a word's fields at the controller's 36 MHz. Phase segment 1
// is taken as long as phase segment 2 where time segment 1 leaves the one
// quantum of propagation segment CAN requires: shorter, it would lower the
// tolerance below what phase segment 2 allows; longer, it would buy no
// tolerance and only shorten the bus. So both figures hold at once.
Limits of(const BitTiming::Fields& fields, const Bus& bus = Bus());

// The longest SJW the phase segments take: no longer than either, and 4.
int longestSjw(const Limits& limits);

// "±0.3125 %": rounded down to four decimals, never more than the relation gives.
QString toleranceText(double percent);
// "6808 m", rounded down to the metre; "无" when there is no bus at all.
QString lengthText(double metres);
// "总线最长 6808 m", or that the propagation segment is shorter than twice
// the node delay.
QString lengthPhrase(const Limits& limits);
// What the length assumes: "节点延迟 335 ns，电缆 5 ns/m".
QString busText(const Bus& bus);
// "受SJW限制" or "受相位段限制".
QString boundText(Bound bound);

// The recommendations a word misses, translated, each a phrase: a sample
// point far from 87.5 % at the rates of CANopen and J1939, and an SJW shorter
// than fits where a longer one would raise the tolerance.
QStringList notes(const BitTiming::Fields& fields, const Bus& bus = Bus());

// The channel editor's line beside a word: rate and sample point, the clock
// tolerance and the longest bus, quanta and SJW, then the notes; for a word
// without bit timing ("自适应") or with a problem, what BitTiming::describe()
// says of it.
QString describe(const QByteArray& word, const Bus& bus = Bus());

}  // namespace BusLimits
