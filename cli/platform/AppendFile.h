#pragma once

#include <QByteArray>
#include <QString>

// Appends `bytes` to the file at `path`, creating it when missing, with one
// write to a file opened for appending: whatever other processes and threads
// append meanwhile, the bytes stand together at its end. False, with the
// system's reason in `why`, when the file cannot be opened or the write does
// not take them all. Empty bytes only create the file. Each platform has its
// own source file for it.
bool appendWhole(const QString& path, const QByteArray& bytes, QString* why);
