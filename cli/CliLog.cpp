#include "CliLog.h"

#include <QDateTime>
#include <QDir>
#include <QJsonDocument>

#include "CliAll.h"
#include "CliInterrupts.h"
#include "CliSession.h"
#include "TarvaneCli.h"
#include "platform/AppendFile.h"

namespace {

QJsonValue orNull(const QString& text) {
    return text.isNull() ? QJsonValue() : QJsonValue(text);
}

QByteArray line(const QJsonObject& entry) {
    return QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace

CliLog::CliLog(const QString& path, const char* command) : m_path(path), m_command(command) {}

int CliLog::check(CliSession& session) const {
    QString why;
    if (!enabled() || appendWhole(m_path, QByteArray(), &why)) return CliExit::Done;
    session.message(TarvaneCli::tr("无法写入记录文件%1：%2").arg(QDir::toNativeSeparators(m_path), why));
    return CliExit::UsageOrFileError;
}

QJsonObject CliLog::entry(const Target& target, int status, const QString& result) const {
    const bool identified = target.identified;
    const char* step = target.step.load();
    const bool failed = status != CliExit::Done && status != CliExit::Differences;
    const auto [file, sha256] = target.recordFile();
    return {
        {QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("command"), QLatin1String(m_command)},
        {QStringLiteral("cardNumber"), identified ? QJsonValue(target.identity.strCardNum) : QJsonValue()},
        {QStringLiteral("name"), orNull(target.name)},
        {QStringLiteral("path"), QString::fromStdString(target.path)},
        {QStringLiteral("file"), orNull(file.isNull() ? QString() : QDir::toNativeSeparators(file))},
        {QStringLiteral("sha256"),
         sha256.isEmpty() ? QJsonValue() : QJsonValue(QString::fromLatin1(sha256.toHex()))},
        {QStringLiteral("result"), result},
        {QStringLiteral("step"), failed && step ? QJsonValue(QLatin1String(step)) : QJsonValue()},
        {QStringLiteral("exitStatus"), status},
    };
}

int CliLog::record(CliSession& session, Target& target, int status, const QString& result) const {
    if (!enabled()) return CliExit::Done;
    QString why;
    bool written = false;
    {
        // A signal meanwhile waits for the line, then ends the program.
        CliInterrupts::Hold hold(CliInterrupts::Hold::Record);
        written = appendWhole(m_path, line(entry(target, status, result)), &why);
        target.recorded = true;
    }
    if (written) return CliExit::Done;
    session.message(TarvaneCli::tr("无法写入记录文件%1：%2").arg(QDir::toNativeSeparators(m_path), why));
    return CliExit::UsageOrFileError;
}

void CliLog::recordStop(Target& target, int status, const QString& stopLine) const {
    if (!enabled() || target.recorded || target.path.empty()) return;
    QString ignored;  // the program ends now; the stop line has said what happened
    appendWhole(m_path, line(entry(target, status, stopLine)), &ignored);
    target.recorded = true;
}
