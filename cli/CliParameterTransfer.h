#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QVector>

#include "DeviceRead.h"

class CliSession;
class HIDDevice;
struct DeviceIdentity;
struct FieldDifference;
struct ParameterSet;

// The parameter set in and out, as several commands take it: files loaded
// and saved, the device read, the differences shown; each step says on the
// session what went wrong. Those that return an int return CliExit::Done or the exit status.
namespace CliParameterTransfer {

// "-": where "-o" and "--backup" send a parameter file to standard output,
// and where write and diff read one from standard input.
bool isStandardStream(const QString& path);

// The defaults of the device that was found, as the window's pages hold
// them once it has found the device.
ParameterSet deviceDefaults(const DeviceIdentity& identity);

// A parameter file as read: what messages call it, and its top level.
struct LoadedFile {
    QString path;  // as given, "-" for standard input
    QString name;
    QJsonObject object;
    QByteArray sha256;    // of its bytes as read, for the record
    int descriptor = -1;  // read from standard input: its descriptor when that is a file
};

// Reads the file, "-" for standard input; its notes (elements whose
// "ChannalID" is not their place) refuse it under --strict.
int loadFile(CliSession& session, const QString& path, LoadedFile* file);
// A backup that would replace the parameter file being written (named
// otherwise, or through a link, or standard input's file) is a usage error.
int checkBackupPath(CliSession& session, const QString& backup, const LoadedFile& file);
// The file's values for the device, only when the file gives them all and
// a Write would send them; what it leaves out is noted.
int completeSet(CliSession& session, const LoadedFile& file, ParameterSet* set);
// What a Write of the set is told before it sends (a word in a test mode, a
// bank that nothing can pass), where the window would ask; then, under
// --strict, the refusal of every note so far.
int writeNotes(CliSession& session, const ParameterSet& set);
// The window's Read into a set, with the progress line.
DeviceRead::Result readDevice(CliSession& session, HIDDevice& device, ParameterSet& set);
// The exit status of a Read's result.
int readStatus(DeviceRead::Result result);
// Saves a set as a parameter file, "-" for standard output.
int saveSet(CliSession& session, const ParameterSet& set, const QString& path);
// The fields that differ for --json: channel, bank (1 ... 14, null for
// none), field, and the file's and the device's value as plain values.
QJsonArray differencesJson(const QVector<FieldDifference>& differences, const ParameterSet& given,
                           const ParameterSet& device);
// One line on standard output for each field that differs.
void printDifferences(CliSession& session, const QVector<FieldDifference>& differences);

}  // namespace CliParameterTransfer
