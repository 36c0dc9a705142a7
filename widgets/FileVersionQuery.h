#pragma once

#include <QString>
#include <QtGlobal>

// The version-resource query for the file version in the string table of
// one translation: "\StringFileInfo\" + language + code page + "\FileVersion",
// each as four lower-case hex digits.
QString fileVersionQueryPath(quint16 language, quint16 codePage);
