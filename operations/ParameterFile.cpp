#include "ParameterFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonParseError>
#include <QSaveFile>
#include <QTextCodec>

#include "JsonDuplicates.h"
#include "ParameterDocument.h"
#include "platform/FileErrors.h"

namespace {
const char* const kWriteFailed = QT_TRANSLATE_NOOP("ParameterFile", "写配置文件失败.");
const char* const kOpenFailed = QT_TRANSLATE_NOOP("ParameterFile", "打开配置文件失败.");
const char* const kParseFailed = QT_TRANSLATE_NOOP("ParameterFile", "解析配置文件失败.");

// The system's reason in the program's language where it is a common one,
// else as the system words it.
QString reasonText(const QString& systemText) {
    switch (fileErrorOf(systemText)) {
        case FileError::PermissionDenied:
            return ParameterFile::tr("没有权限");
        case FileError::ReadOnly:
            return ParameterFile::tr("只读的磁盘或文件夹");
        case FileError::NoSpace:
            return ParameterFile::tr("磁盘空间不足");
        case FileError::NotFound:
            return ParameterFile::tr("文件或文件夹不存在");
        case FileError::IsDirectory:
            return ParameterFile::tr("这是一个文件夹");
        case FileError::Other:
            break;
    }
    return systemText;
}

// "写配置文件失败. D:\\site\\a.txt：没有权限": what failed first, as it
// always read, then which file and why.
QString failure(const char* what, const QString& path, const QString& why) {
    QString text = ParameterFile::tr(what);
    if (!text.endsWith(QLatin1Char(' '))) text += QLatin1Char(' ');
    return text + ParameterFile::tr("%1：%2").arg(QDir::toNativeSeparators(path), why);
}

// Where a parse error lies, counted as an editor counts: lines and columns
// from 1. The parser's offset lies just past the character it stopped at. A
// CR that ends a line belongs to its line end, whatever the file's line ends.
QString parsePosition(const QByteArray& text, int offset) {
    QByteArray before = text.left(qMax(0, offset - 1));
    if (before.endsWith('\r')) before.chop(1);
    const int lineStart = before.lastIndexOf('\n') + 1;
    const int column = QString::fromUtf8(before.mid(lineStart)).size() + 1;
    return ParameterFile::tr("第%1行第%2列").arg(before.count('\n') + 1).arg(column);
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
    ParameterFile::write(buffer, QString(), document, &ignored);
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

bool ParameterFile::replacesByRename(const QString& path) {
    const QFileInfo target(path);
    return !target.exists() || target.isFile() || target.isDir();
}

bool ParameterFile::save(const QString& path, const QJsonDocument& document, QString* warning) {
    const QByteArray bytes = fileBytes(document);
    const QFileInfo target(path);
    const bool existingFile = target.isFile();
    // Before the new file stands in its place; the "User" bits say what this
    // process may do, which root's write would turn into an owner's.
    const QFile::Permissions permissions =
        target.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QString reason;
    if (!replacesByRename(path)) {
        if (writeInPlace(path, bytes, &reason)) return true;
        *warning = failure(kWriteFailed, path, reasonText(reason));
        return false;
    }
    // A new file, renamed over the old one once it is whole, so that a failure
    // leaves the old file as it was; it keeps the old file's permissions.
    QSaveFile file(path);
    // Unbuffered, the bytes reach the new file here and a full disk says so,
    // not in commit(), which would put the cut file in the old one's place.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (!writeAll(file, bytes, &reason)) {
            *warning = failure(kWriteFailed, path, reasonText(reason));
            file.cancelWriting();  // the new file goes with the object
            return false;
        }
        if (!file.commit()) {
            *warning = failure(kWriteFailed, path, reasonText(file.errorString()));
            return false;
        }
        if (existingFile) QFile::setPermissions(path, permissions);
        return true;
    }
    // A file the user may overwrite, in a folder that takes no new file.
    if (existingFile && writeInPlace(path, bytes, &reason)) return true;
    *warning = failure(kWriteFailed, path, reasonText(reason.isEmpty() ? file.errorString() : reason));
    return false;
}

bool ParameterFile::write(QIODevice& device, const QString& name, const QJsonDocument& document,
                          QString* warning) {
    // UTF-8 without a byte order mark, as the document gives it: what Open
    // reads on every system, and byte for byte what earlier tools wrote for
    // ASCII text. A device in text mode makes the line ends the platform's.
    const QByteArray text = document.toJson(QJsonDocument::Indented);
    if (device.write(text) == text.size()) return true;
    *warning = failure(kWriteFailed, name, reasonText(device.errorString()));
    return false;
}

ParameterFile::Opened ParameterFile::open(const QString& path, Reading reading) {
    // Its bytes as they are, line ends and all, for the record.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Opened opened;
        opened.warning = failure(kOpenFailed, path, reasonText(file.errorString()));
        return opened;
    }
    return open(file, path, reading);
}

ParameterFile::Opened ParameterFile::open(QIODevice& device, const QString& name, Reading reading) {
    Opened opened;
    // Reading one byte past the limit also catches files whose size is not
    // known in advance.
    opened.bytes = device.read(kMaxFileSize + 1);
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    if (opened.bytes.size() > kMaxFileSize)
        opened.warning = failure(kOpenFailed, name, tr("文件大于1 MiB."));
    else if (file && file->error() != QFileDevice::NoError)
        opened.warning = failure(kOpenFailed, name, reasonText(file->errorString()));
    QByteArray utf8;
    if (!opened.warning.isEmpty() || !parse(opened.bytes, name, &opened.object, &opened.warning, &utf8))
        return opened;
    // What the parser does not check: a key given twice, read from the text itself.
    for (const JsonDuplicates::Duplicate& duplicate : JsonDuplicates::find(utf8))
        opened.duplicates.append({duplicate.where, duplicate.why()});
    opened.misplaced = MisplacedChannels::find(opened.object);
    opened.isOpen = reading == Reading::Lenient || opened.duplicates.isEmpty();
    return opened;
}

bool ParameterFile::parse(const QByteArray& text, const QString& name, QJsonObject* object, QString* warning,
                          QByteArray* utf8Text) {
    QString why;
    if (text.trimmed().isEmpty()) {
        why = tr("文件是空的");
    } else if (text.startsWith(QByteArray("\xFF\xFE\0\0", 4)) ||
               text.startsWith(QByteArray("\0\0\xFE\xFF", 4)) ||
               (text.size() >= 8 && text.count('\0') >= 3 * text.size() / 4 - 1)) {
        // Four bytes a character, three of them zero for the JSON's ASCII.
        why = tr("文件是UTF-32编码，须为UTF-8");
    } else if (text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF") ||
               (text.size() > 1 && (text.at(0) == '\0' || text.at(1) == '\0'))) {
        // Notepad's "Unicode": the parser would only say "illegal value".
        why = tr("文件是UTF-16编码，须为UTF-8");
    }
    const QByteArray utf8 = asUtf8(text);
    QJsonParseError error;
    const QJsonDocument document = why.isEmpty() ? QJsonDocument::fromJson(utf8, &error) : QJsonDocument();
    if (why.isEmpty() && (document.isNull() || error.error != QJsonParseError::NoError))
        why = parsePosition(utf8, error.offset) + tr("：") + error.errorString();
    if (why.isEmpty()) why = ParameterDocument::topLevelProblem(document);
    if (!why.isEmpty()) {
        *warning = failure(kParseFailed, name, why);
        return false;
    }
    *object = document.object();
    if (utf8Text) *utf8Text = utf8;
    return true;
}

QString ParameterFile::reason(const QString& systemText) {
    return reasonText(systemText);
}
