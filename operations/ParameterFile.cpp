#include "ParameterFile.h"

#include <QFile>
#include <QJsonParseError>
#include <QSaveFile>
#include <QTextCodec>
#include <QTextStream>

namespace {
const QString kCanParam = QStringLiteral("CANParam");
const QString kFiberParam = QStringLiteral("FiberParam");
const QString kRoute = QStringLiteral("Route");

const QString kWriteFailed = QStringLiteral("写配置文件失败.");
const QString kOpenFailed = QStringLiteral("打开配置文件失败.");
const QString kParseFailed = QStringLiteral("解析配置文件失败.");

constexpr int kUtf8Mib = 106;

// The file's text as UTF-8, which is what the parser reads. Files are
// written in UTF-8; one that is not valid UTF-8 was written in the system's
// 8-bit encoding (by earlier tools) and is decoded with it. Where that
// encoding is UTF-8 itself, the bytes go to the parser as they are, so that
// it reports them instead of their being replaced.
QByteArray asUtf8(const QByteArray& bytes) {
    QTextCodec::ConverterState state;
    const QString text =
        QTextCodec::codecForMib(kUtf8Mib)->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0) return text.toUtf8();
    QTextCodec* local = QTextCodec::codecForLocale();
    if (local->mibEnum() == kUtf8Mib) return bytes;
    return local->toUnicode(bytes).toUtf8();
}
}  // namespace

bool ParameterFile::save(const QString& path, const QJsonDocument& document, QString* warning) {
    QSaveFile file(path);
    // A file the user may overwrite in a folder where no new file can be
    // created is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *warning = kWriteFailed + file.errorString();
        return false;
    }
    if (!write(file, document, warning) || file.error() != QFileDevice::NoError) {
        *warning = kWriteFailed + file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *warning = kWriteFailed + file.errorString();
        return false;
    }
    return true;
}

bool ParameterFile::write(QIODevice& device, const QJsonDocument& document, QString* warning) {
    // UTF-8 without a byte order mark: what Open reads on every system, and
    // byte for byte what earlier tools wrote for ASCII text.
    QTextStream stream(&device);
    stream.setCodec("UTF-8");
    stream << document.toJson(QJsonDocument::Indented);
    stream.flush();
    if (stream.status() == QTextStream::Ok) return true;
    *warning = kWriteFailed + device.errorString();
    return false;
}

bool ParameterFile::load(const QString& path, QJsonObject* object, QString* warning) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *warning = kOpenFailed + file.errorString();
        return false;
    }
    // Reading one byte past the limit also catches files whose size is not
    // known in advance.
    const QByteArray text = file.read(kMaxFileSize + 1);
    if (text.size() > kMaxFileSize) {
        *warning = kOpenFailed + QStringLiteral("文件大于1 MiB.");
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        *warning = kOpenFailed + file.errorString();
        return false;
    }
    file.close();
    return parse(text, object, warning);
}

bool ParameterFile::parse(const QByteArray& text, QJsonObject* object, QString* warning) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(asUtf8(text), &error);
    if (document.isNull() || error.error != QJsonParseError::NoError) {
        *warning = kParseFailed + error.errorString();
        return false;
    }
    const QJsonObject top = document.object();
    if (!document.isObject() || !top.contains(kCanParam) || !top.contains(kFiberParam) ||
        !top.contains(kRoute)) {
        *warning = kParseFailed;
        return false;
    }
    *object = top;
    return true;
}
