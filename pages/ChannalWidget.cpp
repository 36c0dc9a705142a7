#include "ChannalWidget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "BitTiming.h"
#include "BitTimingDialog.h"
#include "CanCodec.h"
#include "TextFit.h"
#include "WheelGuard.h"
#include "ui_ChannalWidget.h"

namespace {

constexpr int kRowHeight = 24;
constexpr int kColumnWidths[] = {25, 100, 80, 100};
constexpr int kBaudRateBoxWidth = 80;
// The tint of a register cell that cannot be sent.
const QColor kInvalidCellColor(255, 224, 224);

// Red by the palette: a style sheet set and taken away again leaves the
// widget in another font, and the row under it moves.
void showRed(QWidget* widget, QPalette::ColorRole role, bool red) {
    QPalette palette;  // resolves nothing: the parent's colours
    if (red) palette.setColor(role, Qt::red);
    widget->setPalette(palette);
}

}  // namespace

ChannalWidget::ChannalWidget(int nChannalId, QWidget* parent)
    : QWidget(parent), ui(new Ui::ChannalWidget), m_nChannalId(nChannalId) {
    ui->setupUi(this);
    ui->m_pComboBoxBautRate->setFixedWidth(kBaudRateBoxWidth);
    ui->m_lineEditBautRate->setFixedWidth(100);

    auto* baudRow = new QHBoxLayout;
    baudRow->addWidget(ui->m_labelBauRate);
    baudRow->addWidget(ui->m_pComboBoxBautRate);
    baudRow->addWidget(ui->m_lineEditBautRate);
    baudRow->addWidget(ui->m_labelBitTiming, 1);
    baudRow->addWidget(ui->m_pushButtonBitTiming);
    auto* layout = new QVBoxLayout;
    layout->addLayout(baudRow);
    layout->addWidget(ui->m_pTableWidgetDataList);
    setLayout(layout);

    m_wheelGuard = new WheelGuard(this);
    m_wheelGuard->guard(ui->m_pComboBoxBautRate);
    // The first entry becomes current as it is inserted, which runs the slot.
    buildBaudRates();
    buildFilterTable();
    connect(ui->m_pTableWidgetDataList, &QTableWidget::itemChanged, this,
            &ChannalWidget::onItemChangedTableWidgetDataList);

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

        auto* workMode = new QComboBox;
        workMode->addItem(workModeText(0));
        workMode->addItem(workModeText(1));
        guardCellBox(workMode);
        table->setCellWidget(row, ColumnWorkMode, workMode);
        m_workModeBoxes.append(workMode);

        auto* bitWidth = new QComboBox;
        bitWidth->addItem(bitWidthText(0));
        bitWidth->addItem(bitWidthText(1));
        guardCellBox(bitWidth);
        table->setCellWidget(row, ColumnBitWidth, bitWidth);
        m_bitWidthBoxes.append(bitWidth);

        table->setItem(row, ColumnId, new QTableWidgetItem);
        table->setItem(row, ColumnMask, new QTableWidgetItem);
        table->setRowHeight(row, kRowHeight);
    }
}

void ChannalWidget::guardCellBox(QComboBox* box) {
    m_wheelGuard->guard(box);
    // Tab goes from the table to the next field, not through 28 boxes; the
    // keyboard reaches a box from its cell (see the table's key handling).
    box->setFocusPolicy(Qt::ClickFocus);
}

bool ChannalWidget::eventFilter(QObject* watched, QEvent* event) {
    QTableWidget* table = ui->m_pTableWidgetDataList;
    if (watched != table || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    // On a work-mode or bit-width cell, the keys that open a combo box open
    // the cell's box, which then has the focus.
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool opens = key->key() == Qt::Key_F2 || key->key() == Qt::Key_F4 || key->key() == Qt::Key_Space ||
                       key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                       (key->key() == Qt::Key_Down && key->modifiers() & Qt::AltModifier);
    auto* box = qobject_cast<QComboBox*>(table->cellWidget(table->currentRow(), table->currentColumn()));
    if (!opens || !box) return QWidget::eventFilter(watched, event);
    box->setFocus(Qt::OtherFocusReason);
    box->showPopup();
    return true;
}

QString ChannalWidget::workModeText(int index) {
    return index == 0 ? tr("掩码模式") : tr("列表模式");
}

QString ChannalWidget::bitWidthText(int index) {
    return index == 0 ? QStringLiteral("16") : QStringLiteral("32");
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
    values.channalId = m_nChannalId;
    values.baudRateIndex = ui->m_pComboBoxBautRate->currentIndex();
    values.bitTimingText = ui->m_lineEditBautRate->text();
    for (int row = 0; row < CanCodec::kBankCount; ++row) values.banks[size_t(row)] = rowValues(row);
    return values;
}

void ChannalWidget::setValues(const CanChannelValues& values) {
    // The entry first: choosing it shows its own word, which the text then replaces.
    ui->m_pComboBoxBautRate->setCurrentIndex(values.baudRateIndex);
    ui->m_lineEditBautRate->setText(values.bitTimingText);
    // Only texts that change are marked and measured again: every Read and
    // Open shows all channels, mostly with the texts they already hold.
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
    if (std::any_of(changed.cbegin(), changed.cend(), [](const QTableWidgetItem* cell) {
            return cell->column() == ColumnId;
        }))
        fitIdColumn();
}

void ChannalWidget::onCurrentIndexChangedComboBoxBautRate(int index) {
    CanChannelValues changed;
    CanCodec::selectBaudRate(changed, index);
    ui->m_lineEditBautRate->setText(changed.bitTimingText);
    ui->m_lineEditBautRate->setReadOnly(index != kCustomIndex);
}

void ChannalWidget::onTextChangedLineEditBautRate() {
    const QString text = ui->m_lineEditBautRate->text();
    // The line keeps its two lines' height; where it elides, the tool tip
    // has it whole.
    const QString line = CanCodec::describeBitTimingText(text);
    ui->m_labelBitTiming->setText(line);
    ui->m_labelBitTiming->setToolTip(line);
    showRed(ui->m_labelBitTiming, QPalette::WindowText, CanCodec::isBitTimingTextWrong(text));
    // The field itself shows whether the Write can send it.
    showRed(ui->m_lineEditBautRate, QPalette::Text, !CanCodec::canSendBitTimingText(text));
}

void ChannalWidget::onPushButtonBitTiming() {
    BitTimingDialog dialog(this);
    const BitTiming::Decoded current = BitTiming::decode(CanCodec::bitTimingWord(bitTimingText()));
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
    if (item->column() == ColumnId) fitIdColumn();
}

void ChannalWidget::showRegisterState(QTableWidgetItem* item) {
    // Marking the cell changes the item again: that is no edit.
    const QSignalBlocker blocker(ui->m_pTableWidgetDataList);
    const bool valid = CanCodec::canSendRegisterText(item->text());
    item->setData(Qt::ForegroundRole, valid ? QVariant() : QVariant(QBrush(Qt::red)));
    // Red text alone does not show on a cell of blanks.
    item->setData(Qt::BackgroundRole, valid ? QVariant() : QVariant(QBrush(kInvalidCellColor)));
    item->setToolTip(valid ? QString() : CanCodec::wordTextRule());
}

void ChannalWidget::fitIdColumn() {
    // Opened texts start with a blank; typed ones may be longer still.
    QTableWidget* table = ui->m_pTableWidgetDataList;
    const QAbstractItemView* view = table;  // the size hint is public there
    const int width = std::max({kColumnWidths[ColumnId], table->horizontalHeader()->sectionSizeHint(ColumnId),
                                view->sizeHintForColumn(ColumnId)});
    if (table->columnWidth(ColumnId) != width) table->setColumnWidth(ColumnId, width);
}

QString ChannalWidget::bitTimingText() const {
    return ui->m_lineEditBautRate->text();
}

QByteArray ChannalWidget::baudRateFrame() const {
    return CanCodec::baudRateFrame(m_nChannalId, bitTimingText());
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

    ui->m_pTableWidgetDataList->setHorizontalHeaderLabels(
        {QStringLiteral(" "), tr("工作模式"), tr("位数"), tr("ID寄存器"), tr("掩码寄存器")});
    for (QComboBox* box : qAsConst(m_workModeBoxes)) {
        box->setItemText(0, workModeText(0));
        box->setItemText(1, workModeText(1));
    }
    // A red cell's tool tip is the rule, in the language now chosen.
    for (int row = 0; row < CanCodec::kBankCount; ++row) {
        showRegisterState(item(row, ColumnId));
        showRegisterState(item(row, ColumnMask));
    }
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
