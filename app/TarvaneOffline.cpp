// Editing offline: the pages of a model chosen without a repeater, the model
// a file is for, and what a repeater that connects meanwhile does to them.
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "ParameterKeys.h"
#include "RepeaterDiscovery.h"
#include "RouteRules.h"
#include "Tarvane.h"
#include "ui_Tarvane.h"

namespace {
// How often an arrival that waits for a dialog looks again.
constexpr int kArrivalRetryMs = 200;
}  // namespace

void Tarvane::createOfflineMenu() {
    m_menuOfflineOwner.reset(new QMenu(tr("离线编辑")));
    m_pMenuOffline = m_menuOfflineOwner.get();
    m_pMenuOffline->setObjectName(QStringLiteral("m_pMenuOffline"));
    for (int code = 1; const HardwareModel* model = hardwareModel(code); ++code) {
        QAction* action = m_pMenuOffline->addAction(QString::fromLatin1(model->name));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, code] { onChooseOfflineModel(code); });
    }
    updateOfflineMenu();
}

void Tarvane::updateOfflineMenu() {
    // A connected repeater decides the pages' shape: no model to choose then.
    QAction* entry = m_pMenuOffline->menuAction();
    if (m_bConnected) {
        m_pMenu->removeAction(entry);
        return;
    }
    if (!m_pMenu->actions().contains(entry)) m_pMenu->insertMenu(m_pActionLanguage, m_pMenuOffline);
    const QList<QAction*> models = m_pMenuOffline->actions();
    for (int i = 0; i < models.size(); ++i) models[i]->setChecked(i + 1 == m_edits.offlineModel());
}

void Tarvane::showOfflineModel(int code) {
    const HardwareModel* model = hardwareModel(code);
    m_edits.showModel(code);
    m_strModel = QString::fromLatin1(model->name);
    sizePages(model->nCAN, model->nFiberOptic, model->routeType);
    showOfflineName();
    updateOfflineMenu();
}

void Tarvane::showOfflineName() {
    if (const HardwareModel* model = hardwareModel(m_edits.offlineModel()))
        showDeviceName(tr("离线：%1").arg(QString::fromLatin1(model->name)));
}

void Tarvane::onChooseOfflineModel(int code) {
    const HardwareModel* model = hardwareModel(code);
    const std::optional<EditState::ModelChange> change = m_edits.changeModel(*model);
    if (!change) {
        updateOfflineMenu();
        return;
    }
    const EditState::Hold hold = m_edits.hold();
    EditState::Choice answer = EditState::Choice::Keep;
    if (change->asks) {
        const QString name = QString::fromLatin1(model->name);
        answer = askKeepEdits(tr("页面上的修改尚未写入设备或保存。是否把它们带到%1？").arg(name),
                              model->routeType, name, true);
        if (answer == EditState::Choice::GoBack) {
            updateOfflineMenu();
            return;
        }
    }
    showOfflineModel(code);
    if (m_edits.modelShown(*change, answer) == EditState::After::Defaults) {
        showDefaults();
        m_edits.keepPages();
    }
}

EditState::Choice Tarvane::askKeepEdits(const QString& question, int routeType, const QString& name,
                                        bool canGoBack) {
    QStringList dropped;
    for (int channel = 0; channel < kRouteChannelCount; ++channel)
        if (RouteRules::isPresent(m_nHardwareType, channel) && !RouteRules::isPresent(routeType, channel))
            dropped << RouteRules::channelName(channel);
    QString text = question;
    if (!dropped.isEmpty())
        text +=
            QLatin1Char('\n') + tr("%1没有%2，保留时舍去这些通道的值。").arg(name, dropped.join(tr("、")));
    text += QLatin1Char('\n') + tr("不保留则页面显示%1的默认值。").arg(name);
    QMessageBox box(QMessageBox::Question, tr("提示"), text, QMessageBox::Yes | QMessageBox::No, this);
    box.button(QMessageBox::Yes)->setText(tr("保留修改"));
    box.button(QMessageBox::No)->setText(tr("不保留"));
    // Keeping loses least, unless the user may go back and lose nothing.
    QMessageBox::StandardButton safest = QMessageBox::Yes;
    if (canGoBack) {
        box.addButton(QMessageBox::Cancel)->setText(tr("返回"));
        safest = QMessageBox::Cancel;
    }
    box.setDefaultButton(safest);
    box.setEscapeButton(safest);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return EditState::Choice::Keep;
        case QMessageBox::No:
            return EditState::Choice::Drop;
        default:
            return EditState::Choice::GoBack;
    }
}

void Tarvane::onRepeaterConnected(const DeviceIdentity& identity) {
    if (m_edits.arrive(identity))
        applyArrival();
    else
        QMetaObject::invokeMethod(this, &Tarvane::applyArrival, Qt::QueuedConnection);
}

void Tarvane::applyArrival() {
    const std::optional<EditState::Arrival> arrival = m_edits.arrival();
    if (!arrival) return;
    // Not over a box or dialog of its own (the calculator, the planner, a
    // message): the question waits until it is closed.
    if (arrival->asks && QApplication::activeModalWidget()) {
        QTimer::singleShot(kArrivalRetryMs, this, &Tarvane::applyArrival);
        return;
    }
    m_edits.takeArrival();
    const DeviceIdentity& identity = arrival->identity;
    EditState::Choice answer = arrival->answer();
    if (arrival->asks) {
        const quint64 connection = m_pDiscovery->connectionCount();
        const EditState::Hold hold = m_edits.hold();
        answer = askKeepEdits(tr("已连接设备%1。离线编辑的修改尚未保存，是否把它们带到这台设备的页面上？")
                                  .arg(identity.strName),
                              identity.routeType, identity.strDevType, false);
        // Gone, or another one connected, while the user was asked: the
        // pages stay offline, and a newer arrival is on its way.
        if (!m_pDiscovery->isConnected() || m_pDiscovery->connectionCount() != connection) return;
    }
    m_nHardwareType = identity.routeType;
    emit showName(identity.nCAN, identity.nFiberOptic, identity.strName, identity.strDevType,
                  identity.strDevVer, identity.strFirmware, identity.strCardNum);
    if (m_edits.arrivalShown(*arrival, answer) == EditState::After::Defaults) {
        showDefaults();
        m_edits.keepPages();
    }
}

int Tarvane::chooseModelForFile(const QJsonObject& file) {
    // A file holds one "CANParam" element for each CAN channel and one "Baud"
    // code for each fiber channel of the model it was saved for. Its "Route"
    // tells no more: all six rows are saved whatever the model, those of the
    // channels it lacks as their switches last stood, so no row marks a
    // channel as absent.
    const int canCount = file.value(ParameterKeys::CanParam).toArray().size();
    const int fiberCount =
        file.value(ParameterKeys::FiberParam).toObject().value(ParameterKeys::Baud).toArray().size();
    QStringList fitting;
    QStringList all;
    for (int code = 1; const HardwareModel* model = hardwareModel(code); ++code) {
        all << QString::fromLatin1(model->name);
        if (model->nCAN == canCount && model->nFiberOptic == fiberCount) fitting << all.last();
    }
    // One model fits: nothing to choose; the name line says which.
    if (fitting.size() == 1) return all.indexOf(fitting.first()) + 1;
    const QString counts =
        tr("参数文件中CAN通道的参数：%1组；光纤通道的参数：%2组。").arg(canCount).arg(fiberCount);
    QInputDialog dialog(this);
    dialog.setWindowTitle(tr("离线编辑"));
    dialog.setLabelText(counts + QLatin1Char('\n') +
                        (fitting.isEmpty() ? tr("没有型号与之相符，可任选一个型号离线编辑：")
                                           : tr("请选择离线编辑的型号：")));
    dialog.setComboBoxItems(fitting.isEmpty() ? all : fitting);
    dialog.setComboBoxEditable(false);
    if (dialog.exec() != QDialog::Accepted) return 0;
    return all.indexOf(dialog.textValue()) + 1;
}
