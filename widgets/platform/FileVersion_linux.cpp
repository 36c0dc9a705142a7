#include "FileVersion.h"
#include "TarvaneVersion.h"

// Executables here carry no version resource; the build stamps the version in.
QString programFileVersion(const QString&) {
    return QStringLiteral(TARVANE_VERSION);
}
