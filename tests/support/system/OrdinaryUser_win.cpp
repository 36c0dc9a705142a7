#include "OrdinaryUser.h"

OrdinaryUserRun runAsOrdinaryUser(const std::function<QString()>&) {
    OrdinaryUserRun run;
    run.message = QStringLiteral("folders are not made read-only through permission bits here");
    return run;
}

bool setFolderWritable(const QString&, bool) {
    return true;  // nothing to do: runAsOrdinaryUser() runs no check here
}
