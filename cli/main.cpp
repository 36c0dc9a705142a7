#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include <hidapi.h>

#include "CliInterrupts.h"
#include "StandardError.h"
#include "TarvaneCli.h"
#include "platform/Console.h"

namespace {
// Standard error carries the program's messages, which scripts may read:
// Qt's own notes stay out of it. Critical and fatal messages still go through.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}
}  // namespace

int main(int argc, char* argv[]) {
    // First, before any thread is started: the signals wait until the
    // messages' language is known.
    CliInterrupts::install();
    qInstallMessageHandler(quietQtNotes);
    // Qt gets only the program's name, so that no argument of the command
    // line is taken for one of Qt's own.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QCoreApplication app(qtArgc, qtArgv);

    const QStringList arguments = programArguments(argc, argv);
    const Utf8Console console;

    // Descriptors 1 and 2 on every platform. Not in text mode: where the C
    // library turns line ends into the platform's (Windows), it does so itself.
    QFile in;
    QFile out;
    StandardError err;
    in.open(0, QIODevice::ReadOnly);
    out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered);

    hid_init();
    const int status = runCli(arguments, CliStreams{out, err, standardErrorIsTerminal(), &in});
    hid_exit();
    return status;
}
