#include "FileVersionQuery.h"

namespace {
QString fourHexDigits(quint16 value) {
    return (QStringLiteral("000") + QString::number(value, 16)).right(4);
}
}  // namespace

QString fileVersionQueryPath(quint16 language, quint16 codePage) {
    return QStringLiteral("\\StringFileInfo\\") + fourHexDigits(language) + fourHexDigits(codePage) +
           QStringLiteral("\\FileVersion");
}
