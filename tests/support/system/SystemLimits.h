#pragma once

#include <QString>
#include <functional>

// What a system offers to stage file-system trouble in a test. Each returns
// false where the system has no such thing, and the test skips.

// Runs body while files this process writes may grow to at most `bytes`,
// as on a disk that fills up; writing past it fails with the system's reason.
bool withFileSizeLimit(qint64 bytes, const std::function<void()>& body);

// Makes a named pipe at path.
bool makeNamedPipe(const QString& path);

// Runs body while the existing file at `path` can be written but not
// replaced: a new file can be made beside it, not renamed over it. On Linux
// it is root's file in a folder made sticky, as another user's in /tmp, and
// body runs with the ids of "nobody" on every thread (only root can stage
// this); on Windows another program holds the file open.
bool withReplacingRefused(const QString& path, const std::function<void()>& body);
