#include "ParameterFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonParseError>
#include <QSaveFile>
#include <QTextCodec>

namespace {
const QString kCanParam = QStringLiteral("CANParam");
const QString kFiberParam = QStringLiteral("FiberParam");
const QString kRoute = QStringLiteral("Route");

// Shown by the window, whose context they keep, and by the command line.
const char* const kWriteFailed = QT_TRANSLATE_NOOP("Tarvane", "写配置文件失败.");
const char* const kOpenFailed = QT_TRANSLATE_NOOP("Tarvane", "打开配置文件失败.");
const char* const kParseFailed = QT_TRANSLATE_NOOP("Tarvane", "解析配置文件失败.");
const char* const kTooLarge = QT_TRANSLATE_NOOP("Tarvane", "文件大于1 MiB.");

QString trTarvane(const char* text) {
    return QCoreApplication::translate("Tarvane", text);
}

constexpr int kUtf8Mib = 106;

// The file's text as UTF-8, which is what the parser reads. Files are
// written in UTF-8; one that is not valid UTF-8 was written in the system's
// 8-bit encoding by earlier tools, and where that encoding is UTF-8 itself
// (Linux), on a Chinese Windows: in GB18030, which holds GBK.
QByteArray asUtf8(const QByteArray& bytes) {
    QTextCodec::ConverterState state;
    const QString text =
        QTextCodec::codecForMib(kUtf8Mib)->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0) return text.toUtf8();
    QTextCodec* legacy = QTextCodec::codecForLocale();
    if (legacy->mibEnum() == kUtf8Mib) legacy = QTextCodec::codecForName("GB18030");
    // Without that codec the parser is given the bytes, and says what is wrong.
    return legacy ? legacy->toUnicode(bytes).toUtf8() : bytes;
}
}  // namespace

namespace {

// The file's bytes in the platform's text form (CRLF line ends on Windows).
QByteArray fileBytes(const QJsonDocument& document) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    QString ignored;
    ParameterFile::write(buffer, document, &ignored);
    return buffer.data();
}

// Writes all the bytes, or says why not: a write that takes only part of them
// (the disk is full) names no reason, the next one does.
bool writeAll(QFileDevice& file, const QByteArray& bytes, QString* reason) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            *reason = file.errorString();
            return false;
        }
        done += written;
    }
    return true;
}

// Writes the bytes into the file as it stands. A device or a pipe takes them
// as they come, as cp writes to one. A regular file is written over from its
// start and cut to the new length only at the end; where the writing fails
// (a full disk), its old bytes go back where they were, which needs no new
// room, and the reason is the system's.
bool writeInPlace(const QString& path, const QByteArray& bytes, QString* reason) {
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return writeAll(file, bytes, reason);
        *reason = file.errorString();
        return false;
    }
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    const QByteArray old = file.readAll();
    if (file.error() == QFileDevice::NoError && file.seek(0) && writeAll(file, bytes, reason)) {
        if (file.resize(bytes.size())) return true;
        *reason = file.errorString();
    } else if (reason->isEmpty()) {
        *reason = file.errorString();
    }
    file.unsetError();
    QString ignored;
    if (file.seek(0) && writeAll(file, old, &ignored)) file.resize(old.size());
    return false;
}

}  // namespace

bool ParameterFile::save(const QString& path, const QJsonDocument& document, QString* warning) {
    const QByteArray bytes = fileBytes(document);
    const QFileInfo target(path);
    const bool existingFile = target.isFile();
    // Before the new file stands in its place; the "User" bits say what this
    // process may do, which root's write would turn into an owner's.
    const QFile::Permissions permissions =
        target.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QString reason;
    if (target.exists() && !target.isFile() && !target.isDir()) {
        if (writeInPlace(path, bytes, &reason)) return true;
        *warning = trTarvane(kWriteFailed) + reason;
        return false;
    }
    // A new file, renamed over the old one once it is whole, so that a failure
    // leaves the old file as it was; it keeps the old file's permissions.
    QSaveFile file(path);
    // Unbuffered, the bytes reach the new file here and a full disk says so,
    // not in commit(), which would put the cut file in the old one's place.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (!writeAll(file, bytes, &reason)) {
            *warning = trTarvane(kWriteFailed) + reason;
            file.cancelWriting();  // the new file goes with the object
            return false;
        }
        if (!file.commit()) {
            *warning = trTarvane(kWriteFailed) + file.errorString();
            return false;
        }
        if (existingFile) QFile::setPermissions(path, permissions);
        return true;
    }
    // A file the user may overwrite, in a folder that takes no new file.
    if (existingFile && writeInPlace(path, bytes, &reason)) return true;
    *warning = trTarvane(kWriteFailed) + (reason.isEmpty() ? file.errorString() : reason);
    return false;
}

bool ParameterFile::write(QIODevice& device, const QJsonDocument& document, QString* warning) {
    // UTF-8 without a byte order mark, as the document gives it: what Open
    // reads on every system, and byte for byte what earlier tools wrote for
    // ASCII text. A device in text mode makes the line ends the platform's.
    const QByteArray text = document.toJson(QJsonDocument::Indented);
    if (device.write(text) == text.size()) return true;
    *warning = trTarvane(kWriteFailed) + device.errorString();
    return false;
}

bool ParameterFile::load(const QString& path, QJsonObject* object, QString* warning, QString* detail) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *warning = trTarvane(kOpenFailed) + file.errorString();
        return false;
    }
    // Reading one byte past the limit also catches files whose size is not
    // known in advance.
    const QByteArray text = file.read(kMaxFileSize + 1);
    if (text.size() > kMaxFileSize) {
        *warning = trTarvane(kOpenFailed) + trTarvane(kTooLarge);
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        *warning = trTarvane(kOpenFailed) + file.errorString();
        return false;
    }
    file.close();
    return parse(text, object, warning, detail);
}

bool ParameterFile::parse(const QByteArray& text, QJsonObject* object, QString* warning, QString* detail) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(asUtf8(text), &error);
    if (document.isNull() || error.error != QJsonParseError::NoError) {
        *warning = trTarvane(kParseFailed) + error.errorString();
        return false;
    }
    const QJsonObject top = document.object();
    QString missing;
    if (!document.isObject()) {
        missing = QCoreApplication::translate("ParameterDocument", "顶层须为对象");
    } else {
        for (const QString& key : {kCanParam, kFiberParam, kRoute})
            if (missing.isEmpty() && !top.contains(key))
                missing = QCoreApplication::translate("ParameterDocument", "缺少“%1”").arg(key);
    }
    if (!missing.isEmpty()) {
        *warning = trTarvane(kParseFailed);
        if (detail) *detail = missing;
        return false;
    }
    *object = top;
    return true;
}
