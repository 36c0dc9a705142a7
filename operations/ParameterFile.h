#pragma once

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QVector>

#include "MisplacedChannels.h"
#include "ParameterDocument.h"

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
    // How a file is taken. The window's Open is lenient: a key given twice
    // is noted, and the parser keeps its last value, as earlier tools did.
    // The command line is strict: a key given twice refuses the file, since
    // only the person who wrote it knows which value was meant.
    enum class Reading { Lenient, Strict };

    // A parameter file as opened.
    struct Opened {
        bool isOpen = false;
        // A JSON object with "CANParam", "FiberParam" and "Route".
        QJsonObject object;
        // Why the file could not be read or parsed, translated, naming the
        // file: the system's reason, the line and column of a syntax error,
        // the member missing, an empty or UTF-16 file. Empty when it was, and
        // when only a key given twice refused it.
        QString warning;
        // Keys given twice, each where it stands again and why; read
        // strictly, the file is not open when there is one.
        QVector<ParameterDocument::Problem> duplicates;
        // "CANParam" elements whose "ChannalID" is not their place, which
        // the window and the command line apply to different channels.
        QVector<MisplacedChannels::Misplaced> misplaced;
        // The bytes as read, for a record of which file it was.
        QByteArray bytes;
    };
    // A file of at most kMaxFileSize bytes in UTF-8 or, failing that, in the
    // system's 8-bit encoding (GB18030 where that is UTF-8 itself).
    static Opened open(const QString& path, Reading reading);
    // The same from a device that is open already (standard input); `name`
    // names it in the warning.
    static Opened open(QIODevice& device, const QString& name, Reading reading);
    // The same for a file's bytes, already read: a JSON object with the three
    // members, or the warning. `utf8`, when given, receives the text as it was
    // parsed, in UTF-8.
    static bool parse(const QByteArray& text, const QString& name, QJsonObject* object, QString* warning,
                      QByteArray* utf8 = nullptr);
    // Why a file could not be read or written, from what Qt's file classes
    // report: the common reasons in the program's language, others as the
    // system words them.
    static QString reason(const QString& systemText);
};
