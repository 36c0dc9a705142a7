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
