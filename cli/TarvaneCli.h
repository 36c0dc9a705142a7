#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QTranslator>
#include <memory>
#include <string>

#include "CliArguments.h"
#include "DeviceRead.h"
#include "ProtocolTrace.h"

class HIDDevice;
class QIODevice;
class QJsonObject;
struct DeviceIdentity;
struct FieldDifference;
struct FoundRepeater;
struct ParameterSet;

// Where the command line writes: results to `out`, messages to `err`.
struct CliStreams {
    QIODevice& out;
    QIODevice& err;
    bool progress;  // err is a terminal: show how far a Read or Write got
};

// The command-line companion of the main window: list, read, write and diff
// one repeater at a time, through the same values, rules, operations and
// files as the window, with the window's messages.
class TarvaneCli {
    Q_DECLARE_TR_FUNCTIONS(TarvaneCli)
public:
    // The exit status of each outcome.
    enum ExitCode {
        Done = 0,  // diff: no difference
        Differences = 1,
        UsageOrFileError = 2,
        NoSuchDevice = 3,  // or more than one without --device
        DeviceFailed = 4,  // refused or did not answer
        WrittenButDiffers = 5,  // write --verify: the device holds something else
    };

    explicit TarvaneCli(const CliStreams& streams);
    ~TarvaneCli();
    TarvaneCli(const TarvaneCli&) = delete;
    TarvaneCli& operator=(const TarvaneCli&) = delete;

    int run(const QStringList& arguments);

private:
    int list(const CliArguments& arguments);
    int read(const CliArguments& arguments);
    int write(const CliArguments& arguments);
    int diff(const CliArguments& arguments);

    void installLanguage(const QString& language);
    int usageError(const CliArguments& arguments);
    QString help(CliArguments::Command command) const;
    // Opens the repeater a command is meant for; Done or the exit status of
    // the message it showed.
    int openDevice(const QString& wanted, HIDDevice& device, DeviceIdentity* identity);
    int loadFile(const QString& path, QJsonObject* object);
    // The file's values for the device, only when the file gives them all.
    int completeSet(const QJsonObject& file, ParameterSet* set);
    // The window's Read into a set, with the progress line.
    DeviceRead::Result readDevice(HIDDevice& device, ParameterSet& set);
    // Saves a set as a parameter file, "-" for standard output.
    int saveSet(const ParameterSet& set, const QString& path);
    // After the reset: the repeater with this card number, once it answers
    // again, read and compared with what was written.
    int verify(const QString& cardNumber, const ParameterSet& written, int waitSeconds);
    void printDifferences(const QVector<FieldDifference>& differences);
    // Flushes the results; false, after saying why, when they did not reach
    // standard output (a full disk).
    bool outputDone();
    QString repeaterLine(const FoundRepeater& repeater) const;
    QString repeaterError(const FoundRepeater& repeater) const;
    void showCandidates(const QVector<FoundRepeater>& candidates);
    // One message line on standard error.
    void message(const QString& text);
    // A message of the main window, in its translation context.
    void windowMessage(const char* text);

    QIODevice& m_outDevice;
    QTextStream m_out;
    QTextStream m_err;
    const bool m_progress;
    QTranslator m_translator;
    bool m_translatorInstalled = false;
    QElapsedTimer m_clock;  // since the start, for --trace
    std::unique_ptr<ProtocolTrace> m_trace;
};

// Runs one command line (the program's arguments, without its name) and
// returns the exit status.
int runCli(const QStringList& arguments, const CliStreams& streams);
