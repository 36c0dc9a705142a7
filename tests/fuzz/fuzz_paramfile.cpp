// A parameter file as Open applies it to the values of a connected device.
// Input: one byte choosing the device (hardware type code 1 ... 5), then the
// file's bytes.
#include <QJsonObject>

#include "FuzzSets.h"
#include "ParameterDocument.h"
#include "ParameterFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const ParameterSet& defaults = defaultsFor(1 + data[0] % 5);
    const QByteArray text(reinterpret_cast<const char*>(data) + 1, int(size - 1));

    QJsonObject object;
    QString warning;
    if (!ParameterFile::parse(text, QString(), &object, &warning)) {
        FUZZ_CHECK(!warning.isEmpty());
        return 0;
    }
    FUZZ_CHECK(warning.isEmpty());
    ParameterSet opened = defaults;
    ParameterDocument::apply(object, &opened);
    FUZZ_CHECK(opened.canCount == defaults.canCount && opened.fiberCount == defaults.fiberCount);
    const Sent sent = checkedFrames(opened);

    // What was opened, saved and opened again on the defaults, sends the
    // same: the saved document says everything that reaches the device.
    const QJsonDocument saved = ParameterDocument::toDocument(opened);
    ParameterSet reopened = defaults;
    ParameterDocument::apply(saved.object(), &reopened);
    FUZZ_CHECK(DeviceWrite::frames(reopened) == sent.frames);
    FUZZ_CHECK(ParameterChecks::problems(reopened) == sent.problems);
    return 0;
}
