#pragma once

#include <memory>

#include <QVariant>
#include <QWidget>

#include "ParameterSet.h"

class QComboBox;
class QLabel;

namespace Ui {
class OpticalFiberParamWidget;
}

// The fiber tab: one baud-rate choice per fiber channel, kept as one-byte
// codes (item index + 1) in the combo boxes' user data.
class OpticalFiberParamWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxFibers = kFiberChannelMax;

    explicit OpticalFiberParamWidget(QWidget* parent = nullptr);
    ~OpticalFiberParamWidget() override;

    void setFiberCount(int n);
    void hideParam();
    void setDefault();
    QVariant baudRateData(int channel) const;
    void setBaudRateCode(int channel, int code);
    void retranslate();

    // The code of each of the four selectors, shown or not; showing values
    // sets all four.
    FiberValues values() const;
    void setValues(const FiberValues& values);

private:
    void retranslateLabels();

    std::unique_ptr<Ui::OpticalFiberParamWidget> ui;
    QLabel* m_labelBaudRate[kMaxFibers] = {};
    QComboBox* m_comboBoxBaudRate[kMaxFibers] = {};
    int m_fiberCount = 0;
};
