#pragma once

#include <QVector>
#include <QWidget>
#include <array>
#include <memory>

#include "ParameterSet.h"

class ChannalWidget;

namespace Ui {
class CANParamWidget;
}

// The CAN page: one tab per CAN channel of the connected device. The three
// channel editors are made once and keep their values while no tab shows them.
class CANParamWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxChannals = kCanChannelMax;

    explicit CANParamWidget(QWidget* parent = nullptr);
    ~CANParamWidget() override;

    // Shows channels 1 ... n on tabs; n is clamped to 0 ... 3.
    void setChannalCount(int n);
    void clearChannals();
    // The editor shown in tab i, or nullptr when there is no such tab.
    ChannalWidget* channalWidget(int i) const;

    // The values of the channels shown on tabs, in tab order; showing
    // values goes to the tabs by position, and no further than they go.
    QVector<CanChannelValues> values() const;
    void setValues(const QVector<CanChannelValues>& values);

    void setDefault();
    void retranslate();

private:
    QString tabTitle(int i) const;

    Ui::CANParamWidget* ui;
    std::array<std::unique_ptr<ChannalWidget>, kMaxChannals> m_channals;
};
