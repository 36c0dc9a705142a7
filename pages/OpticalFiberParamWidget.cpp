#include "OpticalFiberParamWidget.h"

#include "ui_OpticalFiberParamWidget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "FiberRules.h"
#include "TextFit.h"
#include "WheelGuard.h"

namespace {
constexpr int kLabelWidth = 120;
}  // namespace

OpticalFiberParamWidget::OpticalFiberParamWidget(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::OpticalFiberParamWidget>()) {
    ui->setupUi(this);
    ui->m_labelTip->setStyleSheet(QStringLiteral("color:red;"));
    // A note longer than the page is wide goes on in a second line.
    ui->m_labelTip->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addSpacing(5);
    layout->addWidget(ui->m_labelTip);
    layout->addSpacing(50);
    layout->addSpacing(15);
    auto* wheelGuard = new WheelGuard(this);
    for (int i = 0; i < kMaxFibers; ++i) {
        auto* label = new QLabel;
        auto* combo = new QComboBox;
        label->setObjectName(QStringLiteral("m_labelBaudRate%1").arg(i + 1));
        combo->setObjectName(QStringLiteral("m_comboBoxBaudRate%1").arg(i + 1));
        label->hide();
        combo->hide();
        combo->setFixedWidth(100);
        wheelGuard->guard(combo);
        // The item index + 1 is the code the device uses.
        for (int code = 1; code <= FiberRules::kRateCount; ++code)
            combo->addItem(FiberRules::rateText(code), QByteArray(1, char(code)));
        m_labelBaudRate[i] = label;
        m_comboBoxBaudRate[i] = combo;

        auto* row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(label);
        row->addWidget(combo);
        row->addStretch();
        layout->addLayout(row);
    }
    layout->addStretch();

    retranslateLabels();
    ui->m_labelTip->hide();
    setDefault();
}

void OpticalFiberParamWidget::setFiberCount(int n) {
    m_fiberCount = qBound(0, n, kMaxFibers);
    for (int i = 0; i < m_fiberCount; ++i) {
        m_labelBaudRate[i]->show();
        m_comboBoxBaudRate[i]->show();
    }
    ui->m_labelTip->show();
}

void OpticalFiberParamWidget::hideParam() {
    for (int i = 0; i < m_fiberCount; ++i) {
        m_labelBaudRate[i]->hide();
        m_comboBoxBaudRate[i]->hide();
    }
    ui->m_labelTip->hide();
}

void OpticalFiberParamWidget::setDefault() {
    setValues(FiberValues::defaults());
}

FiberValues OpticalFiberParamWidget::values() const {
    FiberValues values;
    for (int i = 0; i < kMaxFibers; ++i) values.codes[size_t(i)] = m_comboBoxBaudRate[i]->currentIndex() + 1;
    return values;
}

void OpticalFiberParamWidget::setValues(const FiberValues& values) {
    for (int i = 0; i < kMaxFibers; ++i)
        m_comboBoxBaudRate[i]->setCurrentIndex(FiberRules::entryCode(values.codes[size_t(i)]) - 1);
}

QVariant OpticalFiberParamWidget::baudRateData(int channel) const {
    if (channel < 0 || channel >= kMaxFibers) return QVariant();
    // An empty box (no current item) yields an invalid variant.
    return m_comboBoxBaudRate[channel]->currentData();
}

void OpticalFiberParamWidget::setBaudRateCode(int channel, int code) {
    FiberValues changed = values();
    FiberRules::setCode(changed, m_fiberCount, channel, code);
    setValues(changed);
}

void OpticalFiberParamWidget::retranslate() {
    retranslateLabels();
    ui->m_labelTip->setText(tr("【注意】：如需修改,请确保与对接光纤通道的波特率保持一致."));
}

void OpticalFiberParamWidget::retranslateLabels() {
    for (int i = 0; i < kMaxFibers; ++i)
        m_labelBaudRate[i]->setText(tr("光纤") + QString::number(i + 1) + QLatin1Char(' ') + tr("波特率："));
    TextFit::fixLabelWidth(QList<QLabel*>(m_labelBaudRate, m_labelBaudRate + kMaxFibers), kLabelWidth);
}

OpticalFiberParamWidget::~OpticalFiberParamWidget() = default;
