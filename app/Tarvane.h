#pragma once

#include <QString>
#include <QTranslator>
#include <memory>

#include "AbsFrameLessAutoSize.h"
#include "DeviceSearch.h"
#include "EditState.h"
#include "Language.h"
#include "ParameterSet.h"

class CANParamWidget;
class CustomProgressIndicator;
class DevInfoWidget;
class DeviceNotifier;
class HIDDevice;
class OpticalFiberParamWidget;
class QAction;
class QJsonObject;
class QMenu;
class QPushButton;
class RepeaterDiscovery;
class RouteParamWidget;
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
    // Reads the device into values and shows where the pages differ from it.
    void onActionCompare();

protected:
    // Where the main menu opens, in window coordinates.
    QPoint mainMenuPosition() const;
    // The values the pages show for the connected device or the model edited
    // offline, and showing a set.
    ParameterSet pageValues() const;
    void showValues(const ParameterSet& set);
    // Every page at its defaults, as the Default button sets them.
    void showDefaults();

    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;
    // Alt+F4 and the window manager's close: asks first when edits would be lost.
    void closeEvent(QCloseEvent* event) override;

    Ui::TarvaneClass* ui;
    TitleWidget* m_pTitleWidget = nullptr;
    QMenu* m_pMenu = nullptr;
    QAction* m_pActionAbout = nullptr;
    QAction* m_pActionEN = nullptr;
    QAction* m_pActionZH = nullptr;
    QAction* m_pActionDeviceInfo = nullptr;
    QAction* m_pActionCompare = nullptr;
    // "选择设备": in the menu only while more than one repeater is there.
    QMenu* m_pMenuDevices = nullptr;
    // "离线编辑": the models to edit without a repeater, in the menu only
    // while none is connected.
    QMenu* m_pMenuOffline = nullptr;

    RouteParamWidget* m_pRouteParamWidget = nullptr;
    CANParamWidget* m_pCANParamWidget = nullptr;
    OpticalFiberParamWidget* m_pOpticalFiberParamWidget = nullptr;
    DevInfoWidget* m_pDevInfoWidget = nullptr;

    CustomProgressIndicator* m_pProgressIndicator = nullptr;
    std::shared_ptr<HIDDevice> m_hidDevice;
    bool m_bConnected = false;
    int m_nCAN = 0;
    int m_nFiberOptic = 0;
    int m_nHardwareType = 0;
    // The model the pages are shaped for: the repeater's, or the one edited offline.
    QString m_strModel;

private:
    static constexpr int kDevNameWidth = 180;  // the device name line's least width

    void createPages();
    void createMenu();
    void buildLayout();
    void connectSignals();
    // The buttons' keys (Ctrl+S, Ctrl+O, F5, F6) and Ctrl+Tab between the pages.
    void addShortcuts();
    // Each button's tool tip names its keys, in the current language.
    void showShortcutTips();
    void applyLanguage(Language language);
    // The menu's choice of a language: applied, shown and stored.
    void chooseLanguage(Language language);
    // Every text in the language now installed, and the room they need.
    void showTexts();
    // Raises the minimum width that the language set where what the window
    // shows needs more in the current font.
    void fitMinimumWidth();
    void showHint(const QString& text);
    // False, after telling the user, when no device is connected.
    bool ensureConnected();
    // The same for Save, which works on a model edited offline as well.
    bool ensurePages();
    // The same after a modal box or dialog, and when the window connected to
    // another repeater while it was open: its pages are not those the user saw.
    bool ensureStillConnected(quint64 connection);
    // Device discovery: what the window shows of it, and the choice among several.
    void createDiscovery();
    void showSearching(bool searching);
    void showDisconnected();
    void onChooseDevice(const QString& path);
    void updateDeviceMenu();
    // The pages sized for a device's or a model's channels, and the name line.
    void sizePages(int nCAN, int nFiberOptic, int routeType);
    void showDeviceName(const QString& text);
    // A repeater connected: shown at once, or once the offline operation
    // that holds it back is over (see EditState::Hold).
    void onRepeaterConnected(const DeviceIdentity& identity);
    void applyArrival();
    // Editing offline: the menu of models, choosing one, the model a file fits.
    void createOfflineMenu();
    void updateOfflineMenu();
    void onChooseOfflineModel(int code);
    void showOfflineModel(int code);
    void showOfflineName();
    // The model the user takes for a file that no repeater or model is
    // there for, among those its channel counts fit; 0: cancelled.
    int chooseModelForFile(const QJsonObject& file);
    // Whether the edits go to pages of the shape `routeType` gives, named
    // `name`; the question names the channels that shape lacks.
    EditState::Choice askKeepEdits(const QString& question, int routeType, const QString& name,
                                   bool canGoBack);
    // Parameter operations: file and parse failures.
    void showWarning(const QString& text);
    // A message with the notes that are not empty, each a paragraph of its own.
    static QString withNotes(const QString& text, const QStringList& notes);
    // What would replace the pages, or lose them: each asks in its own words.
    enum class Replacing { Close, Default, Read, Open };
    // True when the pages hold nothing that is neither written nor saved, or
    // when the user chose to go on without it.
    bool confirmDiscardEdits(Replacing by);
    // Under "保存完成" and in the questions: the pages of the repeater chosen
    // are not what it holds; empty when they are.
    QString notReadNote() const;

    QTranslator m_translatorZH;
    QTranslator m_translatorEN;
    // Qt's own texts (file dialogs, standard buttons) go with the Chinese catalogue.
    QTranslator m_translatorQt;
    // Top-level windows of their own; the main window keeps them for its lifetime.
    std::unique_ptr<QMenu> m_menuOwner;
    std::unique_ptr<QMenu> m_menuDevicesOwner;
    QAction* m_pActionLanguage = nullptr;  // the Language submenu, which the devices precede
    std::unique_ptr<QMenu> m_menuOfflineOwner;
    // The keyboard's way to each button, in the order of the button row.
    QVector<QPair<QPushButton*, QAction*>> m_buttonShortcuts;
    std::unique_ptr<DevInfoWidget> m_devInfoOwner;
    DeviceNotifier* m_pDeviceNotifier = nullptr;
    // Deleted first, as its search uses m_hidDevice.
    RepeaterDiscovery* m_pDiscovery = nullptr;
    // What the pages hold against what was last kept, and what repeaters
    // and models do to them.
    EditState m_edits{
        [this] { return m_bConnected; }, [this] { return pageValues(); },
        // once the operation that held it back has returned
        [this] { QMetaObject::invokeMethod(this, &Tarvane::applyArrival, Qt::QueuedConnection); }};
};
