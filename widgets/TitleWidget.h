#pragma once

#include <QWidget>

class QAction;
class QLabel;
class PushButton;

// The blue title strip of a frameless window: icon, bold white title and,
// by type, the menu, minimise and close buttons. The menu opens from the
// keyboard too, with the keys its button's tool tip names.
class TitleWidget : public QWidget {
    Q_OBJECT
public:
    // 0: close; 1: minimise and close; 2: menu, minimise and close.
    explicit TitleWidget(int type, QWidget* parent = nullptr);

    void setTitle(const QString& text);
    QString title() const;
    void retranslate();

    PushButton* menuButton() const { return m_pButtonMenu; }
    PushButton* minButton() const { return m_pButtonMin; }
    PushButton* closeButton() const { return m_pButtonClose; }

signals:
    void showMin();
    void showMainMenu();
    void closeWidget();
    void LeftDoubleClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_pLabelTitle = nullptr;
    PushButton* m_pButtonMenu = nullptr;
    PushButton* m_pButtonMin = nullptr;
    PushButton* m_pButtonClose = nullptr;
    QAction* m_pActionMenuKeys = nullptr;
};
