#include "FilterPlannerDialog.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableWidgetItem>

#include "CanCodec.h"
#include "FilterBanks.h"
#include "RedText.h"
#include "WheelGuard.h"
#include "ui_FilterPlannerDialog.h"

namespace {

enum Column { ColumnBank, ColumnWorkMode, ColumnBitWidth, ColumnId, ColumnMask, ColumnMeaning };
// The widest text each column but the last holds besides its header.
const char* const kWidestCells[] = {"14", "", "32", "00 00 00 00", "00 00 00 00"};
constexpr int kCellPadding = 16;
constexpr int kErrorLines = 6;
constexpr int kTypingPauseMs = 150;

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setToolTip(text);
    return item;
}

}  // namespace

FilterPlannerDialog::FilterPlannerDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::FilterPlannerDialog), m_banks(CanChannelValues::defaults(1).banks) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // As on the pages, the wheel changes a choice only once it is clicked.
    auto* wheelGuard = new WheelGuard(this);
    for (QWidget* box :
         {static_cast<QWidget*>(ui->m_comboFormat), static_cast<QWidget*>(ui->m_comboFrameTypes),
          static_cast<QWidget*>(ui->m_spinFirstBank)})
        wheelGuard->guard(box);
    // However long a message, the dialog stays on the screen.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        setMaximumWidth(screen->availableGeometry().width());
    // Wide enough for the header, whose text depends on the language, and
    // for any row.
    QTableWidget* table = ui->m_tablePlan;
    for (int column = ColumnBank; column < ColumnMeaning; ++column) {
        int cells = table->fontMetrics().horizontalAdvance(QLatin1String(kWidestCells[column]));
        if (column == ColumnWorkMode)
            cells = qMax(table->fontMetrics().horizontalAdvance(CanCodec::workModeText(0)),
                         table->fontMetrics().horizontalAdvance(CanCodec::workModeText(1)));
        table->setColumnWidth(column,
                              qMax(cells + kCellPadding, table->horizontalHeader()->sectionSizeHint(column)));
    }
    showRed(ui->m_labelWarning, QPalette::WindowText, true);
    // Every mistake of a long list, scrolled through, a few lines high.
    ui->m_listErrors->setMaximumHeight(ui->m_listErrors->fontMetrics().lineSpacing() * kErrorLines +
                                       2 * ui->m_listErrors->frameWidth());
    m_typing.setSingleShot(true);
    m_typing.setInterval(kTypingPauseMs);
    connect(&m_typing, &QTimer::timeout, this, &FilterPlannerDialog::refresh);
    connect(ui->m_editRequest, &QPlainTextEdit::textChanged, &m_typing, qOverload<>(&QTimer::start));
    refresh();
}

FilterPlannerDialog::~FilterPlannerDialog() {
    delete ui;
}

void FilterPlannerDialog::setBanks(const std::array<FilterRow, kFilterBankCount>& banks) {
    m_banks = banks;
    refresh();
}

int FilterPlannerDialog::firstBank() const {
    return ui->m_spinFirstBank->value() - 1;
}

void FilterPlannerDialog::accept() {
    // What was typed last is what gets filled in.
    if (m_typing.isActive()) refresh();
    if (m_plan.status != FilterPlanner::Plan::Planned) return;
    FilterPlanner::fill(m_banks, m_plan, ui->m_checkClearOthers->isChecked());
    QDialog::accept();
}

void FilterPlannerDialog::refresh() {
    m_typing.stop();
    const QString text = ui->m_editRequest->toPlainText();
    const FilterPlanner::Parsed parsed = FilterPlanner::parse(text, ui->m_comboFormat->currentIndex() == 1,
                                                              ui->m_comboFrameTypes->currentIndex() + 1);
    m_plan = FilterPlanner::Plan();
    QString message;
    bool wrong = false;
    ui->m_listErrors->clear();
    if (parsed.errors.size() == 1) {
        message = FilterPlanner::errorText(parsed.errors.first());
        wrong = true;
    } else if (!parsed.errors.isEmpty()) {
        message = tr("%n处错误：", nullptr, int(parsed.errors.size()));
        for (const FilterPlanner::ParseError& error : parsed.errors)
            ui->m_listErrors->addItem(FilterPlanner::errorText(error));
        wrong = true;
    } else if (parsed.requests.isEmpty()) {
        // Nothing typed yet (or only notes): what to type, not a mistake.
        message =
            tr("每行一个标识符或范围，数按十六进制读（0x可省略，以字母开头的数要写0x）；"
               "可加 std 或 ext、data、remote 或 both");
    } else {
        m_plan = FilterPlanner::plan(parsed.requests, {firstBank(), true});
        message = FilterPlanner::planText(m_plan);
        wrong = m_plan.status != FilterPlanner::Plan::Planned;
    }
    // The rules' texts are parts of sentences; here one stands alone.
    if (!message.isEmpty()) message[0] = message[0].toUpper();
    ui->m_labelMessage->setText(message);
    ui->m_listErrors->setVisible(ui->m_listErrors->count() > 0);
    showRed(ui->m_labelMessage, QPalette::WindowText, wrong);

    const QStringList open = banksPassingEverything();
    ui->m_labelWarning->setText(open.isEmpty() ? QString()
                                               : tr("过滤器组%1仍在使用，让所有帧通过：计划之外的帧也会通过",
                                                    nullptr, int(open.size()))
                                                     .arg(open.join(tr("、"))));
    ui->m_labelWarning->setVisible(!open.isEmpty());
    showPlan();
}

QStringList FilterPlannerDialog::banksPassingEverything() const {
    if (m_plan.status != FilterPlanner::Plan::Planned) return {};
    std::array<FilterRow, kFilterBankCount> after = m_banks;
    FilterPlanner::fill(after, m_plan, ui->m_checkClearOthers->isChecked());
    QStringList banks;
    for (int bank = 0; bank < kFilterBankCount; ++bank) {
        if (bank >= m_plan.firstBank && bank < m_plan.firstBank + m_plan.rows.size()) continue;
        const FilterBanks::Bank decoded = FilterBanks::decode(after[size_t(bank)]);
        if (!decoded.inUse) continue;
        QVector<FilterBanks::Pattern> keys;
        for (const FilterBanks::Filter& filter : decoded.filters) keys << filter.key;
        // Data and remote frames of every identifier.
        const FilterBanks::Count frames = FilterBanks::countUnion(keys, false);
        if (frames.standard == 2 * quint64(FilterBanks::kMaxStandardId + 1) &&
            frames.extended == 2 * quint64(FilterBanks::kMaxExtendedId + 1))
            banks << QString::number(bank + 1);
    }
    return banks;
}

void FilterPlannerDialog::showPlan() {
    QTableWidget* table = ui->m_tablePlan;
    table->clearContents();
    table->setRowCount(m_plan.rows.size());
    for (int i = 0; i < m_plan.rows.size(); ++i) {
        const FilterRow& row = m_plan.rows.at(i);
        table->setItem(i, ColumnBank, cell(QString::number(m_plan.firstBank + i + 1)));
        table->setItem(i, ColumnWorkMode, cell(CanCodec::workModeText(row.workMode)));
        table->setItem(i, ColumnBitWidth, cell(CanCodec::bitWidthText(row.bitWidth)));
        table->setItem(i, ColumnId, cell(row.idText));
        table->setItem(i, ColumnMask, cell(row.maskText));
        table->setItem(i, ColumnMeaning, cell(FilterBanks::describe(row)));
    }
    ui->m_pushButtonOK->setEnabled(m_plan.status == FilterPlanner::Plan::Planned);
}
