#pragma once

#include <QDialog>
#include <QVector>

#include "ParameterDiff.h"
#include "ParameterSet.h"

namespace Ui {
class CompareDialog;
}

// Lists where the pages and the device differ, one row a field, each value
// as the pages show it; or says that they hold the same parameters. Texts
// are set when it is built, in the language of the moment.
class CompareDialog : public QDialog {
    Q_OBJECT
public:
    CompareDialog(const ParameterSet& pages, const ParameterSet& device, QWidget* parent = nullptr);
    ~CompareDialog() override;

    // A value of one side as the page shows it: the choice's text, ticked or
    // not, on or off, the register as written there.
    static QString shownValue(const FieldDifference& difference, const ParameterSet& side,
                              const QString& fileValue);

private:
    void fitToScreen(int rows);

    Ui::CompareDialog* ui;
};
