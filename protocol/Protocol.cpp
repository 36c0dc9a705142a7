#include "Protocol.h"

#include <algorithm>

namespace Protocol {

namespace {

const CommandInfo kCatalogue[] = {
    {Command::QueryHardwareVersion, 0x01, QuickQueryTimeout, false, 0},
    {Command::Reset, 0x01, ResetTimeout, true, StatusAccepted},
    {Command::QueryFirmwareVersion, 0x01, QuickQueryTimeout, false, 0},
    {Command::QueryCardNumber, 0x01, QuickQueryTimeout, false, 0},
    {Command::QueryHardwareType, 0x01, QuickQueryTimeout, false, 0},
    {Command::SetCanBaudRate, 0x06, SetTimeout, true, StatusAccepted},
    {Command::SetCanFilter, 0x0B, SetTimeout, true, StatusAccepted},
    {Command::SetFiberBaudRate, 0x05, SetTimeout, true, StatusAccepted},
    {Command::QueryFiberBaudRate, 0x01, QueryTimeout, false, 0},
    {Command::SetRoute, 0x09, SetTimeout, true, StatusAccepted},
    {Command::QueryRoute, 0x01, QueryTimeout, false, 0},
    {Command::QueryCanBaudRate, 0x01, QueryTimeout, true, StatusBaudRateValid},
    {Command::QueryCanFilter, 0x02, QuickQueryTimeout, false, 0},
};

}  // namespace

const CommandInfo* find(unsigned char code) {
    for (const CommandInfo& entry : kCatalogue) {
        if (static_cast<unsigned char>(entry.command) == code) return &entry;
    }
    return nullptr;
}

const CommandInfo& info(Command command) {
    const CommandInfo* entry = find(static_cast<unsigned char>(command));
    // Every enumerator is in the catalogue; the fallback only keeps this total.
    return entry != nullptr ? *entry : kCatalogue[0];
}

QByteArray frame(Command command, const QByteArray& payload) {
    const CommandInfo* entry = find(static_cast<unsigned char>(command));
    if (entry == nullptr || payload.size() > entry->payloadLength) return QByteArray();
    QByteArray result(FrameSize, '\0');
    char* bytes = result.data();
    bytes[0] = static_cast<char>(ReportNumber);
    bytes[1] = static_cast<char>(FrameHead);
    bytes[2] = static_cast<char>(command);
    bytes[3] = static_cast<char>(entry->payloadLength);
    std::copy(payload.cbegin(), payload.cend(), bytes + HeaderSize);
    return result;
}

QString versionText(const unsigned char* reply) {
    return QString::asprintf("%d.%02d", reply[Reply::VersionMajor], reply[Reply::VersionMinor]);
}

QString cardNumberText(const unsigned char* reply) {
    const char* text = reinterpret_cast<const char*>(reply) + Reply::CardNumber;
    return QString::fromUtf8(text, int(std::find(text, text + ReplySize - Reply::CardNumber, '\0') - text));
}

}  // namespace Protocol
