// A parameter file as Open applies it to the pages of a connected device.
// Input: one byte choosing the device (hardware type code 1 ... 5), then the
// file's bytes.
#include <cstddef>
#include <cstdint>

#include <QFile>
#include <QTemporaryDir>

#include "FuzzPages.h"

namespace {

QString inputPath() {
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    return dir.filePath(QStringLiteral("input.txt"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Pages& pages = pagesFor(1 + data[0] % 5);
    FUZZ_CHECK(pages.document() == pages.defaults);

    const QString path = inputPath();
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data) + 1, qint64(size - 1)) == qint64(size - 1));
    }

    QJsonObject object;
    QString warning;
    if (ParameterFile::load(path, &object, &warning)) {
        FUZZ_CHECK(warning.isEmpty());
        pages.file().apply(object);
        const Sent opened = checkedFrames(pages);

        // Saving what was opened and opening that again changes nothing
        // that reaches the device.
        QString saveWarning;
        FUZZ_CHECK(ParameterFile::save(path, pages.document(), &saveWarning));
        QJsonObject saved;
        FUZZ_CHECK(ParameterFile::load(path, &saved, &saveWarning));
        pages.file().apply(saved);
        FUZZ_CHECK(checkedFrames(pages) == opened);
    } else {
        // A refused file changes nothing.
        FUZZ_CHECK(!warning.isEmpty());
        FUZZ_CHECK(pages.document() == pages.defaults);
    }

    pages.setDefault();
    FUZZ_CHECK(pages.document() == pages.defaults);
    settleEvents();
    return 0;
}
