#include "SystemLimits.h"

#include <QFile>
#include <QFileInfo>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

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

bool withReplacingRefused(const QString& path, const std::function<void()>& body) {
    constexpr uid_t kNobody = 65534;
    if (geteuid() != 0) return false;
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    struct stat old {};
    if (stat(folder.constData(), &old) != 0) return false;
    // Anyone may add files to a sticky folder, and replace or remove only
    // their own: nobody may write root's file there but not put another in its place.
    bool ran = false;
    if (chmod(folder.constData(), 01777) == 0 && chmod(file.constData(), 0666) == 0 &&
        setegid(kNobody) == 0) {
        if (seteuid(kNobody) == 0) {
            body();
            ran = seteuid(0) == 0;
        }
        ran = setegid(0) == 0 && ran;
    }
    chmod(folder.constData(), old.st_mode & 07777);
    return ran;
}
