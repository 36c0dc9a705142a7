#pragma once

#include <QDialog>
#include <QVector>

#include "ParameterDiff.h"

namespace Ui {
class CompareDialog;
}

// Lists where the pages and the device differ, one row a field, as the
// command line's diff does; or says that they hold the same parameters.
// Texts are set when it is built, in the language of the moment.
class CompareDialog : public QDialog {
    Q_OBJECT
public:
    CompareDialog(const QVector<FieldDifference>& differences, QWidget* parent = nullptr);
    ~CompareDialog() override;

private:
    Ui::CompareDialog* ui;
};
