#pragma once

#include <QString>
#include <QTranslator>

#include "AbsFrameLessAutoSize.h"
#include "Language.h"

class QAction;
class QMenu;
class TitleWidget;
namespace Ui {
class TarvaneClass;
}

// The main window: device name, parameter pages and the operation buttons.
class Tarvane : public AbsFrameLessAutoSize {
    Q_OBJECT
public:
    explicit Tarvane(QWidget* parent = nullptr);
    ~Tarvane() override;

    // Re-applies the translated texts of the window, its pages and title bar.
    void retranslate();

signals:
    void showName(int nCAN, int nFiberOptic, QString strName, QString strDevType, QString strDevVer,
                  QString strFirmware, QString strCardNum);
    void deviceChanged(int nType);

public slots:
    void onShowMainMenu();
    void onCloseWidget();
    void onLeftDoubleClick();
    void onShowName(int nCAN, int nFiberOptic, QString strName, QString strDevType, QString strDevVer,
                    QString strFirmware, QString strCardNum);
    void onPushButtonWrite();
    void onPushButtonRead();
    void onPushButtonSaveToFile();
    void onPushButtonReadFromFile();
    void onPushButtonDefault();
    void onActionEN();
    void onActionZH();
    void onActionAbout();
    void onActionDeviceInfo();
    void onDeviceChanged(int nType);

protected:
    Ui::TarvaneClass* ui;
    TitleWidget* m_pTitleWidget = nullptr;
    QMenu* m_pMenu = nullptr;
    QAction* m_pActionAbout = nullptr;
    QAction* m_pActionEN = nullptr;
    QAction* m_pActionZH = nullptr;
    QAction* m_pActionDeviceInfo = nullptr;

private:
    void buildMenu();
    void buildLayout();
    void connectSignals();
    void applyLanguage(Language language);

    QTranslator m_translatorZH;
    QTranslator m_translatorEN;
};
