#include "RouteParamWidget.h"

#include "ui_RouteParamWidget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalMapper>
#include <QStyledItemDelegate>
#include <QTableWidgetItem>
#include <QVBoxLayout>
#include <vector>

#include "CheckButton.h"
#include "CurrentCellFrame.h"
#include "Protocol.h"
#include "RouteRules.h"
#include "SlashWidget.h"

namespace {

// Where each channel lives in the table: channel i has row i + 1 and column i + 2.
int rowOf(int channel) {
    return channel + 1;
}
int columnOf(int channel) {
    return channel + 2;
}
int channelOfRow(int row) {
    return row >= 1 && row <= RouteParamWidget::kChannelCount ? row - 1 : -1;
}

constexpr int kColumnWidth = 45;
constexpr int kOnOffColumnWidth = 60;
const QSize kTableSize(400, 250);

// Puts a cell's widget of fixed size in the middle of its cell, so that the
// switches stay centred when a column grows for its name; others fill it.
class CentredCellWidgets : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override {
        if (editor->minimumSize() != editor->maximumSize()) {
            QStyledItemDelegate::updateEditorGeometry(editor, option, index);
            return;
        }
        editor->setGeometry(
            QStyle::alignedRect(option.direction, Qt::AlignCenter, editor->size(), option.rect));
    }
};

QTableWidgetItem* makeFixedItem() {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

}  // namespace

RouteParamWidget::RouteParamWidget(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::RouteParamWidget>()) {
    ui->setupUi(this);
    layOut();
    shapeTable();
    addChannelSwitches();
    addRouteSwitches();
    setValues(RouteValues::defaults());

    retranslate();
    hideParam();
}

void RouteParamWidget::layOut() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(100, 0, 0, 0);
    layout->addSpacing(40);
    layout->addWidget(ui->m_tableWidgetRouteMap);
    auto* hints = new QVBoxLayout;
    hints->addWidget(ui->m_labelHint);
    hints->addWidget(ui->m_labelHint2);
    hints->addStretch();
    layout->addLayout(hints);
    layout->addStretch();
}

void RouteParamWidget::shapeTable() {
    QTableWidget* table = ui->m_tableWidgetRouteMap;
    table->setFixedSize(kTableSize);
    table->setItemDelegate(new CentredCellWidgets(table));
    table->verticalHeader()->hide();
    table->horizontalHeader()->hide();
    // Tab goes on to the next field rather than through 56 cells; the
    // arrow keys move between them, and the current one shows.
    table->setTabKeyNavigation(false);
    table->installEventFilter(this);
    new CurrentCellFrame(table);
    table->setRowCount(kChannelCount + 1);
    table->setColumnCount(kChannelCount + 2);
    for (int col = 0; col < table->columnCount(); ++col) {
        table->setColumnWidth(col, kColumnWidth);
        table->horizontalHeader()->setSectionResizeMode(col, QHeaderView::Fixed);
    }
}

void RouteParamWidget::addChannelSwitches() {
    QTableWidget* table = ui->m_tableWidgetRouteMap;
    m_signalMapper = new QSignalMapper(this);
    for (int i = 0; i < kChannelCount; ++i) {
        m_columnItems[i] = makeFixedItem();
        m_columnItems[i]->setTextAlignment(Qt::AlignCenter);
        table->setItem(0, columnOf(i), m_columnItems[i]);
    }
    for (int i = 0; i < kChannelCount; ++i) {
        const int row = rowOf(i);
        m_rowItems[i] = makeFixedItem();
        table->setItem(row, 1, m_rowItems[i]);
        m_onOff[i] = new CheckButton;
        m_onOff[i]->setFocusPolicy(Qt::NoFocus);  // the mouse's: it takes no key
        m_onOff[i]->installEventFilter(this);
        table->setCellWidget(row, 0, m_onOff[i]);
        connect(m_onOff[i], &CheckButton::clicked, m_signalMapper, qOverload<>(&QSignalMapper::map));
        m_signalMapper->setMapping(m_onOff[i], row);
    }
    connect(m_signalMapper, &QSignalMapper::mappedInt, this, &RouteParamWidget::onCheckButtonClickedMapper);

    m_onOffItem = makeFixedItem();
    table->setItem(0, 0, m_onOffItem);
    table->setCellWidget(0, 1, new SlashWidget);
    table->setColumnWidth(0, kOnOffColumnWidth);
}

void RouteParamWidget::addRouteSwitches() {
    QTableWidget* table = ui->m_tableWidgetRouteMap;
    for (int r = 0; r < kChannelCount; ++r) {
        for (int c = 0; c < kChannelCount; ++c) {
            auto* button = new CheckButton;
            button->setFocusPolicy(Qt::NoFocus);
            button->installEventFilter(this);
            table->setCellWidget(rowOf(r), columnOf(c), button);
            // A channel never routes to itself: its own cell stays off for good.
            if (r == c) button->setEnabled(false);
            m_route[r][c] = button;
        }
    }
}

bool RouteParamWidget::isPresent(int channel) const {
    return RouteRules::isPresent(m_hardwareType, channel);
}

void RouteParamWidget::setHardwareType(int type) {
    QTableWidget* table = ui->m_tableWidgetRouteMap;
    table->show();
    ui->m_labelHint->show();
    ui->m_labelHint2->show();
    m_hardwareType = type;

    // Show everything first: a larger device after a smaller one in the same
    // run must get back the channels hidden for the smaller one.
    for (int i = 0; i < kChannelCount; ++i) {
        const bool hidden = RouteRules::isKnownType(type) && !isPresent(i);
        table->setRowHidden(rowOf(i), hidden);
        table->setColumnHidden(columnOf(i), hidden);
    }
    fitTable();
}

void RouteParamWidget::hideParam() {
    ui->m_labelHint->hide();
    ui->m_labelHint2->hide();
    ui->m_tableWidgetRouteMap->hide();
}

RouteValues RouteParamWidget::values() const {
    RouteValues values;
    for (int r = 0; r < kChannelCount; ++r) {
        values.on[size_t(r)] = m_onOff[r]->isChecked();
        for (int c = 0; c < kChannelCount; ++c)
            values.routes[size_t(r)][size_t(c)] = m_route[r][c]->isChecked();
    }
    return values;
}

void RouteParamWidget::setValues(const RouteValues& values) {
    for (int r = 0; r < kChannelCount; ++r) {
        m_onOff[r]->setChecked(values.on[size_t(r)]);
        // The self cells stay off whatever the values say.
        for (int c = 0; c < kChannelCount; ++c)
            m_route[r][c]->setChecked(r != c && values.routes[size_t(r)][size_t(c)]);
    }
}

void RouteParamWidget::setDefault() {
    RouteValues changed = values();
    RouteRules::applyDefault(changed, m_hardwareType);
    setValues(changed);
    // The switches a channel's OFF disabled can be used again.
    for (int r = 0; r < kChannelCount; ++r) {
        if (!isPresent(r)) continue;
        m_onOff[r]->setEnabled(true);
        for (int c = 0; c < kChannelCount; ++c)
            if (c != r && isPresent(c)) m_route[r][c]->setEnabled(true);
    }
}

QByteArray RouteParamWidget::routeFrame() const {
    return RouteRules::request(values(), m_hardwareType).frame();
}

void RouteParamWidget::setRouteReply(const unsigned char* reply) {
    if (!reply) return;
    const auto rows = Protocol::QueryRoute::parse(
        QByteArray::fromRawData(reinterpret_cast<const char*>(reply), Protocol::ReplySize));
    if (!rows.ok()) return;
    RouteValues changed = values();
    RouteRules::applyReply(changed, m_hardwareType, rows.values);
    setValues(changed);
}

QJsonArray RouteParamWidget::toJson() const {
    return RouteRules::toJson(values());
}

bool RouteParamWidget::fromJson(const QJsonArray& route) {
    RouteValues changed = values();
    if (!RouteRules::applyJson(changed, m_hardwareType, route)) return false;
    setValues(changed);
    return true;
}

void RouteParamWidget::onCheckButtonClickedMapper(int row) {
    const int channel = channelOfRow(row);
    if (channel < 0) return;
    // The button has toggled already: its state says which way.
    const bool on = m_onOff[channel]->isChecked();
    RouteValues changed = values();
    RouteRules::switchChannel(changed, m_hardwareType, channel, on);
    setValues(changed);
    // Routes cut while the channel was off stay off until set again, but
    // can be set: a channel that is off leaves its routes unusable.
    for (const auto& [from, to] : RouteRules::linkedRoutes(m_hardwareType, channel))
        m_route[from][to]->setEnabled(on);
}

bool RouteParamWidget::eventFilter(QObject* watched, QEvent* event) {
    QTableWidget* table = ui->m_tableWidgetRouteMap;
    // Entering without a current cell, the keys start at the first switch.
    if (watched == table && event->type() == QEvent::FocusIn && !table->currentIndex().isValid())
        table->setCurrentCell(rowOf(0), 0);
    if (event->type() == QEvent::MouseButtonPress && watched->parent() == table->viewport()) {
        // A switch clicked is the current cell, with the keyboard: Space
        // goes on from the switch the user last clicked.
        const QModelIndex cell = table->indexAt(static_cast<QWidget*>(watched)->geometry().center());
        table->setCurrentCell(cell.row(), cell.column());
        table->setFocus(Qt::MouseFocusReason);
    }
    if (watched != table || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<CheckButton*>(table->cellWidget(table->currentRow(), table->currentColumn()));
    if (!button || (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter))
        return QWidget::eventFilter(watched, event);
    button->click();  // as a left press: nothing when disabled, and the ON/OFF handler runs
    return true;
}

void RouteParamWidget::retranslate() {
    for (int i = 0; i < kChannelCount; ++i) {
        m_columnItems[i]->setText(RouteRules::channelName(i));
        m_rowItems[i]->setText(RouteRules::channelName(i));
    }
    m_onOffItem->setText(tr("开/关"));
    fitTable();
    ui->m_labelHint->setText(tr("① 开/关：√表示该通道打开，╳表示该通道关闭."));
    ui->m_labelHint2->setText(tr("② 路由：√表示该通道路由使能，╳表示该通道路由禁止."));
}

void RouteParamWidget::fitTable() {
    // Four fiber columns that all read "Fib…" cannot be told apart: the
    // columns and rows grow to their names, and the table with them.
    QTableWidget* table = ui->m_tableWidgetRouteMap;
    QStyleOptionViewItem option;
    option.initFrom(table);
    option.widget = table;
    option.font = table->font();
    std::vector<int> widths(size_t(table->columnCount()));
    std::vector<int> heights(size_t(table->rowCount()));
    for (int col = 0; col < table->columnCount(); ++col)
        widths[size_t(col)] = col == 0 ? kOnOffColumnWidth : kColumnWidth;
    for (int row = 0; row < table->rowCount(); ++row)
        heights[size_t(row)] = table->verticalHeader()->defaultSectionSize();
    // A cell shows its item in its section less the grid line.
    const int gridLine = table->showGrid() ? 1 : 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int col = 0; col < table->columnCount(); ++col) {
            if (!table->item(row, col)) continue;
            const QSize need = table->itemDelegate()->sizeHint(option, table->model()->index(row, col));
            widths[size_t(col)] = qMax(widths[size_t(col)], need.width() + gridLine);
            heights[size_t(row)] = qMax(heights[size_t(row)], need.height() + gridLine);
        }
    }
    int width = 2 * table->frameWidth();
    int height = 2 * table->frameWidth();
    for (int col = 0; col < table->columnCount(); ++col) {
        table->setColumnWidth(col, widths[size_t(col)]);
        if (!table->isColumnHidden(col)) width += widths[size_t(col)];
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        table->setRowHeight(row, heights[size_t(row)]);
        if (!table->isRowHidden(row)) height += heights[size_t(row)];
    }
    table->setFixedSize(kTableSize.expandedTo(QSize(width, height)));
}

RouteParamWidget::~RouteParamWidget() = default;
