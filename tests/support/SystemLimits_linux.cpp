#include "SystemLimits.h"

#include <QFile>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

bool withFileSizeLimit(qint64 bytes, const std::function<void()>& body) {
    rlimit old{};
    if (getrlimit(RLIMIT_FSIZE, &old) != 0) return false;
    rlimit limited = old;
    limited.rlim_cur = rlim_t(bytes);
    // A write past the limit fails with EFBIG instead of ending the process.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const bool limitedNow = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    if (limitedNow) body();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    return limitedNow;
}

bool makeNamedPipe(const QString& path) {
    return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}
