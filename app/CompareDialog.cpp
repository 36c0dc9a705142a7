#include "CompareDialog.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QTableWidgetItem>

#include "CanCodec.h"
#include "FiberRules.h"
#include "ui_CompareDialog.h"

namespace {
// Rows the dialog shows before it scrolls.
constexpr int kRowsShown = 15;
}  // namespace

CompareDialog::CompareDialog(const ParameterSet& pages, const ParameterSet& device, QWidget* parent)
    : QDialog(parent), ui(new Ui::CompareDialog) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const QVector<FieldDifference> differences = ParameterDiff::compare(pages, device);
    QTableWidget* table = ui->m_tableDifferences;
    if (differences.isEmpty()) {
        ui->m_labelSummary->setText(tr("页面与设备中的参数相同。"));
        table->hide();
    } else {
        ui->m_labelSummary->setText(tr("页面与设备有%n处不同：", nullptr, differences.size()));
        table->setRowCount(differences.size());
        for (int row = 0; row < differences.size(); ++row) {
            const FieldDifference& d = differences.at(row);
            const QStringList cells{d.channel, d.bankText(), d.field, shownValue(d, pages, d.givenValue),
                                    shownValue(d, device, d.deviceValue)};
            for (int column = 0; column < cells.size(); ++column)
                table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
        }
        table->resizeColumnsToContents();
    }
    table->setFocusPolicy(Qt::NoFocus);
    fitToScreen(differences.size());
}

CompareDialog::~CompareDialog() {
    delete ui;
}

QString CompareDialog::shownValue(const FieldDifference& d, const ParameterSet& side,
                                  const QString& fileValue) {
    using Field = FieldDifference::Field;
    const auto bank = [&]() -> const FilterRow& { return side.can.at(d.index).banks[size_t(d.bank)]; };
    switch (d.kind) {
        case Field::BaudRate:
            return describeBaudRate(side.can.at(d.index).bitTimingText.text().trimmed());
        case Field::InUse:
            return bank().inUse ? tr("已勾选") : tr("未勾选");
        case Field::WorkMode:
            return CanCodec::workModeText(bank().workMode);
        case Field::BitWidth:
            return CanCodec::bitWidthText(bank().bitWidth);
        case Field::IdRegister:
            return bank().idText.text().trimmed();
        case Field::MaskRegister:
            return bank().maskText.text().trimmed();
        case Field::FiberBaudRate: {
            const QString rate = FiberRules::rateText(side.fiber.codes[size_t(d.index)]);
            return rate.isEmpty() ? tr("未选择") : rate;
        }
        case Field::Switch:
        case Field::Route:
            return fileValue == QLatin1String("1") ? tr("开") : tr("关");
    }
    return fileValue;
}

void CompareDialog::fitToScreen(int rows) {
    // Every column whole and up to kRowsShown rows, but on the screen: where
    // the rows need more width, the two values share what is left and wrap.
    QTableWidget* table = ui->m_tableDifferences;
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    const int most = available.width() * 9 / 10;
    const QMargins layout = this->layout()->contentsMargins();
    const int frame = 2 * table->frameWidth();
    const int scrollBar = table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table);
    const int margins = layout.left() + layout.right() + frame + scrollBar;
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
    width = qMax(minimumSizeHint().width(), width);
    if (rows == 0) {
        resize(width, minimumSizeHint().height());
        return;
    }
    int shown = 0;
    for (int row = 0; row < qMin(rows, kRowsShown); ++row) shown += table->rowHeight(row);
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() + shown + frame);
    const int height = qMin(sizeHint().height(), available.height() * 9 / 10);
    table->setMinimumHeight(0);
    resize(width, qMax(height, minimumSizeHint().height()));
}
