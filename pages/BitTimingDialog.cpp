#include "BitTimingDialog.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QScreen>
#include <QSignalBlocker>
#include <QTableWidgetItem>

#include <cmath>

#include "CanCodec.h"
#include "RedText.h"
#include "ui_BitTimingDialog.h"

namespace {

enum Column {
    ColumnWord,
    ColumnRate,
    ColumnError,
    ColumnSamplePoint,
    ColumnQuanta,
    ColumnTolerance,
    ColumnLength,
};
// The widest text each column can hold; the last column takes the rest.
const char* const kWidestCells[] = {"0x00000000", "12000000.000", "+2.000 %", "100.0 %", "25", "±1.5873 %"};
constexpr int kCellPadding = 16;

// CAN tolerates a clock error of at most 1.58 % per node, and that only with
// the most forgiving bit timing; a larger rate error cannot work on a bus and
// would only lengthen the list by thousands of rows.
constexpr double kMaxTolerancePercent = 2;

// The number a field holds; false for text that is not a number. A group
// separator is refused in every field: "1,000" may mean 1 or 1000. Digits
// and signs in full width, and "。" for the point, are read as a Chinese
// input method types them.
bool fieldNumber(const QString& text, double* value) {
    QString ascii = text.trimmed();
    for (QChar& ch : ascii) {
        if (ch.unicode() >= 0xFF01 && ch.unicode() <= 0xFF5E) ch = QChar(ch.unicode() - 0xFF01 + 0x21);
        if (ch.unicode() == 0x3002) ch = QLatin1Char('.');
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    *value = c.toDouble(ascii, &ok);
    return ok && std::isfinite(*value);
}

QString errorText(double error) {
    // Also a word a rounding away from the wish, whose error shows as none.
    if (std::fabs(error) < BitTiming::kErrorStep / 2) return QStringLiteral("0.000 %");
    return QString::asprintf("%+.3f %%", error * 100);
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(int(alignment));
    return item;
}

}  // namespace

BitTimingDialog::BitTimingDialog(QWidget* parent) : QDialog(parent), ui(new Ui::BitTimingDialog) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // However long a message, the dialog stays on the screen.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        setMaximumWidth(screen->availableGeometry().width());
    // Wide enough for the header, whose text depends on the language, and
    // for any row, so that the columns stay put as the list changes.
    QTableWidget* table = ui->m_tableWords;
    for (int column = ColumnWord; column < ColumnLength; ++column) {
        const int cells = table->fontMetrics().horizontalAdvance(QLatin1String(kWidestCells[column]));
        table->setColumnWidth(column,
                              qMax(cells + kCellPadding, table->horizontalHeader()->sectionSizeHint(column)));
    }
    {
        // Until a rate is given, the rule's value for the slow rates.
        const QSignalBlocker blocker(ui->m_editSamplePoint);
        ui->m_editSamplePoint->setText(BitTiming::decimalText(BitTiming::defaultSamplePoint(0) * 100, 1));
        const QSignalBlocker delayBlocker(ui->m_editNodeDelay);
        ui->m_editNodeDelay->setText(BitTiming::decimalText(BusLimits::kDefaultNodeDelayNs, 1));
    }
    refresh();
}

BitTimingDialog::~BitTimingDialog() {
    delete ui;
}

void BitTimingDialog::setBitRate(double bitRate) {
    ui->m_editBitRate->setText(BitTiming::decimalText(bitRate / 1000, 3));
}

void BitTimingDialog::accept() {
    const QModelIndexList rows = ui->m_tableWords->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;
    m_word = m_candidates.at(rows.first().row()).word();
    QDialog::accept();
}

void BitTimingDialog::onTextChangedEditBitRate() {
    double kbps = 0;
    if (!m_bSamplePointEdited && fieldNumber(ui->m_editBitRate->text(), &kbps) && kbps > 0) {
        const QSignalBlocker blocker(ui->m_editSamplePoint);
        ui->m_editSamplePoint->setText(
            BitTiming::decimalText(BitTiming::defaultSamplePoint(kbps * 1000) * 100, 1));
    }
    refresh();
}

void BitTimingDialog::onTextEditedEditSamplePoint() {
    m_bSamplePointEdited = true;
}

void BitTimingDialog::onCellDoubleClickedTableWords(int row) {
    ui->m_tableWords->selectRow(row);
    accept();
}

bool BitTimingDialog::readRequest(BitTiming::Request* request, QString* why) const {
    double kbps = 0;
    if (!fieldNumber(ui->m_editBitRate->text(), &kbps) || kbps <= 0) {
        *why = tr("比特率须为大于0的数（kbit/s）");
        return false;
    }
    if (kbps * 1000 > BitTiming::kMaxBitRate) {
        *why = tr("比特率不能高于%1 kbit/s（CAN的最高速率）")
                   .arg(BitTiming::decimalText(BitTiming::kMaxBitRate / 1000, 3));
        return false;
    }
    // Rates show to the bit/s: the floor, 1406.25, shows as 1.406 kbit/s.
    if (std::round(kbps * 1000) < std::round(BitTiming::kMinBitRate)) {
        *why = tr("比特率不能低于%1 kbit/s（控制器能产生的最低速率）")
                   .arg(BitTiming::decimalText(BitTiming::kMinBitRate / 1000, 3));
        return false;
    }
    double samplePoint = 0;
    if (!fieldNumber(ui->m_editSamplePoint->text(), &samplePoint) || samplePoint <= 0 || samplePoint >= 100) {
        *why = tr("采样点须为大于0、小于100的数（%）");
        return false;
    }
    double sjwNumber = 0;
    const bool ok = fieldNumber(ui->m_editSjw->text(), &sjwNumber) && sjwNumber == std::floor(sjwNumber);
    const int sjw = ok && std::fabs(sjwNumber) <= BitTiming::kMaxSjw ? int(sjwNumber) : 0;
    if (!ok || sjw < 1 || sjw > BitTiming::kMaxSjw) {
        *why = tr("SJW须为1到4的整数");
        return false;
    }
    double tolerance = 0;
    if (!fieldNumber(ui->m_editTolerance->text(), &tolerance) || tolerance < 0 ||
        tolerance > kMaxTolerancePercent) {
        *why = tr("容差须为0到2之间的数（%）");
        return false;
    }
    // No length: the words need only cover the nodes' own delay.
    double length = 0;
    if (!ui->m_editBusLength->text().trimmed().isEmpty() &&
        (!fieldNumber(ui->m_editBusLength->text(), &length) || length < 0)) {
        *why = tr("总线长度须为不小于0的数（m），或不填");
        return false;
    }
    double nodeDelay = 0;
    if (!fieldNumber(ui->m_editNodeDelay->text(), &nodeDelay) || nodeDelay < 0) {
        *why = tr("节点延迟须为不小于0的数（ns）");
        return false;
    }
    request->bus.lengthMetres = length;
    request->bus.nodeDelayNs = nodeDelay;
    request->bitRate = kbps * 1000;
    request->samplePoint = samplePoint / 100;
    request->sjw = sjw;
    request->tolerance = tolerance / 100;
    return true;
}

void BitTimingDialog::refresh() {
    BitTiming::Request request;
    QString message;
    m_candidates.clear();
    // Until a rate is typed, a hint says what to do.
    const bool empty = ui->m_editBitRate->text().trimmed().isEmpty();
    const bool asked = !empty && readRequest(&request, &message);
    if (asked) {
        m_candidates = BitTiming::search(request);
        BitTiming::Candidate best;
        if (!m_candidates.isEmpty()) {
            message = rankingText(request);
        } else if (BitTiming::closest(request, &best)) {
            message = tr("±%1内没有可用的位定时字；最接近的是%2（%3，误差%4）")
                          .arg(BitTiming::decimalText(request.tolerance * 100, 3) + QStringLiteral(" %"),
                               CanCodec::tableWordText(best.word()), BitTiming::rateText(best.bitRate),
                               errorText(best.error));
        }
    }
    if (empty) message = tr("输入比特率（kbit/s），列出可用的位定时字");
    ui->m_labelMessage->setText(message);
    // A field that cannot be read is a mistake; the hint and the results are not.
    showRed(ui->m_labelMessage, QPalette::WindowText, !empty && !asked);
    showCandidates();
}

QString BitTimingDialog::rankingText(const BitTiming::Request& request) const {
    const int count = m_candidates.size();
    const bool lengthGiven = !ui->m_editBusLength->text().trimmed().isEmpty();
    const QString length = BusLimits::lengthText(request.bus.lengthMetres);
    // The first row covers the bus unless none of the words best in rate
    // and sample point does.
    if (m_candidates.first().limits.covers(request.bus)) {
        if (lengthGiven)
            return tr("可用的位定时字：%1个，最佳在前；误差和采样点相同时，能覆盖%2总线且时钟容差最大的在前")
                .arg(count)
                .arg(length);
        return tr("可用的位定时字：%1个，最佳在前；误差和采样点相同时，时钟容差最大的在前").arg(count);
    }
    // Without a length the bus is 0 m long, which the nodes' own delay may
    // already exceed: said as for any other length, as the command line does.
    return tr("可用的位定时字：%1个；误差和采样点最佳的字都不能覆盖%2总线，总线最长的在前；"
              "采样点越靠后，总线可以越长")
        .arg(count)
        .arg(length);
}

void BitTimingDialog::showCandidates() {
    QTableWidget* table = ui->m_tableWords;
    table->setUpdatesEnabled(false);
    table->clearContents();
    table->setRowCount(m_candidates.size());
    for (int row = 0; row < m_candidates.size(); ++row) {
        const BitTiming::Candidate& candidate = m_candidates.at(row);
        table->setItem(row, ColumnWord,
                       cell(CanCodec::tableWordText(candidate.word()), Qt::AlignLeft | Qt::AlignVCenter));
        table->setItem(row, ColumnRate, cell(BitTiming::decimalText(candidate.bitRate, 3)));
        table->setItem(row, ColumnError, cell(errorText(candidate.error)));
        table->setItem(row, ColumnSamplePoint, cell(BitTiming::samplePointText(candidate.samplePoint)));
        table->setItem(row, ColumnQuanta, cell(QString::number(candidate.fields.quanta())));
        table->setItem(row, ColumnTolerance,
                       cell(BusLimits::toleranceText(candidate.limits.tolerancePercent)));
        table->setItem(row, ColumnLength, cell(BusLimits::lengthText(candidate.limits.maxLengthMetres)));
    }
    if (!m_candidates.isEmpty()) table->selectRow(0);
    table->setUpdatesEnabled(true);
    ui->m_pushButtonOK->setEnabled(!m_candidates.isEmpty());
}
