// Device discovery and hot-plug of the main window, and the choice among
// several repeaters.
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
#include "Protocol.h"
#include "RouteParamWidget.h"
#include "Tarvane.h"
#include "TextFit.h"
#include "platform/DeviceNotifier.h"
#include "ui_Tarvane.h"

namespace {

std::vector<std::string> repeaterPaths() {
    return HIDDevice::paths(Protocol::VendorId, Protocol::ProductId);
}

bool contains(const std::vector<std::string>& paths, const std::string& path) {
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

}  // namespace

void Tarvane::startSearch() {
    waitForSearch();  // a finished search leaves its thread to be joined
    m_bSearching = true;
    m_searchThread = std::thread(&Tarvane::searchDevice, this);
}

void Tarvane::startListing() {
    waitForSearch();
    m_bSearching = true;
    m_searchThread = std::thread(&Tarvane::listRepeaters, this, m_repeaters, m_connectedPath);
}

void Tarvane::waitForSearch() {
    if (m_searchThread.joinable()) m_searchThread.join();
}

// Search thread: touches no widget; the result crosses over by the queued
// showName. Connects to the repeater asked for, else to the first listed
// that answers, and asks every other one who it is.
void Tarvane::searchDevice() {
    std::vector<std::string> paths = repeaterPaths();
    const auto target = std::find(paths.begin(), paths.end(), m_searchTarget);
    if (target != paths.end()) std::rotate(paths.begin(), target, target + 1);
    QVector<FoundRepeater> found;
    DeviceIdentity identity;
    std::string connectedPath;
    for (const std::string& path : paths) {
        FoundRepeater repeater;
        if (connectedPath.empty()) {
            repeater = RepeaterList::open(path, *m_hidDevice);  // stays open when it answered
            if (repeater.state == FoundRepeater::State::Identified) {
                connectedPath = path;
                identity = repeater.identity;
            }
        } else {
            HIDDevice other;  // closed again when it goes
            repeater = RepeaterList::open(path, other);
        }
        // Only those that answered can be chosen.
        if (repeater.state == FoundRepeater::State::Identified) found.append(repeater);
    }
    std::sort(found.begin(), found.end(), [](const FoundRepeater& a, const FoundRepeater& b) { return a.path < b.path; });
    m_foundRepeaters = found;
    m_foundConnectedPath = connectedPath;
    if (!connectedPath.empty()) {
        m_nHardwareType = identity.hardwareType;
        emit showName(identity.nCAN, identity.nFiberOptic, identity.strName, identity.strDevType,
                      identity.strDevVer, identity.strFirmware, identity.strCardNum);
    } else {
        emit showName(-1, 0, QString(), QString(), QString(), QString(), QString());
    }
}

// Search thread: the repeaters listed now, those not known yet asked who they
// are; the connected one is left alone.
void Tarvane::listRepeaters(QVector<FoundRepeater> known, std::string connectedPath) {
    QVector<FoundRepeater> found;
    for (const std::string& path : repeaterPaths()) {
        const auto old =
            std::find_if(known.begin(), known.end(), [&](const FoundRepeater& r) { return r.path == path; });
        if (old != known.end()) {
            found.append(*old);
        } else if (path != connectedPath) {
            HIDDevice other;
            const FoundRepeater repeater = RepeaterList::open(path, other);
            if (repeater.state == FoundRepeater::State::Identified) found.append(repeater);
        }
    }
    m_foundRepeaters = found;
    emit repeatersListed();
}

void Tarvane::onShowName(int nCAN, int nFiberOptic, QString strName, QString strDevType, QString strDevVer,
                         QString strFirmware, QString strCardNum) {
    m_bSearching = false;
    m_pProgressIndicator->stopAnimation();
    ui->m_pLabelHint->hide();
    if (m_bDiscardSearchResult) {  // the device went away while it was being searched
        m_bDiscardSearchResult = false;
        continueAfterSearch();
        return;
    }
    m_repeaters = m_foundRepeaters;
    m_searchTarget.clear();
    if (nCAN == -1) {
        updateDeviceMenu();
        showHint(tr("搜索设备失败"));
        continueAfterSearch();
        return;
    }
    m_connectedPath = m_foundConnectedPath;
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
    keepPageValues();  // what the pages show now is no edit
    ++m_connection;
    updateDeviceMenu();
    continueAfterSearch();
}

void Tarvane::onRepeatersListed() {
    m_bSearching = false;
    if (m_bDiscardSearchResult) {
        m_bDiscardSearchResult = false;
    } else {
        m_repeaters = m_foundRepeaters;
        updateDeviceMenu();
    }
    continueAfterSearch();
}

void Tarvane::continueAfterSearch() {
    // A notice that came while a search ran is looked at now.
    if (!m_bListPending || m_bSearching) return;
    m_bListPending = false;
    if (m_bConnected) {
        startListing();
    } else if (!repeaterPaths().empty()) {
        m_pProgressIndicator->startAnimation();
        ui->m_pLabelHint->show();
        startSearch();
    }
}

void Tarvane::disconnectDevice() {
    m_pCANParamWidget->clearChannals();
    m_pOpticalFiberParamWidget->hideParam();
    m_pRouteParamWidget->hideParam();
    m_hidDevice->close();
    ui->m_pLineEditDevName->setText(QString());
    m_bConnected = false;
    m_connectedPath.clear();
}

void Tarvane::onDeviceChanged(int nType) {
    if (nType == 0) {
        // The search must let go of the device before it is closed; its
        // result, still on its way, no longer stands for a device.
        waitForSearch();
        const bool discarded = m_bSearching;
        if (discarded) m_bDiscardSearchResult = true;
        // A listing beside the connection may have seen one that is still
        // there: the list is made again once its result is dropped. The one
        // that went may be the newcomer it was asking, not yet in the list.
        const bool listing = discarded && m_bConnected;
        if (listing) m_bListPending = true;
        if (m_repeaters.size() <= 1 && !listing) {
            disconnectDevice();
            m_repeaters.clear();
            updateDeviceMenu();
            return;
        }
        // One of several went, or the newcomer: the list says which.
        const std::vector<std::string> paths = repeaterPaths();
        m_repeaters.erase(std::remove_if(m_repeaters.begin(), m_repeaters.end(),
                                         [&](const FoundRepeater& r) { return !contains(paths, r.path); }),
                          m_repeaters.end());
        const bool lost = !m_bConnected || !contains(paths, m_connectedPath);
        if (lost) disconnectDevice();
        updateDeviceMenu();
        if (lost && !m_repeaters.isEmpty()) {
            if (!contains(paths, m_searchTarget)) m_searchTarget = m_repeaters.first().path;
            // One search at a time: after the stale result, if one is on its way.
            if (m_bSearching) {
                m_bListPending = true;
                return;
            }
            m_pProgressIndicator->startAnimation();
            ui->m_pLabelHint->show();
            startSearch();
        }
    } else if (nType == 1) {
        // One search at a time: a second would share the handle across
        // threads. This one is looked at when the running one is done.
        if (m_bSearching) {
            m_bListPending = true;
            return;
        }
        // Another repeater beside the connected one joins the list, and the
        // connection stays as it is.
        if (m_bConnected) {
            startListing();
            return;
        }
        m_pProgressIndicator->startAnimation();
        ui->m_pLabelHint->show();
        startSearch();
    }
}

void Tarvane::onChooseDevice(const QString& path) {
    const std::string chosen = path.toStdString();
    if (chosen == m_connectedPath || m_bSearching) {
        updateDeviceMenu();  // the entry that was clicked keeps no check of its own
        return;
    }
    disconnectDevice();
    m_searchTarget = chosen;
    updateDeviceMenu();
    m_pProgressIndicator->startAnimation();
    ui->m_pLabelHint->show();
    startSearch();
}

void Tarvane::updateDeviceMenu() {
    // Only with several repeaters is there a choice to make.
    QAction* entry = m_pMenuDevices->menuAction();
    if (m_repeaters.size() <= 1) {
        m_pMenu->removeAction(entry);
        return;
    }
    if (!m_pMenu->actions().contains(entry)) m_pMenu->insertMenu(m_pActionLanguage, m_pMenuDevices);
    m_pMenuDevices->clear();
    for (const FoundRepeater& repeater : qAsConst(m_repeaters)) {
        QAction* action = m_pMenuDevices->addAction(repeater.identity.strName);
        action->setCheckable(true);
        action->setChecked(repeater.path == m_connectedPath);
        const QString path = QString::fromStdString(repeater.path);
        // Once the menu is done with the entry: choosing builds the entries anew.
        connect(action, &QAction::triggered, this, [this, path] { onChooseDevice(path); }, Qt::QueuedConnection);
    }
}

bool Tarvane::nativeEvent(const QByteArray& eventType, void* message, long*) {
    if (m_pDeviceNotifier) m_pDeviceNotifier->handleNativeEvent(eventType, message);
    return false;
}
