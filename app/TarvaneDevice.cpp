// Device discovery and hot-plug of the main window.
#include <QLabel>
#include <QLineEdit>

#include "CANParamWidget.h"
#include "CustomProgressIndicator.h"
#include "DevInfoWidget.h"
#include "DeviceSearch.h"
#include "HIDDevice.h"
#include "OpticalFiberParamWidget.h"
#include "RouteParamWidget.h"
#include "Tarvane.h"
#include "TextFit.h"
#include "platform/DeviceNotifier.h"
#include "ui_Tarvane.h"

void Tarvane::startSearch() {
    waitForSearch();  // a finished search leaves its thread to be joined
    m_bSearching = true;
    m_searchThread = std::thread(&Tarvane::searchDevice, this);
}

void Tarvane::waitForSearch() {
    if (m_searchThread.joinable()) m_searchThread.join();
}

// Search thread: touches no widget; the result crosses over by the queued showName.
void Tarvane::searchDevice() {
    DeviceIdentity identity;
    if (::searchDevice(*m_hidDevice, identity)) {
        m_nHardwareType = identity.hardwareType;
        emit showName(identity.nCAN, identity.nFiberOptic, identity.strName, identity.strDevType,
                      identity.strDevVer, identity.strFirmware, identity.strCardNum);
    } else {
        emit showName(-1, 0, QString(), QString(), QString(), QString(), QString());
    }
}

void Tarvane::onShowName(int nCAN, int nFiberOptic, QString strName, QString strDevType, QString strDevVer,
                         QString strFirmware, QString strCardNum) {
    m_bSearching = false;
    m_pProgressIndicator->stopAnimation();
    ui->m_pLabelHint->hide();
    if (m_bDiscardSearchResult) {  // the device went away while it was being searched
        m_bDiscardSearchResult = false;
        return;
    }
    if (nCAN == -1) {
        showHint(tr("搜索设备失败"));
        return;
    }
    ui->m_pLineEditDevName->setText(strName);
    // The field grows to the name, so that the card number shows whole; the
    // model comes first in any case.
    TextFit::fixLineEditWidth(ui->m_pLineEditDevName, kDevNameWidth);
    ui->m_pLineEditDevName->setCursorPosition(0);
    m_nFiberOptic = nFiberOptic;
    m_nCAN = nCAN;
    m_pDevInfoWidget->setDevInfo(strDevType, strDevVer, strFirmware, strCardNum);
    m_pCANParamWidget->setChannalCount(m_nCAN);
    m_pOpticalFiberParamWidget->setFiberCount(m_nFiberOptic);
    m_pRouteParamWidget->setHardwareType(m_nHardwareType);
    fitMinimumWidth();  // the pages now show their editors and notes
    m_bConnected = true;
}

void Tarvane::onDeviceChanged(int nType) {
    if (nType == 0) {
        // The search must let go of the device before it is closed; its
        // result, still on its way, no longer stands for a device.
        waitForSearch();
        if (m_bSearching) m_bDiscardSearchResult = true;
        m_pCANParamWidget->clearChannals();
        m_pOpticalFiberParamWidget->hideParam();
        m_pRouteParamWidget->hideParam();
        m_hidDevice->close();
        ui->m_pLineEditDevName->setText(QString());
        m_bConnected = false;
    } else if (nType == 1) {
        // A second search would share the handle across threads and size the
        // pages twice.
        if (m_bSearching || m_bConnected) return;
        m_pProgressIndicator->startAnimation();
        ui->m_pLabelHint->show();
        startSearch();
    }
}

bool Tarvane::nativeEvent(const QByteArray& eventType, void* message, long*) {
    if (m_pDeviceNotifier) m_pDeviceNotifier->handleNativeEvent(eventType, message);
    return false;
}
