#pragma once

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

class QIODevice;

// The parameter file on disk: one JSON document in a text file (what it
// holds is ParameterDocument's). Warnings are returned as the texts the
// user sees, translated: what failed, then the file and why.
class ParameterFile {
    Q_DECLARE_TR_FUNCTIONS(ParameterFile)

public:
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    // Writes UTF-8 text. Replaces the file only once the whole document is
    // written, so a failure leaves the old file as it was, and keeps its
    // permissions. Where its folder takes no new file, the file is written
    // in place, and its old content put back if that fails; a device or a
    // pipe is written as it is.
    static bool save(const QString& path, const QJsonDocument& document, QString* warning);
    // Whether save() writes a new file beside `path` and renames it over it
    // (a regular file, or none yet), rather than writing a device or pipe as it is.
    static bool replacesByRename(const QString& path);
    // The document as a parameter file's text, onto an open device: what
    // save() puts into the file.
    // `name` is what the warning calls the device.
    static bool write(QIODevice& device, const QString& name, const QJsonDocument& document,
                      QString* warning);
    // A JSON object with "CANParam", "FiberParam" and "Route", from a file of
    // at most kMaxFileSize bytes in UTF-8 or, failing that, in the system's
    // 8-bit encoding (GB18030 where that is UTF-8 itself). A warning names
    // the file and says why: the system's reason, the line and column of a
    // syntax error, the member missing, an empty or UTF-16 file.
    // `text`, when given, receives the text as it was parsed, in UTF-8, for
    // the checks the parser does not make (a key given twice).
    static bool load(const QString& path, QJsonObject* object, QString* warning, QByteArray* text = nullptr);
    // The same from a device that is open already (standard input); `name`
    // names it in the warning. `bytes`, when given, receives the bytes as
    // read, for a record of which file it was.
    static bool read(QIODevice& device, const QString& name, QJsonObject* object, QString* warning,
                     QByteArray* text = nullptr, QByteArray* bytes = nullptr);
    // The same for a file's bytes, already read.
    static bool parse(const QByteArray& text, const QString& name, QJsonObject* object, QString* warning,
                      QByteArray* utf8 = nullptr);
    // Why a file could not be read or written, from what Qt's file classes
    // report: the common reasons in the program's language, others as the
    // system words them.
    static QString reason(const QString& systemText);
};
