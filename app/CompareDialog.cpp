#include "CompareDialog.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableWidgetItem>

#include "ui_CompareDialog.h"

CompareDialog::CompareDialog(const QVector<FieldDifference>& differences, QWidget* parent)
    : QDialog(parent), ui(new Ui::CompareDialog) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QTableWidget* table = ui->m_tableDifferences;
    if (differences.isEmpty()) {
        ui->m_labelSummary->setText(tr("页面与设备中的参数相同。"));
        table->hide();
    } else {
        ui->m_labelSummary->setText(tr("页面与设备有%1处不同：").arg(differences.size()));
        table->setRowCount(differences.size());
        for (int row = 0; row < differences.size(); ++row) {
            const FieldDifference& d = differences.at(row);
            const QStringList cells{d.channel, d.bank, d.field, d.givenValue, d.deviceValue};
            for (int column = 0; column < cells.size(); ++column)
                table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
        }
        table->resizeColumnsToContents();
    }
    // As wide as the rows need, but on the screen.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int most = screen ? screen->availableGeometry().width() * 9 / 10 : 1200;
    int width = 2 * table->frameWidth() + 40;
    for (int column = 0; column < table->columnCount(); ++column) width += table->columnWidth(column);
    resize(qBound(minimumSizeHint().width(), width, most), differences.isEmpty() ? minimumSizeHint().height()
                                                                                  : height());
}

CompareDialog::~CompareDialog() {
    delete ui;
}
