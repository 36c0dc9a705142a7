// filters: what a parameter file's filter banks let through, or the banks
// for a list of identifiers and ranges; no repeater is needed for either.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "CanChannelFile.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliParameterTransfer.h"
#include "CliSession.h"
#include "FilterBanks.h"
#include "FilterPlanner.h"
#include "ParameterDocument.h"
#include "ParameterFile.h"
#include "ParameterKeys.h"
#include "ParameterSet.h"
#include "TarvaneCli.h"

namespace {

// Each channel's banks, one line each: channel, bank 1 ... 14, meaning. The
// elements go to channels by their place, as the window's Open takes them.
int describeFile(CliSession& session, const QString& path) {
    CliParameterTransfer::LoadedFile file;
    if (const int status = CliParameterTransfer::loadFile(session, path, &file)) return status;
    const int elements = file.object.value(ParameterKeys::CanParam).toArray().size();
    if (elements > kCanChannelMax)
        session.message(TarvaneCli::tr("注意：只说明前%1个“CANParam”元素").arg(kCanChannelMax));
    ParameterSet set = ParameterSet::defaults(elements, 0, 0);
    QVector<ParameterDocument::Problem> unusable;
    ParameterDocument::apply(file.object, &set, &unusable);
    // A bank the file does not give readably is not described as what it is not.
    for (const ParameterDocument::Problem& problem : qAsConst(unusable))
        if (problem.where.startsWith(ParameterKeys::CanParam))
            session.message(TarvaneCli::tr("注意：%1").arg(problem.text()));
    for (const CanChannelValues& channel : qAsConst(set.can)) {
        const QVector<FilterBanks::Bank> banks = FilterBanks::decodeChannel(channel.banks);
        for (const FilterBanks::Bank& bank : banks)
            session.out() << QStringLiteral("CAN%1\t%2\t%3\n")
                                 .arg(channel.channelId)
                                 .arg(bank.bank + 1)
                                 .arg(FilterBanks::describe(bank));
    }
    return session.outputDone() ? CliExit::Done : CliExit::UsageOrFileError;
}

// The list as given, or read from standard input ("-") or a file ("@FILE"):
// a list of thousands of ranges is longer than a command line may be.
bool readList(CliSession& session, const QString& value, QString* text) {
    const bool standardInput = CliParameterTransfer::isStandardStream(value);
    if (!standardInput && !value.startsWith(QLatin1Char('@'))) {
        *text = value;
        return true;
    }
    QString name = TarvaneCli::tr("标准输入");
    QString reason;
    QByteArray bytes;
    if (standardInput) {
        if (session.in()) bytes = session.in()->read(ParameterFile::kMaxFileSize + 1);
    } else {
        name = QDir::toNativeSeparators(value.mid(1));
        QFile file(value.mid(1));
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            bytes = file.read(ParameterFile::kMaxFileSize + 1);
        if (file.error() != QFileDevice::NoError) reason = ParameterFile::reason(file.errorString());
    }
    if (reason.isEmpty() && bytes.size() > ParameterFile::kMaxFileSize) reason = TarvaneCli::tr("大于1 MiB");
    if (!reason.isEmpty()) {
        session.message(TarvaneCli::tr("读取列表%1失败：%2").arg(name, reason));
        return false;
    }
    *text = QString::fromUtf8(bytes);
    return true;
}

// The fourteen "DataList" entries of a plan from --first-bank on, those
// before it not in use, to paste into a file; on standard error how many
// banks it takes and what each lets through. Exit status 0 when only the
// request passes, 1 when the banks are too few and others pass too (the
// entries are written all the same), 2 when there is no plan.
int plan(CliSession& session, const CliArguments& arguments) {
    QString list;
    if (!readList(session, arguments.plan, &list)) return CliExit::UsageOrFileError;
    const int types = arguments.remote ? FilterBanks::RemoteFrames : FilterBanks::DataFrames;
    const FilterPlanner::Parsed parsed = FilterPlanner::parse(list, arguments.extended, types);
    for (const FilterPlanner::ParseError& error : parsed.errors)
        session.message(FilterPlanner::errorText(error));
    if (!parsed.errors.isEmpty()) return CliExit::UsageOrFileError;
    FilterPlanner::Options options;
    options.firstBank = arguments.firstBank - 1;
    const FilterPlanner::Plan plan = FilterPlanner::plan(parsed.requests, options);
    // A line of its own here, where the planner's text stands in a sentence.
    QString summary = FilterPlanner::planText(plan);
    if (!summary.isEmpty()) summary[0] = summary.at(0).toUpper();
    if (plan.status != FilterPlanner::Plan::Planned) {
        session.message(summary);
        return CliExit::UsageOrFileError;
    }
    std::array<FilterRow, kFilterBankCount> banks;
    FilterPlanner::fill(banks, plan, true);
    QJsonArray dataList;
    for (const FilterRow& row : banks) dataList.append(CanCodec::dataListEntry(row));
    // The array as a file holds it; the key before it, so that it pastes into an element.
    const QByteArray array = QJsonDocument(dataList).toJson(QJsonDocument::Indented);
    session.out() << '"' << ParameterKeys::DataList << "\": " << QString::fromUtf8(array);
    session.message(summary);
    for (int bank = 0; bank < plan.rows.size(); ++bank)
        session.message(TarvaneCli::tr("过滤器组%1：%2")
                            .arg(plan.firstBank + bank + 1)
                            .arg(FilterBanks::describe(plan.rows.at(bank))));
    if (!session.outputDone()) return CliExit::UsageOrFileError;
    // Like diff's differences: what passes is not only what was asked for.
    return plan.exact() ? CliExit::Done : CliExit::Differences;
}

}  // namespace

int runFilters(CliSession& session, const CliArguments& arguments) {
    return arguments.plan.isEmpty() ? describeFile(session, arguments.file) : plan(session, arguments);
}
