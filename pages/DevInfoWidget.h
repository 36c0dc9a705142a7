#pragma once

#include <QString>
#include <QWidget>

#include "ui_DevInfoWidget.h"

// The device identity window: model name, hardware and firmware versions and
// card number of the connected device, shown as a small modal dialog.
class DevInfoWidget : public QWidget {
    Q_OBJECT
public:
    explicit DevInfoWidget(QWidget* parent = nullptr);

    void setDevInfo(const QString& strDevType, const QString& strDevVer, const QString& strFirmware,
                    const QString& strCardNum);
    void retranslate();

private:
    Ui::DevInfoWidget ui;
};
