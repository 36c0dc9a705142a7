#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include "ParameterSet.h"

// One field whose value differs between two parameter sets of one device:
// those of a file or of the pages, and those the device holds.
struct FieldDifference {
    QString channel;  // "CAN1", "Fiber2", ...
    QString bank;     // filter bank 0 ... 13, or "-"
    QString field;
    QString givenValue;
    QString deviceValue;
};

// Compares two sets for the same device model field by field: the values
// the Write would send, shown as the parameter file writes them.
class ParameterDiff {
    Q_DECLARE_TR_FUNCTIONS(ParameterDiff)
public:
    static QVector<FieldDifference> compare(const ParameterSet& given, const ParameterSet& device);
};

// How a bit-timing word is shown wherever a difference names a CAN bit
// rate: its text, and what it means as the channel page says it.
QString describeBaudRate(const QString& wordText);
