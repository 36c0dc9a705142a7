// What the main window shows of device discovery and hot-plug, and the
// choice among several repeaters; the discovery itself decides what to search.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <algorithm>

#include "CANParamWidget.h"
#include "CustomProgressIndicator.h"
#include "DevInfoWidget.h"
#include "HIDDevice.h"
#include "OpticalFiberParamWidget.h"
#include "RepeaterDiscovery.h"
#include "RouteParamWidget.h"
#include "Tarvane.h"
#include "TextFit.h"
#include "platform/DeviceNotifier.h"
#include "ui_Tarvane.h"

void Tarvane::createDiscovery() {
    m_pDiscovery = new RepeaterDiscovery(*m_hidDevice, this);
    RepeaterDiscovery* discovery = m_pDiscovery;
    connect(discovery, &RepeaterDiscovery::searchStarted, this, [this] { showSearching(true); });
    connect(discovery, &RepeaterDiscovery::searchEnded, this, [this] { showSearching(false); });
    // The window decides what a connection does to its pages.
    connect(discovery, &RepeaterDiscovery::connected, this, &Tarvane::onRepeaterConnected);
    connect(discovery, &RepeaterDiscovery::searchFailed, this, [this] {
        m_edits.searchFailed();  // no answer from the one chosen: its question is over
        emit showName(-1, 0, QString(), QString(), QString(), QString(), QString());
    });
    connect(discovery, &RepeaterDiscovery::disconnected, this, &Tarvane::showDisconnected);
    connect(discovery, &RepeaterDiscovery::repeatersChanged, this, &Tarvane::updateDeviceMenu);
    discovery->start();

    m_pDeviceNotifier = new DeviceNotifier(this);
    connect(m_pDeviceNotifier, &DeviceNotifier::notice, this,
            [this](const HidInterface& device, bool arrival) {
                if (RepeaterDiscovery::isRepeater(device.vendorId, device.productId))
                    emit deviceChanged(arrival ? 1 : 0);
            });
}

void Tarvane::showSearching(bool searching) {
    if (searching) {
        m_pProgressIndicator->startAnimation();
        ui->m_pLabelHint->show();
    } else {
        m_pProgressIndicator->stopAnimation();
        ui->m_pLabelHint->hide();
    }
}

void Tarvane::onShowName(int nCAN, int nFiberOptic, QString strName, QString strDevType, QString strDevVer,
                         QString strFirmware, QString strCardNum) {
    if (nCAN == -1) {
        showHint(tr("搜索设备失败"));
        return;
    }
    m_strModel = strDevType;
    showDeviceName(strName);
    m_pDevInfoWidget->setDevInfo(strDevType, strDevVer, strFirmware, strCardNum);
    sizePages(nCAN, nFiberOptic, m_nHardwareType);
    m_bConnected = true;
    m_edits.showRepeater();
    updateOfflineMenu();
}

void Tarvane::showDeviceName(const QString& text) {
    ui->m_pLineEditDevName->setText(text);
    // The field grows to the name, so that the card number shows whole; the
    // model comes first in any case.
    TextFit::fixLineEditWidth(ui->m_pLineEditDevName, kDevNameWidth);
    ui->m_pLineEditDevName->setCursorPosition(0);
}

void Tarvane::sizePages(int nCAN, int nFiberOptic, int routeType) {
    m_nFiberOptic = nFiberOptic;
    m_nCAN = nCAN;
    m_nHardwareType = routeType;
    m_pCANParamWidget->setChannalCount(m_nCAN);
    // Only this model's rows: the page adds rows, it hides none.
    m_pOpticalFiberParamWidget->hideParam();
    m_pOpticalFiberParamWidget->setFiberCount(m_nFiberOptic);
    m_pRouteParamWidget->setHardwareType(m_nHardwareType);
    fitMinimumWidth();  // the pages now show their editors and notes
}

void Tarvane::showDisconnected() {
    // Also sent when none was connected: offline pages stay as they are.
    if (!m_edits.repeaterGone()) return;
    m_pCANParamWidget->clearChannals();
    m_pOpticalFiberParamWidget->hideParam();
    m_pRouteParamWidget->hideParam();
    ui->m_pLineEditDevName->setText(QString());
    m_bConnected = false;
    updateOfflineMenu();
}

void Tarvane::onDeviceChanged(int nType) {
    if (nType == 0)
        m_pDiscovery->removed();
    else if (nType == 1)
        m_pDiscovery->arrived();
}

void Tarvane::onChooseDevice(const QString& path) {
    const std::string target = path.toStdString();
    const QVector<FoundRepeater>& repeaters = m_pDiscovery->repeaters();
    const auto chosen = std::find_if(repeaters.begin(), repeaters.end(),
                                     [&](const FoundRepeater& r) { return r.path == target; });
    // Refused: the entry that was clicked keeps no check of its own.
    if (chosen == repeaters.end() || target == m_pDiscovery->connectedPath() || m_pDiscovery->isSearching()) {
        updateDeviceMenu();
        return;
    }
    // Its pages are not these: edits go along only when the user says so.
    const DeviceIdentity identity = chosen->identity;
    EditState::Choice choice = EditState::Choice::Drop;
    if (m_edits.hasEdits()) {
        const quint64 connection = m_pDiscovery->connectionCount();
        choice = askKeepEdits(tr("页面上的修改尚未写入设备或保存。是否把它们带到%1？").arg(identity.strName),
                              identity.routeType, identity.strName, true);
        // Gone back, or the repeaters changed meanwhile: nothing changes.
        if (choice == EditState::Choice::GoBack || m_pDiscovery->connectionCount() != connection) {
            updateDeviceMenu();
            return;
        }
    }
    if (!m_pDiscovery->choose(target)) {
        updateDeviceMenu();
        return;
    }
    m_edits.chooseRepeater(identity.strCardNum, choice);
}

void Tarvane::updateDeviceMenu() {
    // Only with several repeaters is there a choice to make.
    QAction* entry = m_pMenuDevices->menuAction();
    const QVector<FoundRepeater>& repeaters = m_pDiscovery->repeaters();
    if (repeaters.size() <= 1) {
        m_pMenu->removeAction(entry);
        return;
    }
    if (!m_pMenu->actions().contains(entry)) m_pMenu->insertMenu(m_pActionLanguage, m_pMenuDevices);
    m_pMenuDevices->clear();
    for (const FoundRepeater& repeater : repeaters) {
        QAction* action = m_pMenuDevices->addAction(repeater.identity.strName);
        action->setCheckable(true);
        action->setChecked(repeater.path == m_pDiscovery->connectedPath());
        const QString path = QString::fromStdString(repeater.path);
        // Once the menu is done with the entry: choosing builds the entries anew.
        connect(
            action, &QAction::triggered, this, [this, path] { onChooseDevice(path); }, Qt::QueuedConnection);
    }
}

bool Tarvane::nativeEvent(const QByteArray& eventType, void* message, long*) {
    if (m_pDeviceNotifier) m_pDeviceNotifier->handleNativeEvent(eventType, message);
    return false;
}
