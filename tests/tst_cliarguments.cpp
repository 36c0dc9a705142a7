// The command line's parser on its own: what each command line comes to, or
// which problem it is refused with, before anything is opened or sent.
#include <QtTest>

#include "CliArguments.h"

using Problem = CliArguments::Problem;

namespace {

// The fields a command line set, in one line: those left at their defaults
// are left out.
QString summary(const CliArguments& a) {
    static const char* const kCommands[] = {"none", "list", "read", "write", "diff"};
    QStringList parts{kCommands[int(a.command)]};
    const auto text = [&parts](const char* name, const QString& value) {
        if (!value.isEmpty()) parts << QString("%1=%2").arg(name, value);
    };
    text("file", a.file);
    text("against", a.against);
    text("log", a.log);
    text("o", a.output);
    text("device", a.device);
    text("backup", a.backup);
    if (a.language != "en") text("lang", a.language);
    if (a.waitSeconds != 10) text("wait", QString::number(a.waitSeconds));
    if (a.type != 0) text("type", QString::number(a.type));
    const bool flags[] = {a.all, a.json, a.dryRun, a.verify, a.trace, a.help, a.version, a.strict};
    const char* const names[] = {"all", "json", "dry-run", "verify", "trace", "help", "version", "strict"};
    for (int i = 0; i < 8; ++i)
        if (flags[i]) parts << names[i];
    return parts.join(' ');
}

}  // namespace

class TestCliArguments : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("expected");  // the summary, or the problem's subject and value
        const auto ok = [](const char* name, const QStringList& arguments, const char* expected) {
            QTest::newRow(name) << arguments << int(Problem::None) << QString(expected);
        };
        const auto refused = [](const char* name, const QStringList& arguments, Problem problem,
                                const char* expected) {
            QTest::newRow(name) << arguments << int(problem) << QString(expected);
        };
        ok("options before the command", {"--lang", "zh", "--trace", "list", "--json"},
           "list lang=zh json trace");
        ok("- reads standard input", {"write", "-", "--dry-run", "--type", "2"},
           "write file=- type=2 dry-run");
        ok("- writes standard output", {"read", "-o", "-"}, "read o=-");
        ok("--backup -", {"write", "g.txt", "--backup", "-"}, "write file=g.txt backup=-");
        ok("a value like an option, with =", {"read", "-o=--json"}, "read o=--json");
        ok("-- ends the options", {"diff", "--", "-x"}, "diff file=-x");
        ok("--wait at its lower end", {"write", "g", "--verify", "--wait=1"}, "write file=g wait=1 verify");
        ok("--wait at its upper end", {"write", "g", "--verify", "--wait", "3600"},
           "write file=g wait=3600 verify");
        ok("every repeater", {"write", "g", "--all", "--backup", "b", "--verify", "--json"},
           "write file=g backup=b all json verify");
        ok("read every repeater", {"read", "--all", "-o", "dir"}, "read o=dir all");
        ok("diff as JSON alone", {"diff", "g", "--json"}, "diff file=g json");
        ok("help ends the checks", {"read", "--help"}, "read help");
        ok("two files compared", {"diff", "a", "b", "--strict"}, "diff file=a against=b strict");
        ok("a record of every repeater", {"write", "g", "--all", "--log", "r"}, "write file=g log=r all");

        refused("a flag given a value", {"list", "--json=1"}, Problem::UnknownOption, "--json=1");
        refused("-o twice", {"read", "-o", "a", "-o", "b"}, Problem::RepeatedOption, "-o");
        refused("--device twice", {"read", "--device", "A", "-o", "x", "--device=B"}, Problem::RepeatedOption,
                "--device");
        refused("a flag twice", {"list", "--json", "--json"}, Problem::RepeatedOption, "--json");
        refused("-h and --help", {"-h", "--help"}, Problem::RepeatedOption, "--help");
        refused("--backup followed by an option", {"write", "g", "--backup", "--verify"},
                Problem::ValueLikeOption, "--backup --verify");
        refused("--wait 0", {"write", "g", "--verify", "--wait", "0"}, Problem::BadNumber, "--wait 0");
        refused("--wait 3601", {"write", "g", "--verify", "--wait", "3601"}, Problem::BadNumber,
                "--wait 3601");
        // Digits only.
        refused("--wait with a blank", {"write", "g", "--verify", "--wait", " 5"}, Problem::BadNumber,
                "--wait  5");
        refused("--wait with a sign", {"write", "g", "--verify", "--wait", "+5"}, Problem::BadNumber,
                "--wait +5");
        refused("--type with a blank", {"write", "g", "--dry-run", "--type", " 4"}, Problem::BadNumber,
                "--type  4");
        refused("--wait without --verify", {"write", "g", "--wait", "5"}, Problem::NeedsOption,
                "--wait --verify");
        refused("--type without --dry-run", {"write", "g", "--type", "4"}, Problem::NeedsOption,
                "--type --dry-run");
        refused("--type with --device", {"write", "g", "--dry-run", "--type", "4", "--device", "A"},
                Problem::ExcludesOption, "--type --device");
        refused("a dry run writes no backup", {"write", "g", "--dry-run", "--backup", "b"},
                Problem::ExcludesOption, "--backup --dry-run");
        refused("nor one to standard output", {"write", "g", "--dry-run", "--backup", "-"},
                Problem::ExcludesOption, "--backup --dry-run");
        refused("--verify with --dry-run", {"write", "g", "--verify", "--dry-run"}, Problem::ExcludesOption,
                "--verify --dry-run");
        refused("--all with --device", {"diff", "g", "--all", "--device", "A"}, Problem::ExcludesOption,
                "--all --device");
        refused("--all with --dry-run", {"write", "g", "--all", "--dry-run"}, Problem::ExcludesOption,
                "--all --dry-run");
        refused("read --json without --all", {"read", "-o", "x", "--json"}, Problem::NeedsOption,
                "--json --all");
        refused("write --json without --all", {"write", "g", "--json"}, Problem::NeedsOption, "--json --all");
        refused("timing --rate above CAN's", {"timing", "--rate", "1000.001"}, Problem::BadNumber,
                "--rate 1000.001");
        refused("timing --rate with a group separator", {"timing", "--rate", "1,000"}, Problem::BadNumber,
                "--rate 1,000");
        refused("timing --sjw 5", {"timing", "--rate", "250", "--sjw", "5"}, Problem::BadNumber, "--sjw 5");
        refused("timing --sample-point without --rate", {"timing", "001C00E0", "--sample-point", "80"},
                Problem::NeedsOption, "--sample-point --rate");
        refused("timing --sample-point 100", {"timing", "--rate", "250", "--sample-point", "100"},
                Problem::BadNumber, "--sample-point 100");
        refused("two files need no device", {"diff", "a", "b", "--device", "A"}, Problem::TwoFiles,
                "--device");
        refused("a dry run leaves no record", {"write", "g", "--dry-run", "--log", "r"},
                Problem::ExcludesOption, "--log --dry-run");
        refused("a third file", {"diff", "a", "b", "c"}, Problem::ExtraArgument, "c");
    }

    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(int, problem);
        QFETCH(QString, expected);
        const CliArguments parsed = CliArguments::parse(arguments);
        QCOMPARE(int(parsed.problem), problem);
        if (problem == int(Problem::None))
            QCOMPARE(summary(parsed), expected);
        else
            QCOMPARE(QStringList({parsed.subject, parsed.value}).join(' ').trimmed(), expected);
    }
};

QTEST_APPLESS_MAIN(TestCliArguments)
#include "tst_cliarguments.moc"
