#include "DevInfoWidget.h"

#include "ui_DevInfoWidget.h"

#include <QAction>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "TextFit.h"

namespace {
constexpr int kCaptionWidth = 95;
const QSize kWindowSize(360, 254);
}  // namespace

DevInfoWidget::DevInfoWidget(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::DevInfoWidget>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_ShowModal);
    setWindowTitle(tr("设备信息"));
    // Esc closes it, as it closes any modal window.
    auto* close = new QAction(this);
    close->setShortcut(QKeySequence::Cancel);
    close->setShortcutContext(Qt::WindowShortcut);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    auto* layout = new QVBoxLayout(this);
    layout->addSpacing(30);
    const std::pair<QLabel*, QLineEdit*> rows[] = {
        {ui->m_labelDevType, ui->m_lineEditDevType},
        {ui->m_labelDevVersion, ui->m_lineEditDevVersion},
        {ui->m_labelFirmwareVersion, ui->m_lineEditFirmwareVersion},
        {ui->m_labelCardNum, ui->m_lineEditCardNum},
    };
    for (const auto& [caption, field] : rows) {
        auto* row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(caption);
        row->addWidget(field);
        row->addStretch();
        layout->addLayout(row);
    }
    layout->addStretch();
}

void DevInfoWidget::setDevInfo(const QString& strDevType, const QString& strDevVer,
                               const QString& strFirmware, const QString& strCardNum) {
    ui->m_lineEditDevType->setText(strDevType);
    ui->m_lineEditDevVersion->setText(strDevVer);
    ui->m_lineEditFirmwareVersion->setText(strFirmware);
    ui->m_lineEditCardNum->setText(strCardNum);
}

void DevInfoWidget::retranslate() {
    setWindowTitle(tr("设备信息"));
    ui->m_labelDevType->setText(tr("硬件类型："));
    ui->m_labelDevVersion->setText(tr("硬件版本："));
    ui->m_labelFirmwareVersion->setText(tr("固件版本："));
    ui->m_labelCardNum->setText(tr("板卡序号："));
    // A caption wider than its 95 pixels widens the captions' column, and
    // the window where it must.
    TextFit::fixLabelWidth(
        {ui->m_labelDevType, ui->m_labelDevVersion, ui->m_labelFirmwareVersion, ui->m_labelCardNum},
        kCaptionWidth);
    setFixedSize(kWindowSize.expandedTo(TextFit::layoutMinimum(this)));
}

DevInfoWidget::~DevInfoWidget() = default;
