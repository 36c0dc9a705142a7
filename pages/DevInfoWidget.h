#pragma once

#include <memory>

#include <QString>
#include <QWidget>

namespace Ui {
class DevInfoWidget;
}

// The device identity window: model name, hardware and firmware versions and
// card number of the connected device, shown as a small modal dialog.
class DevInfoWidget : public QWidget {
    Q_OBJECT
public:
    explicit DevInfoWidget(QWidget* parent = nullptr);
    ~DevInfoWidget() override;

    void setDevInfo(const QString& strDevType, const QString& strDevVer, const QString& strFirmware,
                    const QString& strCardNum);
    void retranslate();

private:
    std::unique_ptr<Ui::DevInfoWidget> ui;
};
