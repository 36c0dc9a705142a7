#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include "ParameterSet.h"

// One field whose value differs between two parameter sets of one device:
// those of a file or of the pages, and those the device holds.
struct FieldDifference {
    enum class Field {
        BaudRate,
        InUse,
        WorkMode,
        BitWidth,
        IdRegister,
        MaskRegister,
        FiberBaudRate,
        Switch,
        Route
    };

    Field kind = Field::BaudRate;
    // The CAN channel (0 ...) of the first six kinds, the fiber channel of
    // FiberBaudRate, the route channel (0 ... 5) of Switch and Route.
    int index = 0;
    int bank = -1;     // filter bank 0 ... 13 of the filter fields
    int routeTo = -1;  // the route channel a Route leads to
    QString channel;   // "CAN1", "光纤2", ...
    QString field;     // its name, translated
    // As the parameter file writes them.
    QString givenValue;
    QString deviceValue;

    // The bank as the filter table numbers its rows, 1 ... 14; "-" for none.
    QString bankText() const;
};

// Compares two sets for the same device model field by field: the values
// the Write would send. A channel switched off on the given side is one
// difference of its switch, not one for each of its routes.
class ParameterDiff {
    Q_DECLARE_TR_FUNCTIONS(ParameterDiff)
public:
    static QVector<FieldDifference> compare(const ParameterSet& given, const ParameterSet& device);
};

// How a bit-timing word is shown wherever a difference names a CAN bit
// rate: its text, and what it means as the channel page says it.
QString describeBaudRate(const QString& wordText);
// A register as it goes out, in the file's form ("12 34 56 78"); a text that
// cannot go out, as it was typed.
QString registerValue(const RegisterText& text);
