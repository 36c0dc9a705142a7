#include "RouteParamWidget.h"

#include "ui_RouteParamWidget.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QSignalMapper>
#include <QTableWidgetItem>
#include <QVBoxLayout>

#include "CheckButton.h"
#include "SlashWidget.h"
#include "TextFit.h"

namespace {

template <typename... Types>
constexpr unsigned typeMask(Types... types) {
    return ((1u << types) | ...);
}

// Where each channel lives in the table, in a row byte, in the set-route
// frame and in the read-route reply, and which hardware types have it.
struct Channel {
    int row;
    int column;
    int bit;
    int frameByte;
    int replyByte;
    unsigned types;
    const char* name;
    bool translated;
};

constexpr Channel kChannelTable[RouteParamWidget::kChannelCount] = {
    {1, 2, 7, 5, 4, typeMask(1, 2, 3, 4), "CAN1", false},
    {2, 3, 6, 6, 5, typeMask(1, 2, 3, 4), "CAN2", false},
    {3, 4, 3, 9, 8, typeMask(2, 3, 4), QT_TRANSLATE_NOOP("RouteParamWidget", "光纤1"), true},
    {4, 5, 2, 10, 9, typeMask(3, 4), QT_TRANSLATE_NOOP("RouteParamWidget", "光纤2"), true},
    {5, 6, 1, 11, 10, typeMask(4), QT_TRANSLATE_NOOP("RouteParamWidget", "光纤3"), true},
    {6, 7, 0, 12, 11, typeMask(4), QT_TRANSLATE_NOOP("RouteParamWidget", "光纤4"), true},
};

constexpr int kMinType = 1;
constexpr int kMaxType = 4;

int channelOfRow(int row) {
    for (int i = 0; i < RouteParamWidget::kChannelCount; ++i)
        if (kChannelTable[i].row == row) return i;
    return -1;
}

QTableWidgetItem* makeFixedItem() {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

}  // namespace

RouteParamWidget::RouteParamWidget(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::RouteParamWidget>()) {
    ui->setupUi(this);
    QTableWidget* table = ui->m_tableWidgetRouteMap;
    table->setFixedSize(400, 250);

    m_signalMapper = new QSignalMapper(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(100, 0, 0, 0);
    layout->addSpacing(40);
    layout->addWidget(table);
    auto* hints = new QVBoxLayout;
    hints->addWidget(ui->m_labelHint);
    hints->addWidget(ui->m_labelHint2);
    hints->addStretch();
    layout->addLayout(hints);
    layout->addStretch();

    table->verticalHeader()->hide();
    table->horizontalHeader()->hide();
    table->setRowCount(kChannelCount + 1);
    table->setColumnCount(kChannelCount + 2);
    for (int col = 0; col < table->columnCount(); ++col) {
        table->setColumnWidth(col, 45);
        table->horizontalHeader()->setSectionResizeMode(col, QHeaderView::Fixed);
    }

    for (int i = 0; i < kChannelCount; ++i) {
        m_columnItems[i] = makeFixedItem();
        m_columnItems[i]->setTextAlignment(Qt::AlignCenter);
        table->setItem(0, kChannelTable[i].column, m_columnItems[i]);
    }
    for (int i = 0; i < kChannelCount; ++i) {
        const int row = kChannelTable[i].row;
        m_rowItems[i] = makeFixedItem();
        table->setItem(row, 1, m_rowItems[i]);
        m_onOff[i] = new CheckButton;
        table->setCellWidget(row, 0, m_onOff[i]);
        connect(m_onOff[i], &CheckButton::clicked, m_signalMapper, qOverload<>(&QSignalMapper::map));
        m_signalMapper->setMapping(m_onOff[i], row);
    }
    connect(m_signalMapper, &QSignalMapper::mappedInt, this, &RouteParamWidget::onCheckButtonClickedMapper);

    m_onOffItem = makeFixedItem();
    table->setItem(0, 0, m_onOffItem);
    table->setCellWidget(0, 1, new SlashWidget);
    table->setColumnWidth(0, 60);

    for (int r = 0; r < kChannelCount; ++r) {
        for (int c = 0; c < kChannelCount; ++c) {
            auto* button = new CheckButton;
            button->setChecked(true);
            table->setCellWidget(kChannelTable[r].row, kChannelTable[c].column, button);
            // A channel never routes to itself: its own cell stays off for good.
            if (r == c) {
                button->setEnabled(false);
                button->setChecked(false);
            }
            m_route[r][c] = button;
        }
    }

    retranslate();
    table->hide();
    ui->m_labelHint->hide();
    ui->m_labelHint2->hide();
}

bool RouteParamWidget::isKnownType() const {
    return m_hardwareType >= kMinType && m_hardwareType <= kMaxType;
}

bool RouteParamWidget::isPresent(int channel) const {
    if (channel < 0 || channel >= kChannelCount) return false;
    return isKnownType() && (kChannelTable[channel].types & (1u << m_hardwareType)) != 0;
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
        const bool hidden = isKnownType() && !isPresent(i);
        table->setRowHidden(kChannelTable[i].row, hidden);
        table->setColumnHidden(kChannelTable[i].column, hidden);
    }
}

void RouteParamWidget::hideParam() {
    ui->m_labelHint->hide();
    ui->m_labelHint2->hide();
    ui->m_tableWidgetRouteMap->hide();
}

void RouteParamWidget::setDefault() {
    for (int r = 0; r < kChannelCount; ++r) {
        if (!isPresent(r)) continue;
        m_onOff[r]->setChecked(true);
        m_onOff[r]->setEnabled(true);
        for (int c = 0; c < kChannelCount; ++c) {
            if (c == r || !isPresent(c)) continue;
            m_route[r][c]->setChecked(true);
            m_route[r][c]->setEnabled(true);
        }
    }
}

QByteArray RouteParamWidget::routeFrame() const {
    QByteArray frame = QByteArray::fromHex("0012270900000000000000000000000000");
    for (int r = 0; r < kChannelCount; ++r) {
        if (!isPresent(r)) continue;
        unsigned value = 0;
        // A switched-off channel forwards nothing, whatever its routes show.
        if (m_onOff[r]->isChecked()) {
            for (int c = 0; c < kChannelCount; ++c)
                if (isPresent(c) && m_route[r][c]->isChecked()) value |= 1u << kChannelTable[c].bit;
        }
        frame[kChannelTable[r].frameByte] = char(value);
    }
    return frame;
}

void RouteParamWidget::setRouteReply(const unsigned char* reply) {
    if (!reply) return;
    for (int r = 0; r < kChannelCount; ++r) {
        if (!isPresent(r)) continue;
        const unsigned value = reply[kChannelTable[r].replyByte];
        for (int c = 0; c < kChannelCount; ++c)
            if (c != r && isPresent(c)) m_route[r][c]->setChecked((value >> kChannelTable[c].bit) & 1u);
    }
}

QJsonArray RouteParamWidget::toJson() const {
    QJsonArray route;
    for (int r = 0; r < kChannelCount; ++r) {
        QString text;
        for (int c = 0; c < kChannelCount; ++c)
            text += m_route[r][c]->isChecked() ? QStringLiteral("1 ") : QStringLiteral("0 ");
        route.append(text);
    }
    return route;
}

bool RouteParamWidget::fromJson(const QJsonArray& route) {
    static const QRegularExpression kRowPattern(QStringLiteral("^([01] ){5}[01] ?$"));
    if (route.size() != kChannelCount) return false;
    for (const QJsonValue& value : route)
        if (!value.isString() || !kRowPattern.match(value.toString()).hasMatch()) return false;

    for (int r = 0; r < kChannelCount; ++r) {
        if (!isPresent(r)) continue;
        const QString text = route.at(r).toString();
        for (int c = 0; c < kChannelCount; ++c)
            if (c != r && isPresent(c)) m_route[r][c]->setChecked(text.at(2 * c) == QLatin1Char('1'));
    }
    return true;
}

QVector<CheckButton*> RouteParamWidget::linkedRoutes(int row) const {
    QVector<CheckButton*> buttons;
    const int index = channelOfRow(row);
    if (index < 0 || !isPresent(index)) return buttons;
    for (int c = 0; c < kChannelCount; ++c)
        if (c != index && isPresent(c)) buttons.append(m_route[index][c]);
    for (int r = 0; r < kChannelCount; ++r)
        if (r != index && isPresent(r)) buttons.append(m_route[r][index]);
    return buttons;
}

void RouteParamWidget::enableRoute(int row) {
    // Routes cut while the channel was off stay off until set again.
    for (CheckButton* button : linkedRoutes(row)) button->setEnabled(true);
}

void RouteParamWidget::disableRoute(int row) {
    for (CheckButton* button : linkedRoutes(row)) {
        button->setEnabled(false);
        button->setChecked(false);
    }
}

void RouteParamWidget::onCheckButtonClickedMapper(int row) {
    const int index = channelOfRow(row);
    if (index < 0) return;
    if (m_onOff[index]->isChecked())
        enableRoute(row);
    else
        disableRoute(row);
}

bool RouteParamWidget::isRouted(int from, int to) const {
    if (from < 0 || from >= kChannelCount || to < 0 || to >= kChannelCount) return false;
    return m_route[from][to]->isChecked();
}

QString RouteParamWidget::channelName(int channel) const {
    if (channel < 0 || channel >= kChannelCount) return QString();
    return kChannelTable[channel].translated ? tr(kChannelTable[channel].name)
                                             : QString::fromLatin1(kChannelTable[channel].name);
}

void RouteParamWidget::retranslate() {
    for (int i = 0; i < kChannelCount; ++i) {
        m_columnItems[i]->setText(channelName(i));
        m_rowItems[i]->setText(channelName(i));
    }
    m_onOffItem->setText(tr("开/关"));
    // The columns keep their fixed widths; a name cut short shows whole as a tool tip.
    QTableWidget* table = ui->m_tableWidgetRouteMap;
    for (int i = 0; i < kChannelCount; ++i) {
        TextFit::tipWhenCut(table, m_columnItems[i]);
        TextFit::tipWhenCut(table, m_rowItems[i]);
    }
    TextFit::tipWhenCut(table, m_onOffItem);
    ui->m_labelHint->setText(tr("① 开/关：√表示该通道打开，╳表示该通道关闭."));
    ui->m_labelHint2->setText(tr("② 路由：√表示该通道路由使能，╳表示该通道路由禁止."));
}

RouteParamWidget::~RouteParamWidget() = default;
