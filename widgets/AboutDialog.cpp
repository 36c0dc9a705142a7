#include "AboutDialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "TitleWidget.h"
#include "platform/FileVersion.h"

namespace {
// Placeholders until the maker's own name and site are settled.
const char kMakerName[] = "Tarvane Project";
const char kWebSite[] = "https://tarvane.example.org";
}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : AbsFrameLessAutoSize(parent) {
    setFixedSize(550, 200);
    setWindowIcon(QIcon(":/App/Resources/app.ico"));
    createWidgets();
    QVBoxLayout* column = layOut();
    // Taller where a font needs it (the CJK one), so that OK keeps its margin.
    setFixedSize(QSize(550, 200).expandedTo(column->totalMinimumSize()));

    connect(m_pButtonOK, &QPushButton::clicked, this, &AboutDialog::onButtonOK);
    connect(m_pTitleWidget, &TitleWidget::closeWidget, this, &AboutDialog::onButtonOK);
}

void AboutDialog::createWidgets() {
    m_pTitleWidget = new TitleWidget(0);
    m_pTitleWidget->setTitle(tr("关于"));

    m_pLabelLogo = new QLabel;
    m_pLabelLogo->setObjectName("m_pLabelLogo");
    m_pLabelLogo->setFixedSize(186, 30);
    m_pLabelLogo->setPixmap(QPixmap(":/app/Resources/company _logo.png"));

    m_pLabelVersion = new QLabel(versionText(fileVersion()));
    m_pLabelVersion->setObjectName("m_pLabelVersion");

    m_pLabelProduct = new QLabel(tr("Tarvane."));
    m_pLabelProduct->setObjectName("m_pLabelProduct");

    m_pLabelNotice = new QLabel(tr("版权所有 © %1 %2")
                                    .arg(QDateTime::currentDateTime().date().year())
                                    .arg(QLatin1String(kMakerName)));
    m_pLabelNotice->setObjectName("m_pLabelNotice");

    const QString site = QLatin1String(kWebSite);
    m_pLabelWebSite = new QLabel(tr("官网：") + QString("<a href=\"%1\">%1</a>").arg(site));
    m_pLabelWebSite->setObjectName("m_pLabelWebSite");
    m_pLabelWebSite->setTextFormat(Qt::RichText);
    m_pLabelWebSite->setOpenExternalLinks(true);

    m_pButtonOK = new QPushButton(tr("确定"));
    m_pButtonOK->setObjectName("m_pButtonOK");
}

QVBoxLayout* AboutDialog::layOut() {
    auto* left = new QVBoxLayout;
    left->addSpacing(10);
    left->addWidget(m_pLabelLogo);
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addSpacing(10);
    right->addWidget(m_pLabelProduct);
    right->addSpacing(5);
    right->addWidget(m_pLabelVersion);
    right->addSpacing(5);
    right->addWidget(m_pLabelNotice);
    right->addSpacing(5);
    right->addWidget(m_pLabelWebSite);
    right->addSpacing(50);
    right->addWidget(m_pButtonOK, 0, Qt::AlignRight);
    right->addStretch();

    auto* row = new QHBoxLayout;
    row->addSpacing(10);
    row->addLayout(left);
    row->addSpacing(10);
    row->addLayout(right);
    row->addStretch();

    auto* column = new QVBoxLayout;
    column->addWidget(m_pTitleWidget);
    column->addLayout(row);
    column->setContentsMargins(2, 2, 2, 2);  // keeps the painted shadow visible
    setLayout(column);
    return column;
}

QString AboutDialog::fileVersion() {
    return programFileVersion(QCoreApplication::applicationFilePath());
}

QString AboutDialog::versionText(const QString& version) {
    return tr("版本：") + version;
}

void AboutDialog::onButtonOK() {
    close();
}
