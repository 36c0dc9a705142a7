#pragma once

#include <QJsonArray>
#include <QString>
#include <functional>
#include <string>

#include "DeviceSearch.h"

class BusClaims;
class CliSession;
class HIDDevice;
struct CliArguments;

// One repeater a command works on, opened and identified, and what the
// command found out about it for its result line.
struct Target {
    explicit Target(HIDDevice& device, const DeviceIdentity& identity = DeviceIdentity(),
                    const std::string& path = std::string(), BusClaims* claims = nullptr)
        : device(device), identity(identity), path(path), claims(claims) {}

    HIDDevice& device;
    DeviceIdentity identity;
    std::string path;
    // With --all, what the other threads work on; nullptr for a command on
    // one repeater.
    BusClaims* claims;

    QString file;            // read: the file saved; write: its backup
    bool compared = false;   // diff and write --verify: `differences` holds the comparison
    QJsonArray differences;  // one object per field that differs, plain values
    QString result;          // empty: the last message said it
};

// The work of a command on one repeater: its exit status.
using PerRepeater = std::function<int(CliSession& session, Target& target)>;

// --all: `work` for every connected repeater at once, each on a thread of
// its own with its own handle and its own session, whose lines on standard
// error begin with the repeater's card number. A repeater that fails stops
// no other one. Then one result line per repeater on standard output (card
// number, path, result, exit status, separated by tabs) or, with --json, a
// JSON array of one object each. Returns the highest of their statuses.
int runForAll(CliSession& session, const CliArguments& arguments, const PerRepeater& work);

// "-o" and "--backup" with --all name an existing folder; otherwise a usage
// error is said.
int checkFolder(CliSession& session, const char* option, const QString& folder);
// The repeater's file in that folder: its card number, ".txt".
QString fileFor(const QString& folder, const QString& cardNumber);
