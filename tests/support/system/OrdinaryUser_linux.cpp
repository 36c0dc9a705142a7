#include "OrdinaryUser.h"

#include <QFile>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr uid_t kNobody = 65534;
constexpr int kCannotDrop = 77;
}  // namespace

OrdinaryUserRun runAsOrdinaryUser(const std::function<QString()>& check) {
    OrdinaryUserRun run;
    if (geteuid() != 0) {
        run.message = check();
        run.outcome = run.message.isEmpty() ? OrdinaryUserRun::Passed : OrdinaryUserRun::Failed;
        return run;
    }

    int channel[2];
    if (pipe(channel) != 0) {
        run.message = QStringLiteral("no pipe to a child process");
        return run;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        run.message = QStringLiteral("no child process");
        return run;
    }
    if (child == 0) {
        close(channel[0]);
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(kCannotDrop);
        const QByteArray failure = check().toUtf8();
        if (!failure.isEmpty() && write(channel[1], failure.constData(), size_t(failure.size())) < 0)
            _exit(1);
        // No destructors, no exit handlers: they belong to the test process.
        _exit(failure.isEmpty() ? 0 : 1);
    }

    close(channel[1]);
    QByteArray message;
    char buffer[512];
    ssize_t count;
    while ((count = read(channel[0], buffer, sizeof buffer)) > 0) message.append(buffer, int(count));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    run.message = QString::fromUtf8(message);
    if (!WIFEXITED(status)) {
        run.outcome = OrdinaryUserRun::Failed;
        run.message = QStringLiteral("the child process ended abnormally");
    } else if (WEXITSTATUS(status) == kCannotDrop) {
        run.message = QStringLiteral("root cannot become nobody here");
    } else {
        run.outcome = WEXITSTATUS(status) == 0 ? OrdinaryUserRun::Passed : OrdinaryUserRun::Failed;
    }
    return run;
}

bool setFolderWritable(const QString& path, bool writable) {
    // Anyone may enter and read it, and write in it when asked for: the
    // checks may run as nobody in a folder that root owns.
    QFile::Permissions permissions = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                     QFile::ReadOther | QFile::ExeOther;
    if (writable) permissions |= QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return QFile::setPermissions(path, permissions);
}
