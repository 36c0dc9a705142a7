#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

class QIODevice;

// The parameter file on disk: one JSON document in a text file (what it
// holds is ParameterDocument's). Warnings are returned as the texts the
// user sees, translated in the context "Tarvane", with the system's reason.
class ParameterFile {
public:
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    // Writes UTF-8 text. Replaces the file only once the whole document is
    // written, so a failure leaves the old file as it was, and keeps its
    // permissions. Where its folder takes no new file, the file is written
    // in place, and its old content put back if that fails; a device or a
    // pipe is written as it is.
    static bool save(const QString& path, const QJsonDocument& document, QString* warning);
    // The document as a parameter file's text, onto an open device: what
    // save() puts into the file.
    static bool write(QIODevice& device, const QJsonDocument& document, QString* warning);
    // A JSON object with "CANParam", "FiberParam" and "Route", from a file of
    // at most kMaxFileSize bytes in UTF-8 or, failing that, in the system's
    // 8-bit encoding (GB18030 where that is UTF-8 itself).
    // Where the document is no object or lacks a member, `detail` (when
    // given) says so; the window's warning names no member.
    static bool load(const QString& path, QJsonObject* object, QString* warning, QString* detail = nullptr);
    // The same for a file's bytes, already read.
    static bool parse(const QByteArray& text, QJsonObject* object, QString* warning, QString* detail = nullptr);
};
