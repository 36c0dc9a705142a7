#include "Tarvane.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QVBoxLayout>

#include "LanguageSettings.h"
#include "TitleWidget.h"
#include "platform/SystemLanguage.h"
#include "ui_Tarvane.h"

Tarvane::Tarvane(QWidget* parent) : AbsFrameLessAutoSize(parent), ui(new Ui::TarvaneClass) {
    ui->setupUi(this);

    m_pTitleWidget = new TitleWidget(2);
    m_pTitleWidget->setTitle(tr("Tarvane"));

    ui->m_pLineEditDevName->setFixedWidth(180);
    ui->m_pLabelHint->setText(tr("正在搜索设备,请稍等"));

    // The parameter pages are created here, before the menu.
    buildMenu();
    // The device information window is created here, after the menu.

    m_translatorEN.load(":/Language/tarvane_en.qm");
    m_translatorZH.load(":/Language/tarvane_zh.qm");

    m_pActionDeviceInfo = new QAction(tr("设备信息"), this);
    m_pActionAbout = new QAction(tr("关于"), this);
    m_pActionZH = new QAction(QStringLiteral("中文"), this);
    m_pActionEN = new QAction(QStringLiteral("English"), this);
    m_pActionZH->setCheckable(true);
    m_pActionEN->setCheckable(true);
    m_pMenu->addAction(m_pActionDeviceInfo);
    QMenu* language = m_pMenu->addMenu(QStringLiteral("Language"));
    language->addAction(m_pActionZH);
    language->addAction(m_pActionEN);
    m_pMenu->addSeparator();
    m_pMenu->addAction(m_pActionAbout);

    // The busy indicator and the parameter tabs join here.
    buildLayout();
    connectSignals();
    // The device and the first search start here.

    applyLanguage(startupLanguage(LanguageSettings::languageId(),
                                  LanguageSettings::languageId() == -1 ? systemDefaultLangId() : 0));
    retranslate();
    ui->retranslateUi(this);
}

Tarvane::~Tarvane() { delete ui; }

void Tarvane::buildMenu() { m_pMenu = new QMenu; }

void Tarvane::buildLayout() {
    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(ui->m_pLabelDevName);
    top->addWidget(ui->m_pLineEditDevName);
    // the busy indicator sits here
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
    connect(this, &Tarvane::deviceChanged, this, &Tarvane::onDeviceChanged);
}

void Tarvane::applyLanguage(Language language) {
    if (language == Language::Chinese) {
        m_pActionZH->setChecked(true);
        QCoreApplication::installTranslator(&m_translatorZH);
        setMinimumWidth(556);
    } else if (language == Language::English) {
        m_pActionEN->setChecked(true);
        QCoreApplication::installTranslator(&m_translatorEN);
        setMinimumWidth(600);
    }
}

void Tarvane::retranslate() {
    m_pTitleWidget->setTitle(tr("Tarvane"));
    ui->m_pLabelHint->setText(tr("正在搜索设备,请稍等"));
    m_pActionAbout->setText(tr("关于"));
    m_pActionDeviceInfo->setText(tr("设备信息"));
    // the page texts follow here
    m_pTitleWidget->retranslate();
}

void Tarvane::onCloseWidget() { QCoreApplication::quit(); }

// Filled in with the menu actions.
void Tarvane::onShowMainMenu() {}
void Tarvane::onLeftDoubleClick() {}
void Tarvane::onActionEN() {}
void Tarvane::onActionZH() {}
void Tarvane::onActionAbout() {}
void Tarvane::onActionDeviceInfo() {}

// Filled in with device discovery.
void Tarvane::onShowName(int, int, QString, QString, QString, QString, QString) {}
void Tarvane::onDeviceChanged(int) {}

// Filled in with the device and file operations.
void Tarvane::onPushButtonWrite() {}
void Tarvane::onPushButtonRead() {}
void Tarvane::onPushButtonSaveToFile() {}
void Tarvane::onPushButtonReadFromFile() {}
void Tarvane::onPushButtonDefault() {}
