#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QVector>
#include <QWidget>

#include "CanCodec.h"

class QComboBox;
class QTableWidgetItem;
class WheelGuard;
namespace FilterBanks {
struct Bank;
}

namespace Ui {
class ChannalWidget;
}

// Editor for one CAN channel: the baud rate as a bit-timing word, with what
// the word means beside it, and the fourteen acceptance-filter banks, with
// what the selected one lets through under them. Values live in the widgets;
// the rules that work on them are CanCodec's and FilterBanks'.
class ChannalWidget : public QWidget {
    Q_OBJECT
public:
    enum Column { ColumnInUse, ColumnWorkMode, ColumnBitWidth, ColumnId, ColumnMask };
    static constexpr int kAdaptiveIndex = CanCodec::kAdaptiveIndex;
    static constexpr int kCustomIndex = CanCodec::kCustomIndex;

    explicit ChannalWidget(int nChannalId, QWidget* parent = nullptr);
    ~ChannalWidget() override;

    int channalId() const { return m_nChannalId; }

    // What the editor shows, and showing a channel's values.
    CanChannelValues values() const;
    void setValues(const CanChannelValues& values);

    QByteArray baudRateFrame() const;
    void setBaudRateReply(const QByteArray& word);

    QList<QByteArray> filterFrames() const;
    void setFilterReplies(const QList<QByteArray>& replies);

    QJsonObject toJson() const;
    void fromJson(const QJsonObject& object);

    void setDefault();
    void retranslate();

    // Every field that would not be sent as written, baud rate first, then
    // the registers in row and column order. Empty when all is well.
    QVector<InvalidField> invalidFields() const;

    // The values the frames are built from: the bit-timing text as shown,
    // and one filter bank as its row shows it.
    BitTimingText bitTimingText() const;
    CanCodec::FilterRow rowValues(int row) const;

protected:
    // The filter table's keys: a combo box cell opens from the keyboard.
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void onCurrentIndexChangedComboBoxBautRate(int index);
    // Says beside the word what it means, or in red what is wrong with it.
    void onTextChangedLineEditBautRate();
    // Opens the calculator; a word taken from it selects its table entry, or
    // becomes the custom word.
    void onPushButtonBitTiming();
    // Marks a register cell the Write could not send; says again what the
    // banks let through.
    void onItemChangedTableWidgetDataList(QTableWidgetItem* item);
    // Opens the planner; the banks it fills replace the rows.
    void onPushButtonFilterPlanner();

private:
    void buildBaudRates();
    void buildFilterTable();
    // A combo box with these entries in a cell of the filter table.
    QComboBox* addCellBox(int row, int column, const QStringList& texts);
    void guardCellBox(QComboBox* box);
    // The table column that shows a filter register.
    static int columnOf(CanCodec::FilterRegister reg) {
        return reg == CanCodec::FilterRegister::Id ? ColumnId : ColumnMask;
    }
    // Changes the values as a rule does, and shows the result.
    template <typename Rule>
    void change(Rule rule) {
        CanChannelValues changed = values();
        rule(changed);
        setValues(changed);
    }
    // Widens the baud-rate box and the table's columns where a text would
    // not fit in its designed width.
    void fitTexts();
    void setRowValues(int row, const CanCodec::FilterRow& values);
    void showRegisterState(QTableWidgetItem* item);
    // Decodes the banks: each row's tool tips, its registers in red where a
    // problem sits, and the line under the table for the selected bank.
    void showFilterMeaning();
    void showFilterLine(const QVector<FilterBanks::Bank>& banks);
    void fitIdColumn();
    QTableWidgetItem* item(int row, int column) const;
    QComboBox* workModeBox(int row) const { return m_workModeBoxes.at(row); }
    QComboBox* bitWidthBox(int row) const { return m_bitWidthBoxes.at(row); }

    Ui::ChannalWidget* ui;
    const int m_nChannalId;
    QVector<QComboBox*> m_workModeBoxes;
    QVector<QComboBox*> m_bitWidthBoxes;
    bool m_bSettingValues = false;
    WheelGuard* m_wheelGuard = nullptr;
};
