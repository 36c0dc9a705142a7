#pragma once

#include <memory>

#include <QByteArray>
#include <QJsonArray>
#include <QWidget>

#include "ParameterSet.h"

class CheckButton;
class QSignalMapper;
class QTableWidgetItem;

namespace Ui {
class RouteParamWidget;
}

// The route tab: an ON/OFF switch per channel and a route switch per ordered
// pair of channels. Which channels exist follows the device's hardware type.
class RouteParamWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kChannelCount = kRouteChannelCount;

    explicit RouteParamWidget(QWidget* parent = nullptr);
    ~RouteParamWidget() override;

    void setHardwareType(int type);
    void hideParam();
    void setDefault();
    QByteArray routeFrame() const;
    void setRouteReply(const unsigned char* reply);
    QJsonArray toJson() const;
    // The inverse of toJson(): applies six strings of six "0"/"1" digits to
    // the present routes. Anything else leaves the map as it is and fails.
    bool fromJson(const QJsonArray& route);
    void retranslate();

    // Every switch's state, shown or not; showing values leaves which
    // switches can be used as it is.
    RouteValues values() const;
    void setValues(const RouteValues& values);

public slots:
    void onCheckButtonClickedMapper(int row);

protected:
    // The table's keys: Space and Enter switch the current switch.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Channels are counted 0 ... 5 in the order CAN1, CAN2, Fiber1 ... Fiber4.
    bool isPresent(int channel) const;
    // The constructor's parts: the page's layout, the table's rows and
    // columns, the ON/OFF column and the channels' names, the route switches.
    void layOut();
    void shapeTable();
    void addChannelSwitches();
    void addRouteSwitches();
    void fitTable();
    std::unique_ptr<Ui::RouteParamWidget> ui;
    QSignalMapper* m_signalMapper = nullptr;
    int m_hardwareType = 1;
    // Indexed by channel, in the order CAN1, CAN2, Fiber1 ... Fiber4.
    CheckButton* m_onOff[kChannelCount] = {};
    CheckButton* m_route[kChannelCount][kChannelCount] = {};  // [row channel][column channel]
    QTableWidgetItem* m_rowItems[kChannelCount] = {};
    QTableWidgetItem* m_columnItems[kChannelCount] = {};
    QTableWidgetItem* m_onOffItem = nullptr;
};
