#include "Tarvane.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CANParamWidget.h"
#include "CustomProgressIndicator.h"
#include "DevInfoWidget.h"
#include "HIDDevice.h"
#include "KeepOpenOnEscape.h"
#include "LanguageSettings.h"
#include "OpticalFiberParamWidget.h"
#include "RepeaterDiscovery.h"
#include "RouteParamWidget.h"
#include "TextFit.h"
#include "TitleWidget.h"
#include "WheelGuard.h"
#include "platform/DeviceNotifier.h"
#include "platform/SystemLanguage.h"
#include "ui_Tarvane.h"

Tarvane::Tarvane(QWidget* parent) : AbsFrameLessAutoSize(parent), ui(new Ui::TarvaneClass) {
    ui->setupUi(this);
    // The window is the program: only the title bar's close button ends it.
    installEventFilter(new KeepOpenOnEscape(this));

    m_pTitleWidget = new TitleWidget(2);
    m_pTitleWidget->setTitle(tr("Tarvane"));

    ui->m_pLineEditDevName->setFixedWidth(kDevNameWidth);
    // A name to read or copy, not a field to fill in: no stop for Tab.
    ui->m_pLineEditDevName->setFocusPolicy(Qt::ClickFocus);
    ui->m_pLabelHint->setText(tr("正在搜索设备,请稍等"));
    // Hidden between searches, the hint keeps its room, so that the window's
    // minimum width always holds it.
    QSizePolicy hintPolicy = ui->m_pLabelHint->sizePolicy();
    hintPolicy.setRetainSizeWhenHidden(true);
    ui->m_pLabelHint->setSizePolicy(hintPolicy);

    m_translatorEN.load(":/Language/tarvane_en.qm");
    m_translatorZH.load(":/Language/tarvane_zh.qm");
    loadQtChineseCatalogue(m_translatorQt);

    createPages();
    createMenu();
    m_pProgressIndicator = new CustomProgressIndicator;
    m_pProgressIndicator->setFixedSize(20, 20);

    buildLayout();
    connectSignals();
    addShortcuts();

    m_hidDevice = std::make_shared<HIDDevice>();
    createDiscovery();  // the first search starts

    applyLanguage(systemStartupLanguage(LanguageSettings::languageId()));
    showTexts();
}

void Tarvane::showTexts() {
    retranslate();
    ui->retranslateUi(this);
    showShortcutTips();
    fitMinimumWidth();
}

Tarvane::~Tarvane() {
    delete m_pDiscovery;  // waits for its search, which uses the device
    m_pDiscovery = nullptr;
    m_pProgressIndicator->stopAnimation();
    delete m_pDeviceNotifier;
    m_pDeviceNotifier = nullptr;
    delete ui;
}

void Tarvane::createPages() {
    m_pRouteParamWidget = new RouteParamWidget(nullptr);
    m_pCANParamWidget = new CANParamWidget(nullptr);
    m_pOpticalFiberParamWidget = new OpticalFiberParamWidget(nullptr);
    ui->m_tabWidgetParam->addTab(m_pCANParamWidget, tr("CAN参数"));
    ui->m_tabWidgetParam->addTab(m_pOpticalFiberParamWidget, tr("光纤参数"));
    ui->m_tabWidgetParam->addTab(m_pRouteParamWidget, tr("路由参数"));
    (new WheelGuard(this))->guardTabs(ui->m_tabWidgetParam);
    m_devInfoOwner.reset(new DevInfoWidget(nullptr));
    m_pDevInfoWidget = m_devInfoOwner.get();
}

void Tarvane::createMenu() {
    m_menuOwner.reset(new QMenu);
    m_pMenu = m_menuOwner.get();
    m_pActionDeviceInfo = new QAction(tr("设备信息"), this);
    m_pActionCompare = new QAction(tr("与设备比较"), this);
    m_pActionCompare->setObjectName(QStringLiteral("m_pActionCompare"));
    m_pActionAbout = new QAction(tr("关于"), this);
    m_pActionZH = new QAction(QStringLiteral("中文"), this);
    m_pActionEN = new QAction(QStringLiteral("English"), this);
    m_pActionZH->setCheckable(true);
    m_pActionEN->setCheckable(true);
    m_pMenu->addAction(m_pActionDeviceInfo);
    m_pMenu->addAction(m_pActionCompare);
    m_menuDevicesOwner.reset(new QMenu(tr("选择设备")));
    m_pMenuDevices = m_menuDevicesOwner.get();
    m_pMenuDevices->setObjectName(QStringLiteral("m_pMenuDevices"));
    QMenu* language = m_pMenu->addMenu(QStringLiteral("Language"));
    m_pActionLanguage = language->menuAction();
    language->addAction(m_pActionZH);
    language->addAction(m_pActionEN);
    m_pMenu->addSeparator();
    m_pMenu->addAction(m_pActionAbout);
    createOfflineMenu();
}

void Tarvane::buildLayout() {
    auto* top = new QHBoxLayout;
    top->addSpacing(10);
    top->addWidget(ui->m_pLabelDevName);
    top->addWidget(ui->m_pLineEditDevName);
    top->addWidget(m_pProgressIndicator);
    top->addWidget(ui->m_pLabelHint);
    top->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ui->m_pushButtonSaveToFile);
    buttons->addWidget(ui->m_pushButtonReadFromFile);
    buttons->addSpacing(30);
    buttons->addWidget(ui->m_pushButtonRead);
    buttons->addWidget(ui->m_pushButtonWrite);
    buttons->addSpacing(30);
    buttons->addWidget(ui->m_pushButtonDefault);
    buttons->addStretch();

    auto* column = new QVBoxLayout;
    column->addWidget(m_pTitleWidget);
    column->addLayout(top);
    column->addWidget(ui->m_tabWidgetParam);
    column->addLayout(buttons);
    column->addSpacing(10);
    column->setContentsMargins(2, 2, 2, 2);
    setLayout(column);
    setMinimumWidth(500);

    // Tab walks the button row in the order it shows, after the pages.
    QWidget* previous = ui->m_tabWidgetParam;
    for (QWidget* button : {ui->m_pushButtonSaveToFile, ui->m_pushButtonReadFromFile, ui->m_pushButtonRead,
                            ui->m_pushButtonWrite, ui->m_pushButtonDefault}) {
        setTabOrder(previous, button);
        previous = button;
    }
}

void Tarvane::addShortcuts() {
    // F6 writes, beside F5 that reads: Ctrl+W closes a window in most
    // programs, and here it would send the pages to the repeater and reset it.
    const QVector<QPair<QPushButton*, QList<QKeySequence>>> keys{
        {ui->m_pushButtonSaveToFile, QKeySequence::keyBindings(QKeySequence::Save)},
        {ui->m_pushButtonReadFromFile, QKeySequence::keyBindings(QKeySequence::Open)},
        {ui->m_pushButtonRead, {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)}},
        {ui->m_pushButtonWrite, {QKeySequence(Qt::Key_F6)}},
    };
    for (const auto& [button, sequences] : keys) {
        auto* action = new QAction(this);
        action->setShortcuts(sequences);
        // The focus first, as a click takes it: a cell still being typed in
        // hands its text over before the operation takes the pages' values.
        // A disabled button (its operation runs) does not click.
        connect(action, &QAction::triggered, button, [button = button] {
            if (!button->isEnabled()) return;
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
        });
        addAction(action);
        m_buttonShortcuts.append({button, action});
    }
    const auto turnPage = [this](int step) {
        QTabWidget* pages = ui->m_tabWidgetParam;
        pages->setCurrentIndex((pages->currentIndex() + step + pages->count()) % pages->count());
    };
    auto* next = new QAction(this);
    next->setShortcuts(QKeySequence::NextChild);
    connect(next, &QAction::triggered, this, [turnPage] { turnPage(1); });
    auto* previous = new QAction(this);
    previous->setShortcuts(QKeySequence::PreviousChild);
    connect(previous, &QAction::triggered, this, [turnPage] { turnPage(-1); });
    addActions({next, previous});
}

void Tarvane::showShortcutTips() {
    for (const auto& [button, action] : qAsConst(m_buttonShortcuts)) {
        QStringList keys;
        for (const QKeySequence& sequence : action->shortcuts())
            keys << sequence.toString(QKeySequence::NativeText);
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), keys.join(QStringLiteral(", "))));
    }
}

void Tarvane::connectSignals() {
    connect(m_pTitleWidget, &TitleWidget::showMainMenu, this, &Tarvane::onShowMainMenu);
    connect(m_pTitleWidget, &TitleWidget::showMin, this, &Tarvane::showMinimized);
    connect(m_pTitleWidget, &TitleWidget::closeWidget, this, &Tarvane::onCloseWidget);
    connect(m_pTitleWidget, &TitleWidget::LeftDoubleClick, this, &Tarvane::onLeftDoubleClick);
    connect(this, &Tarvane::showName, this, &Tarvane::onShowName);
    connect(m_pActionAbout, &QAction::triggered, this, &Tarvane::onActionAbout);
    connect(m_pActionEN, &QAction::triggered, this, &Tarvane::onActionEN);
    connect(m_pActionZH, &QAction::triggered, this, &Tarvane::onActionZH);
    connect(m_pActionDeviceInfo, &QAction::triggered, this, &Tarvane::onActionDeviceInfo);
    connect(m_pActionCompare, &QAction::triggered, this, &Tarvane::onActionCompare);
    connect(this, &Tarvane::deviceChanged, this, &Tarvane::onDeviceChanged);
}

void Tarvane::applyLanguage(Language language) {
    if (language == Language::Chinese) {
        m_pActionZH->setChecked(true);
        QCoreApplication::installTranslator(&m_translatorZH);
        QCoreApplication::installTranslator(&m_translatorQt);
        setMinimumWidth(windowMinimumWidth(language));
    } else if (language == Language::English) {
        m_pActionEN->setChecked(true);
        QCoreApplication::installTranslator(&m_translatorEN);
        setMinimumWidth(windowMinimumWidth(language));
    }
}

void Tarvane::fitMinimumWidth() {
    setMinimumWidth(qMax(minimumWidth(), TextFit::layoutMinimum(this).width()));
}

void Tarvane::retranslate() {
    m_pTitleWidget->setTitle(tr("Tarvane"));
    ui->m_pLabelHint->setText(tr("正在搜索设备,请稍等"));
    m_pActionAbout->setText(tr("关于"));
    m_pActionDeviceInfo->setText(tr("设备信息"));
    m_pActionCompare->setText(tr("与设备比较"));
    m_pMenuDevices->setTitle(tr("选择设备"));
    m_pMenuOffline->setTitle(tr("离线编辑"));
    showOfflineName();
    ui->m_tabWidgetParam->setTabText(0, tr("CAN参数"));
    ui->m_tabWidgetParam->setTabText(1, tr("光纤参数"));
    ui->m_tabWidgetParam->setTabText(2, tr("路由参数"));
    m_pCANParamWidget->retranslate();
    m_pOpticalFiberParamWidget->retranslate();
    m_pRouteParamWidget->retranslate();
    m_pDevInfoWidget->retranslate();
    m_pTitleWidget->retranslate();
}

void Tarvane::showHint(const QString& text) {
    QMessageBox::information(this, tr("提示"), text, QMessageBox::Ok, QMessageBox::NoButton);
}

bool Tarvane::ensureConnected() {
    if (!m_bConnected) showHint(tr("设备未连接"));
    return m_bConnected;
}

bool Tarvane::ensurePages() {
    if (!m_edits.hasPages())
        showHint(tr("设备未连接") + QStringLiteral("\n\n") +
                 tr("没有设备时，可在主菜单的“离线编辑”中选择型号。"));
    return m_edits.hasPages();
}

bool Tarvane::ensureStillConnected(quint64 connection) {
    if (!ensureConnected()) return false;
    // Another repeater was chosen meanwhile: the pages are its values now.
    if (m_pDiscovery->connectionCount() != connection) {
        showHint(tr("连接的设备已更换，请重试"));
        return false;
    }
    return true;
}

bool Tarvane::confirmDiscardEdits(Replacing by) {
    if (!m_edits.hasEdits()) return true;
    QString consequence;
    QString proceed;
    switch (by) {
        case Replacing::Close:
            consequence = tr("关闭窗口将丢失这些修改。");
            proceed = tr("仍然关闭");
            break;
        case Replacing::Default:
            consequence = tr("恢复默认值将丢失这些修改。");
            proceed = tr("恢复默认值");
            break;
        case Replacing::Read:
            consequence = tr("读配置将以设备中的参数替换这些修改。");
            proceed = tr("仍然读取");
            break;
        case Replacing::Open:
            consequence = tr("打开参数文件将以文件中的参数替换这些修改。");
            proceed = tr("仍然打开");
            break;
    }
    const EditState::Hold hold = m_edits.hold();
    QStringList lines{tr("页面上的修改尚未写入设备或保存。")};
    if (const QString note = notReadNote(); !note.isEmpty()) lines << note;
    lines << consequence;
    QMessageBox box(QMessageBox::Question, tr("提示"), lines.join(QLatin1Char('\n')),
                    QMessageBox::Discard | QMessageBox::Cancel, this);
    box.button(QMessageBox::Discard)->setText(proceed);
    box.button(QMessageBox::Cancel)->setText(tr("返回"));
    // Going back loses nothing: it is what Enter and Esc do.
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Discard;
}

QString Tarvane::notReadNote() const {
    if (!m_edits.isNotRead()) return QString();
    return tr("页面上的参数不是从%1读取的：选择这台设备后尚未读配置。").arg(ui->m_pLineEditDevName->text());
}

void Tarvane::onCloseWidget() {
    if (confirmDiscardEdits(Replacing::Close)) QCoreApplication::quit();
}

void Tarvane::closeEvent(QCloseEvent* event) {
    if (!confirmDiscardEdits(Replacing::Close)) {
        event->ignore();
        return;
    }
    AbsFrameLessAutoSize::closeEvent(event);
}
