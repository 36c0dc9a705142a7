// Read config, Write config, Save, Open and Default of the main window.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "CANParamWidget.h"
#include "DeviceRead.h"
#include "DeviceWrite.h"
#include "EnableGuard.h"
#include "OpticalFiberParamWidget.h"
#include "ParameterFile.h"
#include "RouteParamWidget.h"
#include "Tarvane.h"
#include "ui_Tarvane.h"

namespace {
constexpr int kSettleMs = 5;  // lets the disabled button repaint before the work blocks
}  // namespace

void Tarvane::showWarning(const QString& text) {
    QMessageBox::warning(this, QStringLiteral("失败"), text, QMessageBox::Yes, QMessageBox::NoButton);
}

void Tarvane::onPushButtonRead() {
    if (!ensureConnected()) return;
    EnableGuard guard(ui->m_pushButtonRead);
    DeviceRead read(*m_hidDevice, *m_pCANParamWidget, *m_pOpticalFiberParamWidget, *m_pRouteParamWidget,
                    m_nCAN, m_nFiberOptic);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DeviceRead::Result result = read.run();
    QApplication::restoreOverrideCursor();
    showHint(tr(DeviceRead::message(result)));
}

void Tarvane::onPushButtonWrite() {
    if (!ensureConnected()) return;
    EnableGuard guard(ui->m_pushButtonWrite);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
    if (!ensureConnected()) return;  // unplugged just now: nothing left to send to
    DeviceWrite write(*m_hidDevice, *m_pCANParamWidget, *m_pOpticalFiberParamWidget, *m_pRouteParamWidget,
                      m_nCAN, m_nFiberOptic);
    const QStringList problems = write.problems();
    if (!problems.isEmpty()) {
        showHint(DeviceWrite::problemMessage(problems));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DeviceWrite::Result result = write.run();
    QApplication::restoreOverrideCursor();
    showHint(tr(DeviceWrite::message(result)));
}

void Tarvane::onPushButtonSaveToFile() {
    if (!ensureConnected()) return;
    EnableGuard guard(ui->m_pushButtonRead);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
    const QString path =
        QFileDialog::getSaveFileName(this, tr("保存配置"), QString(), tr("TXT 文本文件(*.txt)"));
    if (path.isEmpty()) return;
    if (!ensureConnected()) return;  // unplugged while the dialog was open: the pages are empty now

    const ParameterFile file(*m_pCANParamWidget, *m_pOpticalFiberParamWidget, *m_pRouteParamWidget);
    QString warning;
    if (!ParameterFile::save(path, file.toDocument(m_nCAN, m_nFiberOptic), &warning)) {
        showWarning(warning);
        return;
    }
    showHint(tr("保存完成"));
}

void Tarvane::onPushButtonReadFromFile() {
    if (!ensureConnected()) return;
    EnableGuard guard(ui->m_pushButtonRead);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
    const QString path =
        QFileDialog::getOpenFileName(this, tr("打开配置"), QString(), tr("TXT 文本文件(*.txt)"));
    if (path.isEmpty()) return;
    if (!ensureConnected()) return;  // unplugged while the dialog was open: no channel to apply to

    QJsonObject object;
    QString warning;
    if (!ParameterFile::load(path, &object, &warning)) {
        showWarning(warning);
        return;
    }
    ParameterFile(*m_pCANParamWidget, *m_pOpticalFiberParamWidget, *m_pRouteParamWidget).apply(object);
    showHint(tr("读取完成"));
}

void Tarvane::onPushButtonDefault() {
    m_pCANParamWidget->setDefault();
    m_pOpticalFiberParamWidget->setDefault();
    m_pRouteParamWidget->setDefault();
}
