#include "AppendFile.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

bool appendWhole(const QString& path, const QByteArray& bytes, QString* why) {
    const int file =
        open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (file < 0) {
        *why = qt_error_string(errno);
        return false;
    }
    ssize_t written = 0;
    do {
        written = write(file, bytes.constData(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    const int error = errno;
    close(file);
    if (written == bytes.size()) return true;
    // A short write (a full disk) leaves part of a line: said, never retried.
    *why = qt_error_string(written < 0 ? error : ENOSPC);
    return false;
}
