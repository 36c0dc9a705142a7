#pragma once

#include <QJsonArray>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>

#include "DeviceSearch.h"

class BusClaims;
class CliLog;
class CliSession;
class HIDDevice;
struct CliArguments;

// One repeater a command works on, opened and identified, and what the
// command found out about it for its result line and its record.
struct Target {
    explicit Target(HIDDevice& device, const DeviceIdentity& identity = DeviceIdentity(),
                    const std::string& path = std::string(), BusClaims* claims = nullptr)
        : device(device), identity(identity), path(path), claims(claims) {}

    HIDDevice& device;
    DeviceIdentity identity;
    std::string path;
    bool identified = true;  // false: it did not answer, `identity` is empty
    // With --all, what the other threads work on; nullptr for a command on
    // one repeater.
    BusClaims* claims;
    // What its files and lines call it: the card number, or the path's name
    // when another repeater has the same card number or it has none
    // (RepeaterList::unitName). Then it is also found by path after a reset.
    QString name;
    bool byPath = false;

    // Where the command is, from those below; read by the thread that
    // handles a signal, hence one atomic pointer to a fixed text.
    std::atomic<const char*> step{nullptr};
    QString file;            // read: the file saved; write: its backup
    bool compared = false;   // diff and write --verify: `differences` holds the comparison
    QJsonArray differences;  // one object per field that differs, plain values
    QString result;          // empty: the last message said it
    bool recorded = false;   // its line of --log is written

    // For the record: the parameter file the command took or saved, and its
    // SHA-256 (empty: not known); the thread that handles a signal reads them.
    void setRecordFile(const QString& file, const QByteArray& sha256 = QByteArray()) {
        std::lock_guard<std::mutex> guard(m_recordLock);
        m_recordFile = file;
        m_recordSha256 = sha256;
    }
    std::pair<QString, QByteArray> recordFile() const {
        std::lock_guard<std::mutex> guard(m_recordLock);
        return {m_recordFile, m_recordSha256};
    }

private:
    mutable std::mutex m_recordLock;
    QString m_recordFile;
    QByteArray m_recordSha256;
};

// The steps a failure is told at, in "step" of the JSON objects and the record.
namespace Step {
constexpr const char* Open = "open";      // the repeater could not be opened or did not answer
constexpr const char* File = "file";      // the parameter file does not fit it; nothing was sent
constexpr const char* Backup = "backup";  // its backup could not be read or saved; nothing was sent
constexpr const char* Read = "read";
constexpr const char* Save = "save";
constexpr const char* Frames = "frames";  // before the reset: it may be half-written
constexpr const char* Reset = "reset";    // every parameter frame acknowledged, the reset not
constexpr const char* Verify = "verify";  // written and reset; the check after it failed
}  // namespace Step

// The work of a command on one repeater: its exit status.
using PerRepeater = std::function<int(CliSession& session, Target& target)>;

// --all: `work` for every connected repeater at once, each on a thread of
// its own with its own handle and its own session, whose lines on standard
// error begin with the repeater's name. A repeater that fails stops no other
// one; a signal stops each at its next step, a write under way finished.
// Then one result line per repeater on standard output (name, path, result,
// exit status, separated by tabs) or, with --json, a JSON array of one object
// each, and its record. Returns the highest of their statuses, or the
// signal's.
int runForAll(CliSession& session, const CliArguments& arguments, const CliLog& log, const PerRepeater& work);
// The repeater --device names, or the only one connected: opened, worked
// on, and its record kept, also when a signal ends the program.
int runForOne(CliSession& session, const CliArguments& arguments, const CliLog& log, const PerRepeater& work);

// What a repeater of --all had come to when a signal stopped it.
enum class Stopped {
    Untouched,    // nothing was sent to it
    NotVerified,  // written and reset, not read back
    NotRead,      // diff, read: not read
    NotSaved,     // read: read, its file not saved
};
// After a signal (only --all's work sees one and goes on): the repeater's
// work ends at `step`, its result saying `what`; the signal's exit status.
// 0 when no signal came.
int interrupted(Target& target, const char* step, Stopped what);

// "-o" and "--backup" with --all name an existing folder; otherwise a usage
// error is said.
int checkFolder(CliSession& session, const char* option, const QString& folder);
// The repeater's file in that folder: its name, ".txt".
QString fileFor(const QString& folder, const QString& name);
