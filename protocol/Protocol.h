#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// The repeater's command set: frame layout, command codes, payload lengths,
// reply time-outs, the status each reply must carry, and each command as a
// type: a request that builds its 17-byte frame from plain fields, a parser
// that takes a reply's values or says why it cannot, and what the reply
// says for --trace. The values turn parameters into requests and take the
// values of replies back; the link sends frames and tests each status.
//
// A command frame is one 17-byte HID output report:
//   00 (report number), 12 (frame head), code, payload length, payload, zero fill.
// Every command is answered by one 16-byte input report without report
// number; byte 2 is the status where a status is tested.
//
// A new command is its code in Command, its row in the catalogue
// (Protocol.cpp) and its type below; the simulated firmware answers it.
namespace Protocol {

// The repeater's USB ids, written here alone: the udev rule and the manual
// page are filled in from these lines at configure time.
constexpr unsigned short VendorId = 0x0483;
constexpr unsigned short ProductId = 0x6901;
// "0483:6901", as lsusb and the help write the ids.
QString usbIdText();

constexpr int FrameSize = 17;
constexpr int HeaderSize = 4;  // report number, frame head, code, length
constexpr int ReplySize = 16;
// Two bytes more than a reply and kept zero, so a text reply always ends.
constexpr int ReplyBufferSize = 18;

constexpr unsigned char ReportNumber = 0x00;
constexpr unsigned char FrameHead = 0x12;
constexpr int StatusByte = 2;                        // of every reply
constexpr unsigned char StatusAccepted = 0x81;       // a set command was applied
constexpr unsigned char StatusBaudRateValid = 0x86;  // a CAN baud-rate reply is valid

// Reply time-outs in milliseconds.
constexpr int QuickQueryTimeout = 10;  // identity and filter-bank queries
constexpr int SetTimeout = 50;
constexpr int QueryTimeout = 100;
constexpr int ResetTimeout = 4000;

enum class Command : unsigned char {
    QueryHardwareVersion = 0x01,
    Reset = 0x11,
    QueryFirmwareVersion = 0x12,
    QueryCardNumber = 0x14,
    QueryHardwareType = 0x15,
    SetCanBaudRate = 0x23,
    SetCanFilter = 0x24,
    SetFiberBaudRate = 0x25,
    QueryFiberBaudRate = 0x26,
    SetRoute = 0x27,
    QueryRoute = 0x28,
    QueryCanBaudRate = 0xA4,
    QueryCanFilter = 0xA5,
};

// Where the data of each reply lies: byte positions of the 16 reply bytes,
// counted from 0 (a reply has no report number). A set command's reply
// carries only its status.
namespace Reply {
// QueryHardwareVersion, QueryFirmwareVersion: "major.minor".
constexpr int VersionMinor = 4;
constexpr int VersionMajor = 5;
// QueryCardNumber: text up to the first zero byte.
constexpr int CardNumber = 4;
// QueryHardwareType: the type code.
constexpr int HardwareType = 4;
// QueryCanBaudRate: the 4-byte bit-timing word.
constexpr int BaudRateWord = 5;
// QueryCanFilter: bank 0 ... 13, flags, mode, 4-byte ID and mask registers.
constexpr int FilterBank = 3;
constexpr int FilterFlags = 4;
constexpr int FilterMode = 5;
constexpr int FilterId = 6;
constexpr int FilterMask = 10;
constexpr int FilterEnd = 14;  // the bytes before it are read
// QueryFiberBaudRate: the code of fiber channel i at FiberCodes + i.
constexpr int FiberCodes = 3;
// QueryRoute: the row byte of each route channel, CAN1, CAN2, Fiber1 ...
// Fiber4. SetRoute's frame carries the rows one byte later, after the
// report number.
constexpr int RouteRows[] = {4, 5, 8, 9, 10, 11};
}  // namespace Reply

constexpr int WordSize = 4;  // a bit-timing word, a filter register
constexpr int FilterBankCount = 14;
constexpr int FiberChannelCount = 4;
constexpr int FiberRateCount = 12;
constexpr int RouteChannelCount = 6;  // CAN1, CAN2, Fiber1 ... Fiber4

// A bit-timing word or a filter register, first byte first.
using Word = std::array<quint8, WordSize>;
// The baud-rate code of fiber channels 1 ... 4; 0 for a channel the device lacks.
using FiberCodes = std::array<quint8, FiberChannelCount>;
// A row byte per route channel, CAN1, CAN2, Fiber1 ... Fiber4: the routes
// from that channel, a bit for each channel it sends to (RouteBits).
using RouteRows = std::array<quint8, RouteChannelCount>;
// The bit of each route channel in a row byte.
constexpr int RouteBits[RouteChannelCount] = {7, 6, 3, 2, 1, 0};

QByteArray wordBytes(const Word& word);
// The first WordSize bytes; missing ones are zero.
Word wordOf(const QByteArray& bytes);

// "5K" ... "2250K" for the fiber codes 1 ... 12; empty for any other code.
QString fiberRateText(int code);

// What the layers above know of a reply's values that the protocol does
// not: the channels' names in the current language and what a bit-timing
// word means. Describing a reply needs both.
struct Glossary {
    QString (*channelName)(int routeChannel) = nullptr;
    QString (*bitTimingWord)(const QByteArray& word) = nullptr;
};

struct CommandInfo {
    Command command;
    unsigned char payloadLength;  // the frame's length byte
    int timeout;                  // ms
    bool statusTested;
    unsigned char requiredStatus;  // meaningful only when statusTested
    const char* name;              // for --trace, translated in the context "ProtocolTrace"
    // What an accepted reply of 16 bytes says, translated: its values, or
    // an empty text for a reply that carries none.
    QString (*describe)(const QByteArray& reply, const Glossary& glossary);
};

// The catalogue entry of a code, or nullptr for a code the device does not know.
const CommandInfo* find(unsigned char code);
// The catalogue entry of a command (every Command has one).
const CommandInfo& info(Command command);

// The 17-byte frame of `command` carrying `payload` from byte 4 on, zero
// filled; byte 3 is the command's payload length from the catalogue, whatever
// the size of `payload`. A shorter payload leaves the rest zero. A payload
// longer than the command's length cannot be sent whole, so it is refused:
// the result is then empty, and an empty frame is never sent.
QByteArray frame(Command command, const QByteArray& payload = QByteArray());

// "查询硬件类型：类型4，Orvex-A4": the command's name and what its reply
// says, or that the reply was not accepted; empty for a code the device
// does not know.
QString describeReply(unsigned char code, const QByteArray& reply, const Glossary& glossary);

// Why the values of a reply cannot be taken.
enum class ReplyError {
    None,
    TooShort,     // it ends before the bytes its values lie in
    WrongStatus,  // not the status the command requires
    NoSuchBank,   // a filter reply naming a bank outside 0 ... 13
};

template <typename Values>
struct Parsed {
    ReplyError error = ReplyError::None;
    Values values{};
    bool ok() const { return error == ReplyError::None; }
};

// A set command's reply carries nothing but its status.
struct Acknowledgement {};
Parsed<Acknowledgement> parseAcknowledgement(Command command, const QByteArray& reply);

struct Version {
    int major = 0;
    int minor = 0;
    // "major.minor", the minor in two digits ("1.02").
    QString text() const;
};

// One acceptance-filter bank.
struct FilterBank {
    int bank = 0;  // 0 ... 13
    bool inUse = false;
    bool listMode = false;  // else mask mode
    bool wide = false;      // 32 bits, else 16
    Word id{};
    Word mask{};
};

// 0x15: the type code (HardwareModel.h says what it stands for).
struct QueryHardwareType {
    QByteArray frame() const;
    static Parsed<int> parse(const QByteArray& reply);
    static QString describe(const QByteArray& reply, const Glossary& glossary);
};

// 0x14: the card number.
struct QueryCardNumber {
    QByteArray frame() const;
    // The text up to the first zero byte, at most to the end of the reply.
    static Parsed<QString> parse(const QByteArray& reply);
    static QString describe(const QByteArray& reply, const Glossary& glossary);
};

// 0x01 and 0x12: the hardware and the firmware version.
template <Command code>
struct QueryVersion {
    QByteArray frame() const { return Protocol::frame(code); }
    static Parsed<Version> parse(const QByteArray& reply);
    static QString describe(const QByteArray& reply, const Glossary& glossary);
};
using QueryHardwareVersion = QueryVersion<Command::QueryHardwareVersion>;
using QueryFirmwareVersion = QueryVersion<Command::QueryFirmwareVersion>;

// The queries of a Read that carry no bank of their own repeat in byte 5
// the bank of the last filter query before them (0 before the first): the
// device has always been sent them that way.

// 0xA4: the bit-timing word of one CAN channel, valid with status 0x86.
struct QueryCanBaudRate {
    int channel = 1;
    int lastBank = 0;
    QByteArray frame() const;
    static Parsed<Word> parse(const QByteArray& reply);
    static QString describe(const QByteArray& reply, const Glossary& glossary);
};

// 0xA5: one filter bank of one CAN channel; the reply names its bank.
struct QueryCanFilter {
    int channel = 1;
    int bank = 0;
    QByteArray frame() const;
    // Only bit 7 of the flags and bits 4 and 0 of the mode are read.
    static Parsed<FilterBank> parse(const QByteArray& reply);
    static QString describe(const QByteArray& reply, const Glossary& glossary);
};

// 0x26.
struct QueryFiberBaudRate {
    int lastBank = 0;
    QByteArray frame() const;
    static Parsed<FiberCodes> parse(const QByteArray& reply);
    static QString describe(const QByteArray& reply, const Glossary& glossary);
};

// 0x28.
struct QueryRoute {
    int lastBank = 0;
    QByteArray frame() const;
    static Parsed<RouteRows> parse(const QByteArray& reply);
    static QString describe(const QByteArray& reply, const Glossary& glossary);
};

// The set commands and the reset: their replies carry only the status,
// which the catalogue's row describes.

// 0x23: the channel's low eight bits and its word.
struct SetCanBaudRate {
    int channel = 1;
    Word word{};
    QByteArray frame() const;
    static Parsed<Acknowledgement> parse(const QByteArray& reply);
};

// 0x24: the bank, the channel's low four bits beside its in-use flag.
struct SetCanFilter {
    int channel = 1;
    FilterBank bank;
    QByteArray frame() const;
    static Parsed<Acknowledgement> parse(const QByteArray& reply);
};

// 0x25.
struct SetFiberBaudRate {
    FiberCodes codes{};
    QByteArray frame() const;
    static Parsed<Acknowledgement> parse(const QByteArray& reply);
};

// 0x27.
struct SetRoute {
    RouteRows rows{};
    QByteArray frame() const;
    static Parsed<Acknowledgement> parse(const QByteArray& reply);
};

// 0x11, the last step of a Write: the device restarts with what it was sent.
struct Reset {
    QByteArray frame() const;
    static Parsed<Acknowledgement> parse(const QByteArray& reply);
};

}  // namespace Protocol
