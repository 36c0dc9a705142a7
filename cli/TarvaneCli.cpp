#include "TarvaneCli.h"

#include "CliArguments.h"
#include "CliCommands.h"
#include "CliHelp.h"
#include "CliInterrupts.h"
#include "CliSession.h"
#include "TarvaneVersion.h"

namespace {

int usageError(CliSession& session, const CliArguments& arguments) {
    session.message(CliHelp::problem(arguments));
    session.message(TarvaneCli::tr("用 --help 查看用法。"));
    return CliExit::UsageOrFileError;
}

}  // namespace

int runCli(const QStringList& arguments, const CliStreams& streams) {
    CliSession session(streams);
    const CliArguments parsed = CliArguments::parse(arguments);
    session.setLanguage(parsed.language);
    // A signal that came before is told in that language too.
    CliInterrupts::watch();
    if (parsed.problem != CliArguments::Problem::None) return usageError(session, parsed);
    if (parsed.trace) session.startTrace();
    session.setStrict(parsed.strict);
    if (parsed.version || parsed.help) {
        if (parsed.version)
            session.out() << "tarvane-cli " << TARVANE_VERSION << '\n';
        else
            session.out() << CliHelp::text(parsed.command) << '\n';
        return session.outputDone() ? CliExit::Done : CliExit::UsageOrFileError;
    }
    using Command = CliArguments::Command;
    switch (parsed.command) {
        case Command::List:
            return runList(session, parsed);
        case Command::Read:
            return runRead(session, parsed);
        case Command::Write:
            return runWrite(session, parsed);
        case Command::Diff:
            return runDiff(session, parsed);
        case Command::Filters:
            return runFilters(session, parsed);
        case Command::Timing:
            return runTiming(session, parsed);
        case Command::None:
            break;
    }
    return usageError(session, parsed);
}
