#pragma once

#include <QString>

#include "AbsFrameLessAutoSize.h"

class QLabel;
class QPushButton;
class QVBoxLayout;
class TitleWidget;

// The About box: logo, product name, file version, notice and web site.
class AboutDialog : public AbsFrameLessAutoSize {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The program's own file version; empty when it carries none.
    static QString fileVersion();
    // The version label's text for a version (which may be empty).
    static QString versionText(const QString& version);

    TitleWidget* titleWidget() const { return m_pTitleWidget; }
    QPushButton* okButton() const { return m_pButtonOK; }

public slots:
    void onButtonOK();

private:
    void createWidgets();
    // Lays the widgets out; returns the dialog's outer layout.
    QVBoxLayout* layOut();

    TitleWidget* m_pTitleWidget = nullptr;
    QLabel* m_pLabelLogo = nullptr;
    QLabel* m_pLabelProduct = nullptr;
    QLabel* m_pLabelVersion = nullptr;
    QLabel* m_pLabelNotice = nullptr;
    QLabel* m_pLabelWebSite = nullptr;
    QPushButton* m_pButtonOK = nullptr;
};
