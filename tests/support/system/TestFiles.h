#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file's bytes; text mode reads the platform's line ends (CRLF on
// Windows) as "\n".
inline QByteArray readFile(const QString& path, QIODevice::OpenMode mode = QIODevice::NotOpen) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly | mode) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A register text with a full-width comma, as a Chinese input method types
// it; hex decoding skips it. Its bytes differ between UTF-8 and GB18030.
const QString kFullWidthId = QStringLiteral("12，34 56 78");
const QByteArray kFullWidthIdUtf8 = QByteArray("12") + "\xEF\xBC\x8C" + "34 56 78";
