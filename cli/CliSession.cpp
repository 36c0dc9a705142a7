#include "CliSession.h"

#include <QFileDevice>

#include "HIDDevice.h"
#include "Protocol.h"
#include "RepeaterList.h"

CliSession::CliSession(const CliStreams& streams)
    : m_in(streams.in),
      m_outDevice(streams.out),
      m_errDevice(streams.err),
      m_out(&streams.out),
      m_err(&streams.err),
      m_progress(streams.progress) {
    m_clock.start();
    // The same bytes on every system, and the encoding of the parameter
    // files that "read -o -" writes here too.
    m_out.setCodec("UTF-8");
    m_err.setCodec("UTF-8");
}

CliSession::CliSession(const CliStreams& streams, const CliSession& parent) : CliSession(streams) {
    m_clock = parent.m_clock;
    m_strict = parent.m_strict;
    if (parent.m_trace) startTrace();
}

CliSession::~CliSession() {
    m_out.flush();
    m_err.flush();
    if (m_translatorInstalled) QCoreApplication::removeTranslator(&m_translator);
}

void CliSession::setLanguage(const QString& language) {
    const QString catalogue = language == QLatin1String("zh") ? QStringLiteral(":/Language/tarvane_zh.qm")
                                                              : QStringLiteral(":/Language/tarvane_en.qm");
    if (m_translator.load(catalogue))
        m_translatorInstalled = QCoreApplication::installTranslator(&m_translator);
}

void CliSession::startTrace() {
    m_trace = std::make_unique<ProtocolTrace>(m_err, m_clock);
}

QIODevice& CliSession::outDevice() {
    m_out.flush();  // what the stream holds goes out before the bytes written directly
    return m_outDevice;
}

QIODevice& CliSession::errDevice() {
    m_out.flush();
    m_err.flush();
    return m_errDevice;
}

bool CliSession::outputDone() {
    m_out.flush();
    const auto* file = qobject_cast<const QFileDevice*>(&m_outDevice);
    if (m_out.status() == QTextStream::Ok && (!file || file->error() == QFileDevice::NoError)) return true;
    message(TarvaneCli::tr("无法写到标准输出：%1").arg(m_outDevice.errorString()));
    m_out.resetStatus();
    return false;
}

void CliSession::message(const QString& text) {
    m_out.flush();  // results that came first stay first where both streams meet
    m_err << text << '\n';
    m_err.flush();
    m_lastMessage = text;
}

void CliSession::note(const QString& text) {
    message(TarvaneCli::tr("注意：%1").arg(text));
    ++m_notes;
}

int CliSession::refuseNotes() {
    if (!m_strict || m_notes == 0) return CliExit::Done;
    message(TarvaneCli::tr("有 --strict 时注意事项即为错误：未向设备发送任何数据"));
    return CliExit::UsageOrFileError;
}

QString CliSession::field(const QString& text) {
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            escaped += QLatin1String("\\\\");
        else if (c == QLatin1Char('\t'))
            escaped += QLatin1String("\\t");
        else if (c == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            escaped += QLatin1String("\\r");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            escaped += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

// --- Repeaters -----------------------------------------------------------------

std::vector<std::string> CliSession::listRepeaters() {
    const std::vector<std::string> paths = HIDDevice::paths(Protocol::VendorId, Protocol::ProductId);
    if (!m_trace) return paths;
    QStringList found;
    for (const std::string& path : paths) found << QString::fromStdString(path);
    const QString ids = Protocol::usbIdText();
    const QString line =
        found.isEmpty() ? TarvaneCli::tr("查找 USB %1：没有找到").arg(ids)
                        : TarvaneCli::tr("查找 USB %1：找到 %2").arg(ids, found.join(QStringLiteral(", ")));
    if (line != m_lastListed) {
        // As the trace writes its lines: the milliseconds since the start first.
        m_err << QString::asprintf("%9.3f ", double(m_clock.nsecsElapsed()) / 1e6) << line << '\n';
        m_err.flush();
        m_lastListed = line;
    }
    return paths;
}

QString CliSession::repeaterError(const FoundRepeater& repeater) const {
    if (repeater.state == FoundRepeater::State::NotOpened) {
        if (repeater.openError.isEmpty()) return TarvaneCli::tr("无法打开设备");
        return TarvaneCli::tr("无法打开设备：%1").arg(repeater.openError);
    }
    return WindowTexts::tr("搜索设备失败");
}

QString CliSession::repeaterLine(const FoundRepeater& repeater) const {
    QStringList fields{field(QString::fromStdString(repeater.path))};
    if (repeater.state == FoundRepeater::State::Identified) {
        const DeviceIdentity& id = repeater.identity;
        fields << id.strDevType << field(id.strCardNum) << id.strDevVer << id.strFirmware
               << QString::number(id.nCAN) << QString::number(id.nFiberOptic);
    } else {
        fields << repeaterError(repeater);
    }
    return fields.join(QLatin1Char('\t'));
}

void CliSession::showCandidates(const QVector<FoundRepeater>& candidates) {
    for (const FoundRepeater& repeater : candidates) message(repeaterLine(repeater));
}

FoundRepeater CliSession::open(const std::string& path, HIDDevice& device) {
    device.setTrace(m_trace.get());
    return RepeaterList::open(path, device);
}

int CliSession::openDevice(const QString& wanted, HIDDevice& device, DeviceIdentity* identity,
                           std::string* opened) {
    listRepeaters();
    std::string path;
    QVector<FoundRepeater> candidates;
    switch (RepeaterList::choose(wanted, &path, &candidates, m_trace.get())) {
        case RepeaterList::Choice::Chosen:
            break;
        case RepeaterList::Choice::NoneConnected:
            message(WindowTexts::tr("设备未连接"));
            return CliExit::NoSuchDevice;
        case RepeaterList::Choice::NotFound:
            message(TarvaneCli::tr("没有这台设备：%1").arg(wanted));
            if (!candidates.isEmpty()) message(TarvaneCli::tr("连接的设备："));
            showCandidates(candidates);
            return CliExit::NoSuchDevice;
        case RepeaterList::Choice::SeveralFound:
            message(
                wanted.isEmpty()
                    ? TarvaneCli::tr("连接了多台设备，请用 --device 以路径或卡号指定其中一台：")
                    : TarvaneCli::tr("有多台设备的卡号是%1，请用 --device 以路径指定其中一台：").arg(wanted));
            showCandidates(candidates);
            return CliExit::NoSuchDevice;
    }
    const FoundRepeater repeater = open(path, device);
    if (opened) *opened = path;
    if (repeater.state != FoundRepeater::State::Identified) {
        message(repeaterError(repeater));
        return CliExit::DeviceFailed;
    }
    *identity = repeater.identity;
    return CliExit::Done;
}
