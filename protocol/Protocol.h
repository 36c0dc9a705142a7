#pragma once

#include <QByteArray>
#include <QString>

// The repeater's command set: frame layout, command codes, payload lengths,
// reply time-outs and the status each reply must carry.
//
// A command frame is one 17-byte HID output report:
//   00 (report number), 12 (frame head), code, payload length, payload, zero fill.
// Every command is answered by one 16-byte input report without report
// number; byte 2 is the status where a status is tested.
namespace Protocol {

constexpr unsigned short VendorId = 0x0483;
constexpr unsigned short ProductId = 0x6901;

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

// The catalogue, each command with where the data of its reply lies: byte
// positions of the 16 reply bytes, counted from 0 (a reply has no report
// number). A set command's reply carries only its status.
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

struct CommandInfo {
    Command command;
    unsigned char payloadLength;  // the frame's length byte
    int timeout;                  // ms
    bool statusTested;
    unsigned char requiredStatus;  // meaningful only when statusTested
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

// What a version reply says: "major.minor", the minor in two digits ("1.02").
QString versionText(const unsigned char* reply);
// What a card-number reply says: its text up to the first zero byte, at most
// to the end of the 16 reply bytes.
QString cardNumberText(const unsigned char* reply);

}  // namespace Protocol
