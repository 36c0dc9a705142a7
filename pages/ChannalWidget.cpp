#include "ChannalWidget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "BitTiming.h"
#include "BitTimingDialog.h"
#include "BusLimits.h"
#include "CanCodec.h"
#include "CurrentCellFrame.h"
#include "FilterBanks.h"
#include "FilterPlannerDialog.h"
#include "RedText.h"
#include "TextFit.h"
#include "WheelGuard.h"
#include "ui_ChannalWidget.h"

namespace {

constexpr int kRowHeight = 24;
constexpr int kColumnWidths[] = {25, 100, 80, 100};
constexpr int kBaudRateBoxWidth = 80;
// The tint of a register cell that cannot be sent.
const QColor kInvalidCellColor(255, 224, 224);

// Hands on each keystroke in a register cell's editor, before the cell
// takes the text, so that its meaning follows the typing. A text cut short
// in its cell shows whole in the tool tip, before the bank's meaning.
class RegisterDelegate : public QStyledItemDelegate {
public:
    using Typed = std::function<void(int row, int column, const QString& text)>;
    RegisterDelegate(Typed typed, QObject* parent) : QStyledItemDelegate(parent), m_typed(std::move(typed)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const Typed typed = m_typed;
            const int row = index.row();
            const int column = index.column();
            QObject::connect(line, &QLineEdit::textEdited, line,
                             [typed, row, column](const QString& text) { typed(row, column, text); });
        }
        return editor;
    }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip || sizeHint(option, index).width() <= option.rect.width())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QToolTip::showText(
            event->globalPos(),
            index.data().toString() + QStringLiteral("\n\n") + index.data(Qt::ToolTipRole).toString(),
            view->viewport(), option.rect);
        return true;
    }

private:
    Typed m_typed;
};

}  // namespace

ChannalWidget::ChannalWidget(int nChannalId, QWidget* parent)
    : QWidget(parent), ui(new Ui::ChannalWidget), m_nChannalId(nChannalId) {
    ui->setupUi(this);
    ui->m_pComboBoxBautRate->setFixedWidth(kBaudRateBoxWidth);
    ui->m_lineEditBautRate->setFixedWidth(100);
    // Rate and sample point, clock tolerance and longest bus, quanta and SJW:
    // a line each in the narrowest window.
    ui->m_labelBitTiming->setLineCount(3);

    auto* baudRow = new QHBoxLayout;
    baudRow->addWidget(ui->m_labelBauRate);
    baudRow->addWidget(ui->m_pComboBoxBautRate);
    baudRow->addWidget(ui->m_lineEditBautRate);
    baudRow->addWidget(ui->m_labelBitTiming, 1);
    baudRow->addWidget(ui->m_pushButtonBitTiming);
    auto* layout = new QVBoxLayout;
    layout->addLayout(baudRow);
    layout->addWidget(ui->m_pTableWidgetDataList);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(ui->m_labelFilter, 1);
    filterRow->addWidget(ui->m_pushButtonFilterPlanner);
    layout->addLayout(filterRow);
    setLayout(layout);

    m_wheelGuard = new WheelGuard(this);
    m_wheelGuard->guard(ui->m_pComboBoxBautRate);
    // The first entry becomes current as it is inserted, which runs the slot.
    buildBaudRates();
    buildFilterTable();
    connect(ui->m_pTableWidgetDataList, &QTableWidget::itemChanged, this,
            &ChannalWidget::onItemChangedTableWidgetDataList);
    connect(ui->m_pTableWidgetDataList, &QTableWidget::currentCellChanged, this,
            &ChannalWidget::showFilterMeaning);
    for (QComboBox* box : m_workModeBoxes + m_bitWidthBoxes)
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &ChannalWidget::showFilterMeaning);
    auto* registers = new RegisterDelegate(
        [this](int row, int column, const QString& text) {
            // The line alone: a change to the edited item would put its old
            // text back into the editor.
            std::array<FilterRow, kFilterBankCount> banks = values().banks;
            (column == ColumnId ? banks[size_t(row)].idText : banks[size_t(row)].maskText) = text;
            showFilterLine(FilterBanks::decodeChannel(banks));
        },
        this);
    ui->m_pTableWidgetDataList->setItemDelegateForColumn(ColumnId, registers);
    ui->m_pTableWidgetDataList->setItemDelegateForColumn(ColumnMask, registers);
    // An edit given up (Esc) leaves the cell as it was: the line with it.
    connect(registers, &QAbstractItemDelegate::closeEditor, this, &ChannalWidget::showFilterMeaning);

    // Tab as the fields stand: the word and its calculator, the table, the planner.
    setTabOrder(ui->m_pComboBoxBautRate, ui->m_lineEditBautRate);
    setTabOrder(ui->m_lineEditBautRate, ui->m_pushButtonBitTiming);
    setTabOrder(ui->m_pushButtonBitTiming, ui->m_pTableWidgetDataList);
    setTabOrder(ui->m_pTableWidgetDataList, ui->m_pushButtonFilterPlanner);

    setValues(CanChannelValues::defaults(m_nChannalId));
    fitTexts();
}

ChannalWidget::~ChannalWidget() {
    delete ui;
}

void ChannalWidget::buildBaudRates() {
    for (int i = 0; i < CanCodec::kBaudRateCount; ++i)
        ui->m_pComboBoxBautRate->addItem(CanCodec::baudRateText(i), CanCodec::baudRateWord(i));
}

void ChannalWidget::buildFilterTable() {
    QTableWidget* table = ui->m_pTableWidgetDataList;
    // Tab leaves the table for the next field; the arrow keys move inside it.
    table->setTabKeyNavigation(false);
    table->installEventFilter(this);
    table->viewport()->installEventFilter(this);
    new CurrentCellFrame(table);
    // A register is one line: one too long for its cell ends in "…".
    table->setWordWrap(false);
    // The style's minimum section width would widen the check-box column.
    table->horizontalHeader()->setMinimumSectionSize(kColumnWidths[0]);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int column = 0; column < 4; ++column) table->setColumnWidth(column, kColumnWidths[column]);
    table->setRowCount(CanCodec::kBankCount);

    for (int row = 0; row < CanCodec::kBankCount; ++row) {
        auto* inUse = new QTableWidgetItem;
        inUse->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        inUse->setCheckState(Qt::Unchecked);
        table->setItem(row, ColumnInUse, inUse);

        m_workModeBoxes.append(
            addCellBox(row, ColumnWorkMode, {CanCodec::workModeText(0), CanCodec::workModeText(1)}));
        m_bitWidthBoxes.append(
            addCellBox(row, ColumnBitWidth, {CanCodec::bitWidthText(0), CanCodec::bitWidthText(1)}));

        table->setItem(row, ColumnId, new QTableWidgetItem);
        table->setItem(row, ColumnMask, new QTableWidgetItem);
        table->setRowHeight(row, kRowHeight);
    }
}

QComboBox* ChannalWidget::addCellBox(int row, int column, const QStringList& texts) {
    auto* box = new QComboBox;
    box->addItems(texts);
    guardCellBox(box);
    ui->m_pTableWidgetDataList->setCellWidget(row, column, box);
    return box;
}

void ChannalWidget::guardCellBox(QComboBox* box) {
    m_wheelGuard->guard(box);
    // The keyboard stays with the table: a box that took it as the current
    // cell came to it would turn with the arrow keys and typed digits. A box
    // opens from its cell's keys (see the table's key handling) or a click.
    box->setFocusPolicy(Qt::NoFocus);
    box->installEventFilter(this);
}

bool ChannalWidget::eventFilter(QObject* watched, QEvent* event) {
    QTableWidget* table = ui->m_pTableWidgetDataList;
    if (event->type() == QEvent::MouseButtonPress && watched->parent() == table->viewport()) {
        // A box clicked: its bank is the one the line describes, and the
        // keys go on from its cell once its list closes.
        const QModelIndex cell = table->indexAt(static_cast<QWidget*>(watched)->geometry().center());
        table->setCurrentCell(cell.row(), cell.column());
        table->setFocus(Qt::MouseFocusReason);
    }
    if (event->type() == QEvent::MouseButtonPress && watched == table->viewport()) {
        // The view takes a press on a tick box as the tick's alone and
        // leaves the current cell elsewhere: Space would then tick another bank.
        const QModelIndex cell = table->indexAt(static_cast<QMouseEvent*>(event)->pos());
        if (cell.column() == ColumnInUse) table->setCurrentCell(cell.row(), cell.column());
    }
    if (watched != table || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    // On a work-mode or bit-width cell, the keys that open a combo box open
    // the cell's list; the table keeps the keyboard when it closes.
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool opens = key->key() == Qt::Key_F2 || key->key() == Qt::Key_F4 || key->key() == Qt::Key_Space ||
                       key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                       (key->key() == Qt::Key_Down && key->modifiers() & Qt::AltModifier);
    auto* box = qobject_cast<QComboBox*>(table->cellWidget(table->currentRow(), table->currentColumn()));
    if (!opens || !box) return QWidget::eventFilter(watched, event);
    box->showPopup();
    return true;
}

QTableWidgetItem* ChannalWidget::item(int row, int column) const {
    return ui->m_pTableWidgetDataList->item(row, column);
}

CanCodec::FilterRow ChannalWidget::rowValues(int row) const {
    CanCodec::FilterRow values;
    if (row < 0 || row >= CanCodec::kBankCount) return values;
    values.inUse = item(row, ColumnInUse)->checkState() == Qt::Checked;
    values.workMode = workModeBox(row)->currentIndex();
    values.bitWidth = bitWidthBox(row)->currentIndex();
    values.idText = item(row, ColumnId)->text();
    values.maskText = item(row, ColumnMask)->text();
    return values;
}

void ChannalWidget::setRowValues(int row, const CanCodec::FilterRow& values) {
    item(row, ColumnInUse)->setCheckState(values.inUse ? Qt::Checked : Qt::Unchecked);
    // The boxes have only indexes 0 and 1.
    if (values.workMode == 0 || values.workMode == 1) workModeBox(row)->setCurrentIndex(values.workMode);
    if (values.bitWidth == 0 || values.bitWidth == 1) bitWidthBox(row)->setCurrentIndex(values.bitWidth);
    item(row, ColumnId)->setText(values.idText);
    item(row, ColumnMask)->setText(values.maskText);
}

CanChannelValues ChannalWidget::values() const {
    CanChannelValues values;
    values.channelId = m_nChannalId;
    values.baudRateIndex = ui->m_pComboBoxBautRate->currentIndex();
    values.bitTimingText = ui->m_lineEditBautRate->text();
    for (int row = 0; row < CanCodec::kBankCount; ++row) values.banks[size_t(row)] = rowValues(row);
    return values;
}

void ChannalWidget::setValues(const CanChannelValues& values) {
    // The entry first: choosing it shows its own word, which the text then replaces.
    ui->m_pComboBoxBautRate->setCurrentIndex(values.baudRateIndex);
    ui->m_lineEditBautRate->setText(values.bitTimingText);
    // Only texts that change are marked again: every Read and Open shows
    // all channels, mostly with the texts they already hold.
    QVector<QTableWidgetItem*> changed;
    for (int row = 0; row < CanCodec::kBankCount; ++row) {
        const CanCodec::FilterRow& bank = values.banks[size_t(row)];
        if (item(row, ColumnId)->text() != bank.idText) changed << item(row, ColumnId);
        if (item(row, ColumnMask)->text() != bank.maskText) changed << item(row, ColumnMask);
    }
    m_bSettingValues = true;
    for (int row = 0; row < CanCodec::kBankCount; ++row) setRowValues(row, values.banks[size_t(row)]);
    m_bSettingValues = false;
    for (QTableWidgetItem* cell : qAsConst(changed)) showRegisterState(cell);
    showFilterMeaning();
}

void ChannalWidget::onCurrentIndexChangedComboBoxBautRate(int index) {
    CanChannelValues changed;
    CanCodec::selectBaudRate(changed, index);
    ui->m_lineEditBautRate->setText(changed.bitTimingText);
    ui->m_lineEditBautRate->setReadOnly(index != kCustomIndex);
}

void ChannalWidget::onTextChangedLineEditBautRate() {
    const BitTimingText text(ui->m_lineEditBautRate->text());
    // The line keeps its two lines' height; where it elides, the tool tip
    // has it whole, with what its bus length assumes.
    const bool wrong = CanCodec::isBitTimingTextWrong(text);
    const QByteArray word = text.word();
    const QString line = wrong ? CanCodec::describeBitTimingText(text) : BusLimits::describe(word);
    ui->m_labelBitTiming->setText(line);
    ui->m_labelBitTiming->setToolTip(
        wrong || BitTiming::decode(word).adaptive
            ? line
            : line + QLatin1Char('\n') + tr("总线长度按%1计算").arg(BusLimits::busText(BusLimits::Bus())));
    showRed(ui->m_labelBitTiming, QPalette::WindowText, wrong);
    // The field itself shows whether the Write can send it.
    showRed(ui->m_lineEditBautRate, QPalette::Text, !CanCodec::canSendBitTimingText(text));
}

void ChannalWidget::onPushButtonBitTiming() {
    BitTimingDialog dialog(this);
    const BitTiming::Decoded current = BitTiming::decode(bitTimingText().word());
    if (current.problems.isEmpty() && !current.adaptive) dialog.setBitRate(current.fields.bitRate());
    if (dialog.exec() != QDialog::Accepted) return;
    // A word of the table selects its entry; any other one is the custom word.
    change([&](CanChannelValues& v) {
        CanCodec::applyWord(v, dialog.word());
        if (v.baudRateIndex == kCustomIndex) v.bitTimingText = CanCodec::tableWordText(dialog.word());
    });
}

void ChannalWidget::onItemChangedTableWidgetDataList(QTableWidgetItem* item) {
    if (m_bSettingValues) return;
    if (item->column() == ColumnId || item->column() == ColumnMask) showRegisterState(item);
    showFilterMeaning();
}

void ChannalWidget::onPushButtonFilterPlanner() {
    FilterPlannerDialog dialog(this);
    dialog.setBanks(values().banks);
    if (dialog.exec() != QDialog::Accepted) return;
    change([&](CanChannelValues& v) { v.banks = dialog.banks(); });
    // The line under the table shows the first bank filled.
    ui->m_pTableWidgetDataList->setCurrentCell(dialog.firstBank(), ColumnId);
}

void ChannalWidget::showRegisterState(QTableWidgetItem* item) {
    // Marking the cell changes the item again: that is no edit.
    const QSignalBlocker blocker(ui->m_pTableWidgetDataList);
    // Red text alone does not show on a cell of blanks. The red text, and the
    // tool tip that says why, come with the row's meaning.
    const bool valid = CanCodec::canSendRegisterText(item->text());
    item->setData(Qt::BackgroundRole, valid ? QVariant() : QVariant(QBrush(kInvalidCellColor)));
}

void ChannalWidget::showFilterMeaning() {
    // Rows set together are decoded once, when all are set.
    if (m_bSettingValues) return;
    const QVector<FilterBanks::Bank> banks = FilterBanks::decodeChannel(values().banks);
    {
        const QSignalBlocker blocker(ui->m_pTableWidgetDataList);
        for (int row = 0; row < CanCodec::kBankCount; ++row) {
            const FilterBanks::Bank& bank = banks.at(row);
            const QString text = FilterBanks::describe(bank);
            for (int column : {int(ColumnInUse), int(ColumnId), int(ColumnMask)})
                item(row, column)->setToolTip(text);
            // The boxes cover their cells.
            workModeBox(row)->setToolTip(text);
            bitWidthBox(row)->setToolTip(text);
            for (int column : {int(ColumnId), int(ColumnMask)}) {
                const bool wrong = std::any_of(
                    bank.problems.cbegin(), bank.problems.cend(),
                    [&](const FilterBanks::Problem& p) { return p.reg && columnOf(*p.reg) == column; });
                item(row, column)
                    ->setData(Qt::ForegroundRole, wrong ? QVariant(QBrush(Qt::red)) : QVariant());
            }
        }
    }
    showFilterLine(banks);
}

void ChannalWidget::showFilterLine(const QVector<FilterBanks::Bank>& banks) {
    // Before a row is chosen, the first one: a new channel's bank in use.
    const int row = std::max(ui->m_pTableWidgetDataList->currentRow(), 0);
    const QString line = tr("过滤器组%1：%2").arg(row + 1).arg(FilterBanks::describe(banks.at(row)));
    ui->m_labelFilter->setText(line);
    ui->m_labelFilter->setToolTip(line);
    // Two banks passing the same frames is a note, not a mistake.
    showRed(ui->m_labelFilter, QPalette::WindowText, banks.at(row).isWrong());
}

void ChannalWidget::fitIdColumn() {
    // Room for a register as files give it, the blank an opened text starts
    // with included, not for whatever is typed: a longer text is elided,
    // whole in its tool tip, and the columns keep their places.
    QTableWidget* table = ui->m_pTableWidgetDataList;
    QStyleOptionViewItem option;
    option.initFrom(table);
    option.font = table->font();
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral(" 00 00 00 00");
    const int text =
        table->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), table).width();
    const int width =
        std::max({kColumnWidths[ColumnId], table->horizontalHeader()->sectionSizeHint(ColumnId), text});
    if (table->columnWidth(ColumnId) != width) table->setColumnWidth(ColumnId, width);
}

BitTimingText ChannalWidget::bitTimingText() const {
    return ui->m_lineEditBautRate->text();
}

QByteArray ChannalWidget::baudRateFrame() const {
    return CanCodec::baudRateRequest(m_nChannalId, bitTimingText()).frame();
}

void ChannalWidget::setBaudRateReply(const QByteArray& word) {
    change([&](CanChannelValues& v) { CanCodec::applyWord(v, word); });
}

QList<QByteArray> ChannalWidget::filterFrames() const {
    return CanCodec::filterFrames(values());
}

void ChannalWidget::setFilterReplies(const QList<QByteArray>& replies) {
    change([&](CanChannelValues& v) { CanCodec::applyFilterReplies(v, replies); });
}

QJsonObject ChannalWidget::toJson() const {
    return CanCodec::toJson(values());
}

void ChannalWidget::fromJson(const QJsonObject& object) {
    change([&](CanChannelValues& v) { CanCodec::applyJson(v, object); });
}

void ChannalWidget::setDefault() {
    setValues(CanChannelValues::defaults(m_nChannalId));
}

void ChannalWidget::retranslate() {
    ui->m_labelBauRate->setText(tr("波特率："));
    ui->m_pComboBoxBautRate->setItemText(kAdaptiveIndex, CanCodec::baudRateText(kAdaptiveIndex));
    ui->m_pComboBoxBautRate->setItemText(kCustomIndex, CanCodec::baudRateText(kCustomIndex));
    onTextChangedLineEditBautRate();
    ui->m_pushButtonBitTiming->setToolTip(tr("位定时计算器：按比特率找出位定时字"));
    ui->m_pushButtonFilterPlanner->setToolTip(tr("过滤器规划：按标识符和范围填写过滤器组"));

    ui->m_pTableWidgetDataList->setHorizontalHeaderLabels(
        {QStringLiteral(" "), tr("工作模式"), tr("位数"), tr("ID寄存器"), tr("掩码寄存器")});
    for (QComboBox* box : qAsConst(m_workModeBoxes)) {
        box->setItemText(0, CanCodec::workModeText(0));
        box->setItemText(1, CanCodec::workModeText(1));
    }
    // The rows' meanings, a red cell's rule among them, in the language now chosen.
    showFilterMeaning();
    fitTexts();
}

void ChannalWidget::fitTexts() {
    TextFit::fixComboWidth(ui->m_pComboBoxBautRate, kBaudRateBoxWidth);
    // The columns of the header texts and the combo boxes; the last one
    // stretches anyway. A combo box fills its cell, which the grid line
    // narrows by one pixel.
    QTableWidget* table = ui->m_pTableWidgetDataList;
    const int gridLine = table->showGrid() ? 1 : 0;
    for (int column : {int(ColumnWorkMode), int(ColumnBitWidth)}) {
        int width = qMax(kColumnWidths[column], table->horizontalHeader()->sectionSizeHint(column));
        if (column == ColumnWorkMode) width = qMax(width, TextFit::comboWidth(workModeBox(0)) + gridLine);
        if (column == ColumnBitWidth) width = qMax(width, TextFit::comboWidth(bitWidthBox(0)) + gridLine);
        table->setColumnWidth(column, width);
    }
    fitIdColumn();
}

QVector<InvalidField> ChannalWidget::invalidFields() const {
    return CanCodec::invalidFields(values());
}
