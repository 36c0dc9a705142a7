#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QVector>
#include <QWidget>

#include "CanCodec.h"

class QComboBox;
class QTableWidgetItem;

namespace Ui {
class ChannalWidget;
}

// A field whose text would not go out as written: it does not decode to
// exactly four bytes.
struct InvalidField {
    enum Kind { BaudRate, Register };
    Kind kind = BaudRate;
    int row = -1;     // bank 0 ... 13, for a register
    int column = -1;  // 3 ID register, 4 mask register

    bool operator==(const InvalidField& other) const {
        return kind == other.kind && row == other.row && column == other.column;
    }
};

// Editor for one CAN channel: the baud rate as a bit-timing word, with what
// the word means beside it, and the fourteen acceptance-filter banks. Values
// live in the widgets only.
class ChannalWidget : public QWidget {
    Q_OBJECT
public:
    enum Column { ColumnInUse, ColumnWorkMode, ColumnBitWidth, ColumnId, ColumnMask };
    static constexpr int kAdaptiveIndex = 15;
    static constexpr int kCustomIndex = 16;

    explicit ChannalWidget(int nChannalId, QWidget* parent = nullptr);
    ~ChannalWidget() override;

    int channalId() const { return m_nChannalId; }

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
    QString bitTimingText() const;
    CanCodec::FilterRow rowValues(int row) const;

private slots:
    void onCurrentIndexChangedComboBoxBautRate(int index);
    // Says beside the word what it means, or in red what is wrong with it.
    void onTextChangedLineEditBautRate();
    // Opens the calculator; a word taken from it becomes the custom word.
    void onPushButtonBitTiming();

private:
    void buildBaudRates();
    void buildFilterTable();
    // Widens the baud-rate box and the table's columns where a text would
    // not fit in its designed width.
    void fitTexts();
    void setRowDefault(int row);
    void setRowValues(int row, const CanCodec::FilterRow& values);
    QTableWidgetItem* item(int row, int column) const;
    QComboBox* workModeBox(int row) const { return m_workModeBoxes.at(row); }
    QComboBox* bitWidthBox(int row) const { return m_bitWidthBoxes.at(row); }

    Ui::ChannalWidget* ui;
    const int m_nChannalId;
    QVector<QComboBox*> m_workModeBoxes;
    QVector<QComboBox*> m_bitWidthBoxes;
};
