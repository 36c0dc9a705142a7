#pragma once

#include <QString>
#include <functional>

// Runs a check as an ordinary user, so that file permissions apply to it
// even when the tests run as root: a root process runs it in a child process
// that has become "nobody", any other process runs it itself.
struct OrdinaryUserRun {
    enum Outcome { Passed, Failed, Unavailable };
    Outcome outcome = Unavailable;
    QString message;  // what went wrong, or why no ordinary user could run it
};

// check returns what went wrong, or an empty text when all was well. In a
// child process it must not touch widgets or the test framework.
OrdinaryUserRun runAsOrdinaryUser(const std::function<QString()>& check);

// Makes a folder read-only, or writable again, for the user who runs checks.
bool setFolderWritable(const QString& path, bool writable);
