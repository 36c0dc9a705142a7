#include "CompareDialog.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QStyle>
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
    table->setFocusPolicy(Qt::NoFocus);
    // As wide as the rows need, but on the screen: where they need more, the
    // two values share what is left and wrap, so that nothing is cut.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int most = screen ? screen->availableGeometry().width() * 9 / 10 : 1200;
    const QMargins layout = this->layout()->contentsMargins();
    const int margins = layout.left() + layout.right() + 2 * table->frameWidth() +
                        table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table);
    int width = margins;
    for (int column = 0; column < table->columnCount(); ++column) width += table->columnWidth(column);
    if (width > most) {
        const int names = table->columnWidth(0) + table->columnWidth(1) + table->columnWidth(2);
        const int values = qMax(100, (most - margins - names) / 2);
        table->setColumnWidth(3, values);
        table->setColumnWidth(4, values);
        table->setWordWrap(true);
        table->resizeRowsToContents();
        width = most;
    }
    resize(qMax(minimumSizeHint().width(), width), differences.isEmpty() ? minimumSizeHint().height() : height());
}

CompareDialog::~CompareDialog() {
    delete ui;
}
