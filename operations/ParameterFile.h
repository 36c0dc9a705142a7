#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

class QIODevice;

// The parameter file on disk: one JSON document in a text file (what it
// holds is ParameterDocument's). Warnings are returned as the texts the
// user sees; they are not translated.
class ParameterFile {
public:
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    // Writes UTF-8 text. Replaces the file only once the whole document is
    // written, so a failure leaves the old file as it was; only where its
    // folder takes no new file is the file written in place.
    static bool save(const QString& path, const QJsonDocument& document, QString* warning);
    // The document as a parameter file's text, onto an open device: what
    // save() puts into the file.
    static bool write(QIODevice& device, const QJsonDocument& document, QString* warning);
    // A JSON object with "CANParam", "FiberParam" and "Route", from a file of
    // at most kMaxFileSize bytes in UTF-8 or, failing that, in the system's
    // 8-bit encoding.
    static bool load(const QString& path, QJsonObject* object, QString* warning);
    // The same for a file's bytes, already read.
    static bool parse(const QByteArray& text, QJsonObject* object, QString* warning);
};
