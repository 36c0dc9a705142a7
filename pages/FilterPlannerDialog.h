#pragma once

#include <QDialog>
#include <QStringList>
#include <QTimer>
#include <array>

#include "FilterPlanner.h"
#include "ParameterSet.h"

namespace Ui {
class FilterPlannerDialog;
}

// Plans a channel's filter banks from the identifiers and ranges the user
// lists, shows the banks it would fill and what passes besides, and fills
// them on OK. Texts are set when it is built, in the language of the moment.
class FilterPlannerDialog : public QDialog {
    Q_OBJECT
public:
    explicit FilterPlannerDialog(QWidget* parent = nullptr);
    ~FilterPlannerDialog() override;

    // The channel's banks as the table shows them: kept where the plan does
    // not reach, and read for banks that would let everything through.
    void setBanks(const std::array<FilterRow, kFilterBankCount>& banks);
    // The banks with the plan filled in, once accepted; as given until then.
    const std::array<FilterRow, kFilterBankCount>& banks() const { return m_banks; }
    // The first bank the plan fills, 0-13.
    int firstBank() const;

public slots:
    // Fills the banks; without a plan the dialog stays open.
    void accept() override;

private slots:
    // Parses and plans the request again, and shows the result.
    void refresh();

private:
    // The banks the plan leaves in use that pass every frame, 1-14.
    QStringList banksPassingEverything() const;
    void showPlan();

    Ui::FilterPlannerDialog* ui;
    std::array<FilterRow, kFilterBankCount> m_banks;
    FilterPlanner::Plan m_plan;
    // Typing plans again once the keys rest: a long list takes its time.
    QTimer m_typing;
};
