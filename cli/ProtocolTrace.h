#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include "HIDDevice.h"

class QTextStream;

// The command line's --trace: one line on standard error for every device
// opened, every report sent (">") and every reply received ("<"), in hex,
// with the milliseconds since the program started; a time-out is a line of
// its own with its limit. A reply of 16 bytes to a command is followed by a
// line ("=") that says what it means: the command's name and the field it
// carries.
class ProtocolTrace : public DeviceTrace {
    Q_DECLARE_TR_FUNCTIONS(ProtocolTrace)
public:
    ProtocolTrace(QTextStream& stream, const QElapsedTimer& clock);

    void opened(const std::string& path, bool ok) override;
    void written(const unsigned char* data, size_t length, int result) override;
    void read(const unsigned char* data, int result, int milliseconds) override;

private:
    void line(const QString& text);
    // "查询硬件类型：类型4，Orvex-A4": what a reply to the command `code`
    // means; empty for a code the device does not know.
    static QString meaning(unsigned char code, const unsigned char* reply);

    QTextStream& m_stream;
    const QElapsedTimer& m_clock;
    int m_lastCode = -1;  // the command of the last frame sent whole; -1: none
};
