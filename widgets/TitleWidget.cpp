#include "TitleWidget.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "PushButton.h"

TitleWidget::TitleWidget(int type, QWidget* parent) : QWidget(parent) {
    m_pLabelTitle = new QLabel(this);
    if (type == 2) m_pButtonMenu = new PushButton(this);
    if (type == 1 || type == 2) m_pButtonMin = new PushButton(this);
    m_pButtonClose = new PushButton(this);
    // As in a system title bar, the buttons are the mouse's, not Tab stops.
    for (PushButton* button : {m_pButtonMenu, m_pButtonMin, m_pButtonClose})
        if (button) button->setFocusPolicy(Qt::NoFocus);

    QPalette palette = m_pLabelTitle->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    m_pLabelTitle->setPalette(palette);

    if (m_pButtonMin) {
        m_pButtonMin->setPicName(":/sysButton/Resources/sysButton/min");
        connect(m_pButtonMin, &PushButton::clicked, this, &TitleWidget::showMin);
    }
    m_pButtonClose->setPicName(":/sysButton/Resources/sysButton/close");
    connect(m_pButtonClose, &PushButton::clicked, this, &TitleWidget::closeWidget);
    if (m_pButtonMenu) {
        m_pButtonMenu->setPicName(":/sysButton/Resources/sysButton/menu");
        connect(m_pButtonMenu, &PushButton::clicked, this, &TitleWidget::showMainMenu);
        // A desktop program's keys for its menus: F10, and Alt with the
        // menu's letter, here M; the bar has no menu names to underline.
        m_pActionMenuKeys = new QAction(this);
        m_pActionMenuKeys->setShortcuts({QKeySequence(Qt::Key_F10), QKeySequence(Qt::ALT | Qt::Key_M)});
        connect(m_pActionMenuKeys, &QAction::triggered, this, &TitleWidget::showMainMenu);
        addAction(m_pActionMenuKeys);
    }

    auto* icon = new QLabel(this);
    icon->setFixedSize(24, 24);
    icon->setScaledContents(true);
    icon->setPixmap(QPixmap(":/app/Resources/app.ico"));
    icon->setContentsMargins(0, 5, 0, 0);

    auto* row = new QHBoxLayout;
    row->addSpacing(5);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(m_pLabelTitle, 0, Qt::AlignTop);
    row->addStretch();
    for (PushButton* button : {m_pButtonMenu, m_pButtonMin, m_pButtonClose})
        if (button) row->addWidget(button, 0, Qt::AlignTop);
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 1, 0);

    m_pLabelTitle->setContentsMargins(10, 10, 0, 0);

    auto* column = new QVBoxLayout;
    column->addLayout(row);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    setLayout(column);
    setFixedHeight(32);

    QFont font = m_pLabelTitle->font();
    font.setPointSize(10);
    font.setWeight(QFont::Bold);
    m_pLabelTitle->setFont(font);

    retranslate();
}

void TitleWidget::setTitle(const QString& text) {
    m_pLabelTitle->setText(text);
}

QString TitleWidget::title() const {
    return m_pLabelTitle->text();
}

void TitleWidget::retranslate() {
    if (m_pButtonMenu) {
        QStringList keys;
        for (const QKeySequence& sequence : m_pActionMenuKeys->shortcuts())
            keys << sequence.toString(QKeySequence::NativeText);
        m_pButtonMenu->setToolTip(QStringLiteral("%1 (%2)").arg(tr("菜单"), keys.join(QStringLiteral(", "))));
    }
    if (m_pButtonMin) m_pButtonMin->setToolTip(tr("最小化"));
    if (m_pButtonClose) m_pButtonClose->setToolTip(tr("关闭"));
}

void TitleWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit LeftDoubleClick();
}

void TitleWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.fillRect(rect(), QColor(40, 119, 192));
    QWidget::paintEvent(event);
}
