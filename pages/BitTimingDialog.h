#pragma once

#include <QByteArray>
#include <QDialog>
#include <QVector>

#include "BitTiming.h"

namespace Ui {
class BitTimingDialog;
}

// Lists the bit-timing words that give the bit rate the user asks for, best
// first, with the clock tolerance and the longest bus each allows, and hands
// back the one chosen. Texts are set when it is built, in
// the language of the moment.
class BitTimingDialog : public QDialog {
    Q_OBJECT
public:
    explicit BitTimingDialog(QWidget* parent = nullptr);
    ~BitTimingDialog() override;

    // Fills the bit-rate field (bit/s), as a start from the word in use.
    void setBitRate(double bitRate);

    // The word of the row taken by accept(); empty until then.
    QByteArray word() const { return m_word; }

public slots:
    // Takes the selected row; without one the dialog stays open.
    void accept() override;

private slots:
    void onTextChangedEditBitRate();
    void onTextEditedEditSamplePoint();
    void onCellDoubleClickedTableWords(int row);
    void refresh();

private:
    // The request the fields describe, or the reason there is none.
    bool readRequest(BitTiming::Request* request, QString* why) const;
    // What the list holds and how it is ordered, for the line above it.
    QString rankingText(const BitTiming::Request& request) const;
    void showCandidates();

    Ui::BitTimingDialog* ui;
    QVector<BitTiming::Candidate> m_candidates;
    QByteArray m_word;
    // Until the user types a sample point, it follows the bit rate.
    bool m_bSamplePointEdited = false;
};
