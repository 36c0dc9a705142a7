// The main menu, language switching and the title bar's double click.
#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "AboutDialog.h"
#include "DevInfoWidget.h"
#include "LanguageSettings.h"
#include "Tarvane.h"
#include "ui_Tarvane.h"

QPoint Tarvane::mainMenuPosition() const {
    const QRect area = rect();
    return QPoint(area.right() - 120, area.top() + 25);
}

void Tarvane::onShowMainMenu() {
    m_pMenu->exec(mapToGlobal(mainMenuPosition()));
}

void Tarvane::onLeftDoubleClick() {
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

// Both translators stay installed; the one installed last is consulted
// first. Taking it out before putting it back keeps each in the list once.
static void installFirst(QTranslator& translator) {
    QCoreApplication::removeTranslator(&translator);
    QCoreApplication::installTranslator(&translator);
}

void Tarvane::onActionEN() {
    m_pActionZH->setChecked(false);
    setMinimumWidth(windowMinimumWidth(Language::English));
    installFirst(m_translatorEN);
    QCoreApplication::removeTranslator(&m_translatorQt);
    retranslate();
    ui->retranslateUi(this);
    showShortcutTips();
    fitMinimumWidth();
    LanguageSettings::setLanguageId(EnglishLanguageId);
}

void Tarvane::onActionZH() {
    m_pActionEN->setChecked(false);
    setMinimumWidth(windowMinimumWidth(Language::Chinese));
    installFirst(m_translatorZH);
    installFirst(m_translatorQt);
    retranslate();
    ui->retranslateUi(this);
    showShortcutTips();
    fitMinimumWidth();
    LanguageSettings::setLanguageId(ChineseLanguageId);
}

void Tarvane::onActionAbout() {
    AboutDialog dialog;  // built afresh in the current language
    dialog.exec();
}

void Tarvane::onActionDeviceInfo() {
    if (ensureConnected()) m_pDevInfoWidget->show();
}
