// filters: what a parameter file's filter banks let through, or the banks
// for a list of identifiers and ranges; no repeater is needed for either.
#include <QJsonArray>
#include <QJsonDocument>

#include "CanChannelFile.h"
#include "CliArguments.h"
#include "CliCommands.h"
#include "CliSession.h"
#include "CliSteps.h"
#include "FilterBanks.h"
#include "FilterPlanner.h"
#include "ParameterDocument.h"
#include "ParameterKeys.h"
#include "ParameterSet.h"
#include "TarvaneCli.h"

namespace {

// Each channel's banks, one line each: channel, bank 1 ... 14, meaning. The
// elements go to channels by their place, as the window's Open takes them.
int describeFile(CliSession& session, const QString& path) {
    CliSteps::LoadedFile file;
    if (const int status = CliSteps::loadFile(session, path, &file)) return status;
    const int elements = file.object.value(ParameterKeys::CanParam).toArray().size();
    if (elements > kCanChannalMax)
        session.message(TarvaneCli::tr("注意：只说明前%1个“CANParam”元素").arg(kCanChannalMax));
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
                                 .arg(channel.channalId)
                                 .arg(bank.bank + 1)
                                 .arg(FilterBanks::describe(bank));
    }
    return session.outputDone() ? TarvaneCli::Done : TarvaneCli::UsageOrFileError;
}

// The fourteen "DataList" entries of a plan from bank 1, the rest cleared, to
// paste into a file; what each bank lets through on standard error.
int plan(CliSession& session, const CliArguments& arguments) {
    const int types = arguments.remote ? FilterBanks::RemoteFrames : FilterBanks::DataFrames;
    const FilterPlanner::Parsed parsed = FilterPlanner::parse(arguments.plan, arguments.extended, types);
    for (const FilterPlanner::ParseError& error : parsed.errors)
        session.message(FilterPlanner::errorText(error));
    if (!parsed.errors.isEmpty()) return TarvaneCli::UsageOrFileError;
    const FilterPlanner::Plan plan = FilterPlanner::plan(parsed.requests);
    // A line of its own here, where the planner's text stands in a sentence.
    QString summary = FilterPlanner::planText(plan);
    if (!summary.isEmpty()) summary[0] = summary.at(0).toUpper();
    if (plan.status != FilterPlanner::Plan::Planned) {
        session.message(summary);
        return TarvaneCli::UsageOrFileError;
    }
    std::array<FilterRow, kFilterBankCount> banks = CanChannelValues::defaults(1).banks;
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
    return session.outputDone() ? TarvaneCli::Done : TarvaneCli::UsageOrFileError;
}

}  // namespace

int runFilters(CliSession& session, const CliArguments& arguments) {
    return arguments.plan.isEmpty() ? describeFile(session, arguments.file) : plan(session, arguments);
}
