#include "ChannalWidget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QVBoxLayout>

#include "BitTiming.h"
#include "BitTimingDialog.h"
#include "CanCodec.h"
#include "TextFit.h"
#include "ui_ChannalWidget.h"

namespace {

constexpr int kRowHeight = 24;
constexpr int kColumnWidths[] = {25, 100, 80, 100};
constexpr int kBaudRateBoxWidth = 80;

struct BaudRateEntry {
    const char* label;
    const char* word;
};

// Labels 0 ... 14 are rates and stay untranslated; 15 and 16 are set by
// retranslate().
const BaudRateEntry kBaudRates[] = {
    {"5K", "00450257"},
    {"10K", "001C00E0"},
    {"20K", "000500E0"},
    {"40K", "00780031"},
    {"50K", "0067002C"},
    {"80K", "004B0018"},
    {"100K", "0012003B"},
    {"125K", "0012002F"},
    {"200K", "0027000E"},
    {"250K", "00120017"},
    {"400K", "00160008"},
    {"500K", "0012000B"},
    {"666K", "00240005"},
    {"800K", "00240004"},
    {"1000K", "00120005"},
    {QT_TRANSLATE_NOOP("ChannalWidget", "自适应"), "00000000"},
    {QT_TRANSLATE_NOOP("ChannalWidget", "自定义"), "FFFFFFFF"},
};

constexpr int kDefaultBaudRateIndex = 1;  // "10K"
const char kDefaultRegister[] = "00 00 00 00";

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

    // The first entry becomes current as it is inserted, which runs the slot.
    buildBaudRates();
    buildFilterTable();

    item(0, ColumnInUse)->setCheckState(Qt::Checked);
    ui->m_pComboBoxBautRate->setCurrentIndex(kDefaultBaudRateIndex);
    fitTexts();
}

ChannalWidget::~ChannalWidget() {
    delete ui;
}

void ChannalWidget::buildBaudRates() {
    for (const BaudRateEntry& entry : kBaudRates)
        ui->m_pComboBoxBautRate->addItem(QString::fromUtf8(entry.label), QByteArray::fromHex(entry.word));
}

void ChannalWidget::buildFilterTable() {
    QTableWidget* table = ui->m_pTableWidgetDataList;
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
        workMode->addItem(tr("掩码模式"));
        workMode->addItem(tr("列表模式"));
        table->setCellWidget(row, ColumnWorkMode, workMode);
        m_workModeBoxes.append(workMode);

        auto* bitWidth = new QComboBox;
        bitWidth->addItem(QStringLiteral("16"));
        bitWidth->addItem(QStringLiteral("32"));
        bitWidth->setCurrentIndex(1);
        table->setCellWidget(row, ColumnBitWidth, bitWidth);
        m_bitWidthBoxes.append(bitWidth);

        table->setItem(row, ColumnId, new QTableWidgetItem(QString::fromLatin1(kDefaultRegister)));
        table->setItem(row, ColumnMask, new QTableWidgetItem(QString::fromLatin1(kDefaultRegister)));
        table->setRowHeight(row, kRowHeight);
    }
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
    // The boxes have only indexes 0 and 1; a file may hold other numbers,
    // which leave the box as it is.
    if (values.workMode == 0 || values.workMode == 1) workModeBox(row)->setCurrentIndex(values.workMode);
    if (values.bitWidth == 0 || values.bitWidth == 1) bitWidthBox(row)->setCurrentIndex(values.bitWidth);
    item(row, ColumnId)->setText(values.idText);
    item(row, ColumnMask)->setText(values.maskText);
}

void ChannalWidget::onCurrentIndexChangedComboBoxBautRate(int index) {
    const QByteArray word = ui->m_pComboBoxBautRate->currentData().toByteArray();
    ui->m_lineEditBautRate->setText(CanCodec::tableWordText(word));
    ui->m_lineEditBautRate->setReadOnly(index != kCustomIndex);
}

void ChannalWidget::onTextChangedLineEditBautRate() {
    // Decoded as the frame takes it.
    const QByteArray word = CanCodec::decodeBitTiming(ui->m_lineEditBautRate->text());
    ui->m_labelBitTiming->setText(BitTiming::describe(word));
    const bool wrong = !BitTiming::decode(word).problems.isEmpty();
    ui->m_labelBitTiming->setStyleSheet(wrong ? QStringLiteral("color:red;") : QString());
}

void ChannalWidget::onPushButtonBitTiming() {
    BitTimingDialog dialog(this);
    const BitTiming::Decoded current =
        BitTiming::decode(CanCodec::decodeBitTiming(ui->m_lineEditBautRate->text()));
    if (current.problems.isEmpty() && !current.adaptive) dialog.setBitRate(current.fields.bitRate());
    if (dialog.exec() != QDialog::Accepted) return;
    ui->m_pComboBoxBautRate->setCurrentIndex(kCustomIndex);
    ui->m_lineEditBautRate->setText(CanCodec::tableWordText(dialog.word()));
}

QString ChannalWidget::bitTimingText() const {
    return ui->m_lineEditBautRate->text();
}

QByteArray ChannalWidget::baudRateFrame() const {
    return CanCodec::baudRateFrame(m_nChannalId, bitTimingText());
}

void ChannalWidget::setBaudRateReply(const QByteArray& word) {
    const int index = ui->m_pComboBoxBautRate->findData(word);
    if (index >= 0) {
        ui->m_pComboBoxBautRate->setCurrentIndex(index);
        // "自定义" may already be current with another word typed or read
        // before: the field must show the word that came in (FF FF FF FF).
        if (index == kCustomIndex) ui->m_lineEditBautRate->setText(CanCodec::tableWordText(word));
        return;
    }
    ui->m_pComboBoxBautRate->setCurrentIndex(kCustomIndex);
    ui->m_lineEditBautRate->setText(CanCodec::customWordText(word));
}

QList<QByteArray> ChannalWidget::filterFrames() const {
    QList<QByteArray> frames;
    for (int row = 0; row < CanCodec::kBankCount; ++row) {
        frames.append(CanCodec::filterFrame(row, m_nChannalId, rowValues(row)));
    }
    return frames;
}

void ChannalWidget::setFilterReplies(const QList<QByteArray>& replies) {
    for (const QByteArray& reply : replies) {
        int row = 0;
        CanCodec::FilterRow values;
        if (!CanCodec::parseFilterReply(reply, &row, &values)) return;
        setRowValues(row, values);
    }
}

QJsonObject ChannalWidget::toJson() const {
    QJsonArray dataList;
    for (int row = 0; row < CanCodec::kBankCount; ++row) {
        dataList.append(CanCodec::dataListEntry(rowValues(row)));
    }
    QJsonObject object;
    object.insert(QStringLiteral("ChannalID"), m_nChannalId);
    object.insert(QStringLiteral("BaudRate"), ui->m_lineEditBautRate->text());
    object.insert(QStringLiteral("DataList"), dataList);
    return object;
}

void ChannalWidget::fromJson(const QJsonObject& object) {
    setBaudRateReply(CanCodec::decodeBitTiming(object.value(QStringLiteral("BaudRate")).toString()));

    // Rows without a usable element keep what they show.
    const QJsonArray dataList = object.value(QStringLiteral("DataList")).toArray();
    const int rows = qMin(dataList.size(), CanCodec::kBankCount);
    for (int row = 0; row < rows; ++row) {
        CanCodec::FilterRow values;
        if (!CanCodec::parseDataListEntry(dataList.at(row).toString(), &values)) continue;
        setRowValues(row, values);
    }
}

void ChannalWidget::setRowDefault(int row) {
    item(row, ColumnInUse)->setCheckState(Qt::Unchecked);
    workModeBox(row)->setCurrentIndex(0);
    bitWidthBox(row)->setCurrentIndex(1);
    item(row, ColumnId)->setText(QString::fromLatin1(kDefaultRegister));
    item(row, ColumnMask)->setText(QString::fromLatin1(kDefaultRegister));
}

void ChannalWidget::setDefault() {
    ui->m_pComboBoxBautRate->setCurrentIndex(kDefaultBaudRateIndex);
    for (int row = 0; row < CanCodec::kBankCount; ++row) setRowDefault(row);
    item(0, ColumnInUse)->setCheckState(Qt::Checked);
}

void ChannalWidget::retranslate() {
    ui->m_labelBauRate->setText(tr("波特率："));
    ui->m_pComboBoxBautRate->setItemText(kAdaptiveIndex, tr(kBaudRates[kAdaptiveIndex].label));
    ui->m_pComboBoxBautRate->setItemText(kCustomIndex, tr(kBaudRates[kCustomIndex].label));
    onTextChangedLineEditBautRate();
    ui->m_pushButtonBitTiming->setToolTip(tr("位定时计算器：按比特率找出位定时字"));

    ui->m_pTableWidgetDataList->setHorizontalHeaderLabels(
        {QStringLiteral(" "), tr("工作模式"), tr("位数"), tr("ID寄存器"), tr("掩码寄存器")});
    for (QComboBox* box : qAsConst(m_workModeBoxes)) {
        box->setItemText(0, tr("掩码模式"));
        box->setItemText(1, tr("列表模式"));
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
    for (int column : {int(ColumnWorkMode), int(ColumnBitWidth), int(ColumnId)}) {
        int width = qMax(kColumnWidths[column], table->horizontalHeader()->sectionSizeHint(column));
        if (column == ColumnWorkMode) width = qMax(width, TextFit::comboWidth(workModeBox(0)) + gridLine);
        if (column == ColumnBitWidth) width = qMax(width, TextFit::comboWidth(bitWidthBox(0)) + gridLine);
        table->setColumnWidth(column, width);
    }
}

QVector<InvalidField> ChannalWidget::invalidFields() const {
    QVector<InvalidField> fields;
    if (CanCodec::decodeBitTiming(ui->m_lineEditBautRate->text()).size() != CanCodec::kWordSize)
        fields.append({InvalidField::BaudRate, -1, -1});
    for (int row = 0; row < CanCodec::kBankCount; ++row) {
        for (int column : {int(ColumnId), int(ColumnMask)}) {
            if (CanCodec::decodeRegister(item(row, column)->text()).size() != CanCodec::kWordSize)
                fields.append({InvalidField::Register, row, column});
        }
    }
    return fields;
}
