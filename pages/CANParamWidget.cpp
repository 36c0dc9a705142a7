#include "CANParamWidget.h"

#include <QVBoxLayout>

#include "ChannalWidget.h"
#include "WheelGuard.h"
#include "ui_CANParamWidget.h"

CANParamWidget::CANParamWidget(QWidget* parent) : QWidget(parent), ui(new Ui::CANParamWidget) {
    ui->setupUi(this);
    auto* layout = new QVBoxLayout;
    layout->addWidget(ui->m_tabWidgetChannal);
    setLayout(layout);
    (new WheelGuard(this))->guardTabs(ui->m_tabWidgetChannal);

    for (int i = 0; i < kMaxChannals; ++i) m_channals[i] = std::make_unique<ChannalWidget>(i + 1);
}

// The editors go first, while the tab widget that may parent them still exists.
CANParamWidget::~CANParamWidget() {
    for (auto& channal : m_channals) channal.reset();
    delete ui;
}

QString CANParamWidget::tabTitle(int i) const {
    return tr("通道") + QString::number(i + 1);
}

void CANParamWidget::setChannalCount(int n) {
    // Tab i must always show channel i + 1, so the set is sized from the
    // end rather than appended to blindly.
    const int count = qBound(0, n, kMaxChannals);
    while (ui->m_tabWidgetChannal->count() > count)
        ui->m_tabWidgetChannal->removeTab(ui->m_tabWidgetChannal->count() - 1);
    for (int i = ui->m_tabWidgetChannal->count(); i < count; ++i)
        ui->m_tabWidgetChannal->addTab(m_channals[i].get(), tabTitle(i));
}

void CANParamWidget::clearChannals() {
    ui->m_tabWidgetChannal->clear();
}

ChannalWidget* CANParamWidget::channalWidget(int i) const {
    return qobject_cast<ChannalWidget*>(ui->m_tabWidgetChannal->widget(i));
}

QVector<CanChannelValues> CANParamWidget::values() const {
    QVector<CanChannelValues> values;
    for (int i = 0; i < ui->m_tabWidgetChannal->count(); ++i) {
        if (const ChannalWidget* channal = channalWidget(i)) values.append(channal->values());
    }
    return values;
}

void CANParamWidget::setValues(const QVector<CanChannelValues>& values) {
    for (int i = 0; i < values.size(); ++i) {
        if (ChannalWidget* channal = channalWidget(i)) channal->setValues(values.at(i));
    }
}

void CANParamWidget::setDefault() {
    for (int i = 0; i < ui->m_tabWidgetChannal->count(); ++i) {
        if (ChannalWidget* channal = channalWidget(i)) channal->setDefault();
    }
}

void CANParamWidget::retranslate() {
    for (int i = 0; i < ui->m_tabWidgetChannal->count(); ++i)
        ui->m_tabWidgetChannal->setTabText(i, tabTitle(i));
    for (auto& channal : m_channals) channal->retranslate();
}
