#include "FileErrors.h"

#include <QCoreApplication>

FileError fileErrorOf(const QString& systemText) {
    const FileError error = systemFileErrorOf(systemText);
    if (error != FileError::Other) return error;
    // What Qt says itself of a folder opened as a file, and of a folder a file
    // is to be saved as, in the words of Qt's own catalogue. The contexts are
    // no literals, so that lupdate leaves these texts out of the program's.
    const char* const ioDevice = "QIODevice";
    const char* const saveFile = "QSaveFile";
    if (systemText == QCoreApplication::translate(ioDevice, "file to open is a directory") ||
        systemText == QCoreApplication::translate(saveFile, "Filename refers to a directory"))
        return FileError::IsDirectory;
    return FileError::Other;
}
