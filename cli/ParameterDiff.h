#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVector>

class ParameterPages;

// One field whose value differs between a parameter file and the device.
struct FieldDifference {
    QString channel;  // "CAN1", "Fiber2", ...
    QString bank;     // filter bank 0 ... 13, or "-"
    QString field;
    QString fileValue;
    QString deviceValue;
};

// Compares two sets of pages for the same device model field by field: the
// values the Write would send, shown as the parameter file writes them.
class ParameterDiff {
    Q_DECLARE_TR_FUNCTIONS(ParameterDiff)
public:
    static QVector<FieldDifference> compare(const ParameterPages& file, const ParameterPages& device);
};

// How a bit-timing word is shown wherever the command line shows a CAN bit
// rate: its text, and what it means as the channel page says it.
QString describeBaudRate(const QString& wordText);
