// The bench of a simulated program, from its environment: the repeaters,
// their faults and the folder of their parameters. Every value is checked
// before the bus changes, so that a mistake in a bench script is told, not
// tried as some other bench.
#include "SimulatedBench.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTranslator>
#include <vector>

#include "SimulatedRepeater.h"
#include "StateFile.h"

namespace sim {

namespace {

constexpr char kDevicesName[] = "TARVANE_SIMULATED_DEVICES";
constexpr char kCardsName[] = "TARVANE_SIMULATED_CARDS";
constexpr char kFaultsName[] = "TARVANE_SIMULATED_FAULTS";
constexpr char kStateName[] = "TARVANE_SIMULATED_STATE";

constexpr int kCardBytes = 12;  // what the card-number reply holds
constexpr int kMaxSeconds = 86400;
constexpr int kMaxRestartSeconds = 3600;
constexpr int kMaxLateMs = 60000;
constexpr int kDefaultLateMs = 200;
constexpr int kMaxOccurrence = 1000000;

// The steps a fault can be put on: the commands the program sends, named
// as a bench script would think of them.
struct Step {
    const char* name;
    int code;
    bool stores;  // a set command or the reset: something to keep or not
};
constexpr Step kSteps[] = {
    {"query-type", 0x15, false},
    {"query-card", 0x14, false},
    {"query-hw-version", 0x01, false},
    {"query-fw-version", 0x12, false},
    {"query-baud", 0xA4, false},
    {"query-filter", 0xA5, false},
    {"query-fiber", 0x26, false},
    {"query-route", 0x28, false},
    {"set-baud", 0x23, true},
    {"set-filter", 0x24, true},
    {"set-fiber", 0x25, true},
    {"set-route", 0x27, true},
    {"reset", 0x11, true},
};

struct Rule {
    int code;
    Fault fault;
    int occurrence;
    int value;
};

// One repeater as the bench gives it, before it goes on the bus.
struct Entry {
    Identity identity;
    std::string path;
    int arriveMs = 0;
    int leaveMs = -1;
    int restartMs = 0;
    std::vector<Rule> rules;
    Firmware firmware;  // with what its state file holds
    QString stateFile;
};

// The variable, the part of its value at fault and why: always false.
bool fail(QString* error, const char* variable, const QByteArray& part, const QString& why) {
    *error = QStringLiteral("%1: \"%2\": %3").arg(QLatin1String(variable), QString::fromLocal8Bit(part), why);
    return false;
}

// The text before `at`, or all of it where the separator is missing.
QByteArray upTo(const QByteArray& text, int at) {
    return at < 0 ? text : text.left(at);
}

std::string pathOf(int index) {
    return "sim:hidraw" + std::to_string(index);
}

// %XX stands for any byte, so that a card number may hold a comma, a blank,
// a tab or a byte that is no text.
bool unescape(const QByteArray& text, QByteArray* bytes) {
    static const QByteArray hexDigits = "0123456789abcdefABCDEF";
    bytes->clear();
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != '%') {
            bytes->append(text.at(i));
            continue;
        }
        if (i + 2 >= text.size() || !hexDigits.contains(text.at(i + 1)) ||
            !hexDigits.contains(text.at(i + 2)))
            return false;
        bytes->append(char(text.mid(i + 1, 2).toInt(nullptr, 16)));
        i += 2;
    }
    return true;
}

// Seconds as a script writes them, "2" or "0.25", in milliseconds.
bool parseSeconds(const QByteArray& text, int maxSeconds, int* ms) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})(?:\\.(\\d{1,3}))?$"));
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(text));
    if (!match.hasMatch()) return false;
    const int seconds = match.captured(1).toInt();
    const int fraction = match.captured(2).leftJustified(3, QLatin1Char('0')).toInt();
    if (seconds > maxSeconds || (seconds == maxSeconds && fraction > 0)) return false;
    *ms = seconds * 1000 + fraction;
    return true;
}

bool parseNumber(const QByteArray& text, int min, int max, int* value) {
    static const QRegularExpression digits(QStringLiteral("^\\d{1,7}$"));
    if (!digits.match(QString::fromLatin1(text)).hasMatch()) return false;
    *value = text.toInt();
    return *value >= min && *value <= max;
}

// The numbered repeaters of TARVANE_SIMULATED_DEVICES, each with the next
// card number after the first one's; nothing for a value that is no count,
// which leaves the one repeater.
bool numberedEntries(const QByteArray& value, std::vector<Entry>* entries) {
    bool ok = false;
    const int count = value.toInt(&ok, 0);
    if (!ok || count < 0 || count > SimulatedRepeater::kMaxEnvironmentDevices) return false;
    const QByteArray first = Identity().cardNumber;
    int digits = 0;
    while (digits < first.size() && QChar::isDigit(uint(first.at(first.size() - 1 - digits)))) ++digits;
    const qulonglong number = first.right(digits).toULongLong();
    for (int i = 0; i < count; ++i) {
        Entry entry;
        entry.identity.cardNumber = first.left(first.size() - digits) +
                                    QByteArray::number(number + qulonglong(i)).rightJustified(digits, '0');
        entry.path = pathOf(i);
        entries->push_back(entry);
    }
    return true;
}

bool parseOption(const QByteArray& token, Entry* entry, QByteArrayList* seen, QString* error) {
    const int equals = token.indexOf('=');
    const QByteArray key = token.left(equals);
    const QByteArray value = token.mid(equals + 1);
    if (seen->contains(key)) return fail(error, kCardsName, token, QStringLiteral("given twice"));
    seen->append(key);
    int number = 0;
    if (key == "type") {
        if (!parseNumber(value, 0, 255, &number))
            return fail(error, kCardsName, token,
                        QStringLiteral("the hardware type is a number from 0 to 255"));
        entry->identity.hardwareType = static_cast<unsigned char>(number);
    } else if (key == "arrive" || key == "leave" || key == "restart") {
        const int max = key == "restart" ? kMaxRestartSeconds : kMaxSeconds;
        if (!parseSeconds(value, max, &number))
            return fail(error, kCardsName, token,
                        QStringLiteral("seconds from 0 to %1, such as 2 or 0.25").arg(max));
        (key == "arrive" ? entry->arriveMs : key == "leave" ? entry->leaveMs : entry->restartMs) = number;
    } else {
        return fail(error, kCardsName, token, QStringLiteral("unknown; type=, arrive=, leave= or restart="));
    }
    return true;
}

// "CARD type=N arrive=S leave=S restart=S", the card number first, any of
// the rest after it.
bool parseCardEntry(const QByteArray& text, int index, Entry* entry, QString* error) {
    entry->path = pathOf(index);
    QByteArrayList tokens = text.simplified().split(' ');
    tokens.removeAll(QByteArray());
    QByteArray card;
    if (!tokens.isEmpty() && !tokens.first().contains('=')) card = tokens.takeFirst();
    if (!unescape(card, &entry->identity.cardNumber))
        return fail(error, kCardsName, card, QStringLiteral("% must be followed by two hex digits"));
    if (entry->identity.cardNumber.size() > kCardBytes)
        return fail(error, kCardsName, card, QStringLiteral("a card number has at most 12 bytes"));
    QByteArrayList seen;
    for (const QByteArray& token : qAsConst(tokens)) {
        if (!token.contains('='))
            return fail(error, kCardsName, token, QStringLiteral("the card number comes first, once"));
        if (!parseOption(token, entry, &seen, error)) return false;
    }
    if (entry->leaveMs >= 0 && entry->leaveMs <= entry->arriveMs)
        return fail(error, kCardsName, text.trimmed(), QStringLiteral("it must leave after it arrives"));
    return true;
}

bool parseCards(const QByteArray& value, std::vector<Entry>* entries, QString* error) {
    const QByteArrayList items = value.split(',');
    if (items.size() > SimulatedRepeater::kMaxEnvironmentDevices)
        return fail(error, kCardsName, value,
                    QStringLiteral("at most %1 repeaters").arg(SimulatedRepeater::kMaxEnvironmentDevices));
    for (int i = 0; i < items.size(); ++i) {
        Entry entry;
        if (!parseCardEntry(items.at(i), i, &entry, error)) return false;
        entries->push_back(entry);
    }
    return true;
}

bool parseFault(const QByteArray& text, const QByteArray& rule, const Step* step, Rule* parsed,
                QString* error) {
    const int colon = text.indexOf(':');
    const QByteArray name = upTo(text, colon);
    const QByteArray value = colon < 0 ? QByteArray() : text.mid(colon + 1);
    static const struct {
        const char* name;
        Fault fault;
    } kinds[] = {{"no-reply", Fault::NoReply},         {"refuse", Fault::Refuse},
                 {"no-store", Fault::AckWithoutStore}, {"unplug", Fault::Unplug},
                 {"late", Fault::LateReply},           {"short", Fault::ShortReply}};
    for (const auto& kind : kinds) {
        if (name != kind.name) continue;
        parsed->fault = kind.fault;
        parsed->value = -1;
        if (kind.fault == Fault::LateReply) {
            parsed->value = kDefaultLateMs;
            if (colon >= 0 && !parseNumber(value, 0, kMaxLateMs, &parsed->value))
                return fail(error, kFaultsName, rule,
                            QStringLiteral("late:MS takes milliseconds from 0 to %1").arg(kMaxLateMs));
        } else if (colon >= 0) {
            return fail(error, kFaultsName, rule, QStringLiteral("%1 takes no value").arg(kind.name));
        }
        if (kind.fault == Fault::AckWithoutStore && step != nullptr && !step->stores)
            return fail(error, kFaultsName, rule,
                        QStringLiteral("a query stores nothing; no-store is for set-… and reset"));
        return true;
    }
    return fail(error, kFaultsName, rule,
                QStringLiteral("unknown fault; no-reply, refuse, no-store, unplug, late[:MS] or short"));
}

// "WHO/STEP[#N]=FAULT": WHO a card number, a path or *, STEP a name,
// 0xNN or *; the fault on the Nth such report to it, or on every one.
bool parseRule(const QByteArray& rule, std::vector<Entry>* entries, QString* error) {
    const int slash = rule.indexOf('/');
    const int equals = rule.indexOf('=', slash + 1);
    if (slash < 0 || equals < 0)
        return fail(error, kFaultsName, rule, QStringLiteral("a fault is written WHO/STEP=FAULT"));
    QByteArray who;
    if (!unescape(rule.left(slash), &who))
        return fail(error, kFaultsName, rule, QStringLiteral("% must be followed by two hex digits"));
    const QByteArray stepText = rule.mid(slash + 1, equals - slash - 1);
    const int hash = stepText.indexOf('#');
    const QByteArray stepName = upTo(stepText, hash);

    Rule parsed{AnyCommand, Fault::NoReply, Every, -1};
    const Step* step = nullptr;
    for (const Step& known : kSteps) {
        bool isCode = false;
        const int code = stepName.startsWith("0x") ? stepName.mid(2).toInt(&isCode, 16) : -1;
        if (stepName == known.name || (isCode && code == known.code)) step = &known;
    }
    if (step != nullptr)
        parsed.code = step->code;
    else if (stepName != "*")
        return fail(error, kFaultsName, rule,
                    QStringLiteral("unknown step; a command's name (reset, set-filter, query-card, …), "
                                   "its code (0x11) or *"));
    if (hash >= 0 && !parseNumber(stepText.mid(hash + 1), 1, kMaxOccurrence, &parsed.occurrence))
        return fail(error, kFaultsName, rule, QStringLiteral("#N counts the step's reports from 1"));
    if (!parseFault(rule.mid(equals + 1), rule, step, &parsed, error)) return false;

    bool matched = false;
    for (Entry& entry : *entries) {
        if (who == "*" || who == entry.path.c_str() || who == entry.identity.cardNumber) {
            entry.rules.push_back(parsed);
            matched = true;
        }
    }
    if (!matched)
        return fail(error, kFaultsName, rule,
                    QStringLiteral("no simulated repeater has this card number or path"));
    return true;
}

bool parseFaults(const QByteArray& value, std::vector<Entry>* entries, QString* error) {
    for (const QByteArray& item : value.split(';')) {
        const QByteArray rule = item.trimmed();
        if (!rule.isEmpty() && !parseRule(rule, entries, error)) return false;
    }
    return true;
}

// A card number that is a plain file name, and no other repeater's in any
// case; the others go by their path.
QString stateName(const Entry& entry, const std::vector<Entry>& entries) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]*$"));
    const QString card = QString::fromLatin1(entry.identity.cardNumber);
    int sharing = 0;
    for (const Entry& other : entries)
        sharing += QString::fromLatin1(other.identity.cardNumber).compare(card, Qt::CaseInsensitive) == 0;
    if (plain.match(card).hasMatch() && sharing == 1) return card;
    return QString::fromStdString(entry.path).replace(QLatin1Char(':'), QLatin1Char('-'));
}

bool loadStates(const QByteArray& value, std::vector<Entry>* entries, QString* error) {
    const QString folder = QString::fromLocal8Bit(value);
    const QFileInfo info(folder);
    if (!info.exists()) return fail(error, kStateName, value, QStringLiteral("no such folder"));
    if (!info.isDir()) return fail(error, kStateName, value, QStringLiteral("not a folder"));
    // The simulator speaks English, as hidapi does, whatever the program
    // will choose; the file's messages are the program's own.
    QTranslator english;
    const bool translated = english.load(QStringLiteral(":/Language/tarvane_en.qm")) &&
                            QCoreApplication::installTranslator(&english);
    bool loaded = true;
    for (Entry& entry : *entries) {
        if (!StateFile::keepsState(entry.identity)) continue;
        entry.stateFile = QDir(folder).filePath(stateName(entry, *entries) + QStringLiteral(".txt"));
        QString why;
        if (QFileInfo::exists(entry.stateFile) && !StateFile::load(entry.stateFile, entry.firmware, &why)) {
            *error = QStringLiteral("%1: %2").arg(QLatin1String(kStateName), why);
            loaded = false;
            break;
        }
    }
    if (translated) QCoreApplication::removeTranslator(&english);
    return loaded;
}

}  // namespace

BenchSettings BenchSettings::fromEnvironment() {
    return {qgetenv(kDevicesName), qgetenv(kCardsName), qgetenv(kFaultsName), qgetenv(kStateName)};
}

bool plugInBench(const BenchSettings& settings, QString* error) {
    std::vector<Entry> entries;
    if (!settings.cards.isEmpty() && !settings.devices.isEmpty()) {
        *error = QStringLiteral("%1 and %2 both name the repeaters; set one of them")
                     .arg(QLatin1String(kDevicesName), QLatin1String(kCardsName));
        return false;
    }
    if (!settings.cards.isEmpty()) {
        if (!parseCards(settings.cards, &entries, error)) return false;
    } else if (!numberedEntries(settings.devices, &entries)) {
        entries.resize(1);  // the one repeater
        entries[0].path = pathOf(0);
    }
    if (!parseFaults(settings.faults, &entries, error)) return false;
    for (Entry& entry : entries) entry.firmware.identity = entry.identity;
    if (!settings.state.isEmpty() && !loadStates(settings.state, &entries, error)) return false;

    SimulatedRepeater::removeAddedDevices();
    SimulatedRepeater::instance().reset();
    SimulatedRepeater::instance().setPresent(!entries.empty());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        SimulatedRepeater& device = i == 0 ? SimulatedRepeater::instance() : SimulatedRepeater::addDevice();
        device.setIdentity(entry.identity);
        device.setParameters(entry.firmware.parameters);
        device.setRestartTime(entry.restartMs);
        device.setTimes(entry.arriveMs, entry.leaveMs);
        device.setStateFile(entry.stateFile);
        for (const Rule& rule : entry.rules)
            device.injectFault(rule.code, rule.fault, rule.occurrence, rule.value);
    }
    return true;
}

}  // namespace sim
