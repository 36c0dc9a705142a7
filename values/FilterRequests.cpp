#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include "FilterPlanner.h"

namespace FilterPlanner {

using FilterBanks::Texts;

namespace {

enum class Word { None, Extended, Standard, Data, Remote, Both };

Word wordOf(const QString& token) {
    static const QVector<QPair<QStringList, Word>> words = {
        {{"ext", "extended", "扩展", "扩展帧"}, Word::Extended},
        {{"std", "standard", "标准", "标准帧"}, Word::Standard},
        {{"data", "数据", "数据帧"}, Word::Data},
        {{"remote", "rtr", "远程", "远程帧"}, Word::Remote},
        {{"both"}, Word::Both},
    };
    const QString lower = token.toLower();
    for (const auto& entry : words)
        if (entry.first.contains(lower)) return entry.second;
    return Word::None;
}

// One item: its identifier or range and its words, or the first thing wrong.
bool parseItem(const QString& item, bool extended, int frameTypes, Request* request, ParseError* error) {
    static const QRegularExpression dash(QStringLiteral("\\s*[-\\x{2013}\\x{2014}~]\\s*"));
    // Hex throughout; one that begins with a letter needs its 0x, or "add"
    // and "be" would be numbers.
    static const QRegularExpression number(
        QStringLiteral("^(?:0[xX]([0-9A-Fa-f]{1,8})|([0-9][0-9A-Fa-f]{0,7}))$"));
    static const QRegularExpression letterFirst(QStringLiteral("^[A-Fa-f][0-9A-Fa-f]{0,7}$"));
    static const QRegularExpression numberLike(QStringLiteral("^[0-9]|-"));
    const QStringList tokens = QString(item)
                                   .replace(dash, QStringLiteral("-"))
                                   .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const auto fail = [&](ParseError::Kind kind, const QString& word) {
        error->kind = kind;
        error->word = word;
        return false;
    };
    bool haveId = false;
    int typesSaid = 0;
    Word format = Word::None;
    for (const QString& token : tokens) {
        const Word word = wordOf(token);
        if (word == Word::Extended || word == Word::Standard) {
            if (format != Word::None && format != word) return fail(ParseError::TwoFormats, token);
            format = word;
            continue;
        }
        if (word != Word::None) {
            typesSaid |= word == Word::Data     ? FilterBanks::DataFrames
                         : word == Word::Remote ? FilterBanks::RemoteFrames
                                                : FilterBanks::DataAndRemote;
            continue;
        }
        const QStringList ends = token.split(QLatin1Char('-'));
        QVector<quint32> values;
        for (const QString& end : ends) {
            const QRegularExpressionMatch match = number.match(end);
            if (match.hasMatch() && ends.size() <= 2) {
                values.append((match.captured(1) + match.captured(2)).toUInt(nullptr, 16));
                continue;
            }
            if (ends.size() <= 2 && letterFirst.match(end).hasMatch())
                return fail(ParseError::LetterFirst, end);
            if (ends.size() == 1 && !numberLike.match(token).hasMatch() &&
                !token.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
                return fail(ParseError::UnknownWord, token);
            return fail(ParseError::NotANumber, token);
        }
        if (haveId) return fail(ParseError::SecondIdentifier, token);
        haveId = true;
        request->first = values.first();
        request->last = values.last();
        error->word = token;
    }
    if (!haveId) return fail(ParseError::NoIdentifier, QString());
    request->extended = format == Word::None ? extended : format == Word::Extended;
    request->frameTypes = typesSaid ? typesSaid : frameTypes;
    if (request->first > request->last) return fail(ParseError::Reversed, error->word);
    const quint32 top = request->extended ? FilterBanks::kMaxExtendedId : FilterBanks::kMaxStandardId;
    if (request->last > top) {
        error->id = request->first > top ? request->first : request->last;
        return fail(request->extended ? ParseError::ExtendedTooLarge : ParseError::StandardTooLarge,
                    error->word);
    }
    return true;
}

}  // namespace

Parsed parse(const QString& text, bool extended, int frameTypes) {
    Parsed parsed;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\\r\\n|\\n|\\r")));
    int filled = 0;
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty()) ++filled;
    static const QRegularExpression separator(QStringLiteral("[,;\\x{FF0C}\\x{FF1B}]"));
    for (int n = 0; n < lines.size(); ++n) {
        if (lines[n].trimmed().startsWith(QLatin1Char('#'))) continue;
        for (const QString& part : lines[n].split(separator)) {
            const QString item = part.trimmed();
            if (item.isEmpty()) continue;
            Request request;
            ParseError error;
            if (parseItem(item, extended, frameTypes, &request, &error)) {
                parsed.requests.append(request);
                continue;
            }
            error.line = filled > 1 ? n + 1 : 0;
            error.item = item;
            parsed.errors.append(error);
        }
    }
    return parsed;
}

QString errorText(const ParseError& error) {
    const bool extended = error.kind == ParseError::ExtendedTooLarge;
    QString reason;
    switch (error.kind) {
        case ParseError::NoIdentifier:
            reason = Texts::tr("没有标识符或范围");
            break;
        case ParseError::NotANumber:
            reason = Texts::tr("“%1”不是十六进制的标识符或范围").arg(error.word);
            break;
        case ParseError::LetterFirst:
            reason = Texts::tr("“%1”不是数；以字母开头的十六进制数请写成0x%1").arg(error.word);
            break;
        case ParseError::UnknownWord:
            reason = Texts::tr("不认识“%1”（可用 ext、std、data、remote、both）").arg(error.word);
            break;
        case ParseError::SecondIdentifier:
            reason = Texts::tr("一项只能有一个标识符或范围，“%1”多余").arg(error.word);
            break;
        case ParseError::TwoFormats:
            reason = Texts::tr("ext 与 std 不能同时给出");
            break;
        case ParseError::Reversed:
            reason = Texts::tr("范围的起点大于终点");
            break;
        case ParseError::StandardTooLarge:
        case ParseError::ExtendedTooLarge:
            reason = (extended ? Texts::tr("%1超出扩展标识符（最大0x1FFFFFFF）")
                               : Texts::tr("%1超出标准标识符（最大0x7FF）；扩展帧请加 ext"))
                         .arg(FilterBanks::idText(extended, error.id));
            break;
    }
    if (error.line > 0) return Texts::tr("第%1行“%2”：%3").arg(error.line).arg(error.item, reason);
    return Texts::tr("“%1”：%2").arg(error.item, reason);
}

}  // namespace FilterPlanner
