#pragma once

#include <QLabel>
#include <QStringList>

class QFontMetrics;

// A label that keeps the height of two lines (or as many as its owner sets)
// whatever its text, so that
// nothing under it moves as the text changes. It breaks the text after a
// separator ("，", "；", "：", "、", or ",", ";", ":" before a blank), inside
// a phrase only where the phrase is wider than a line, and then between
// words, never after a number: a number and its unit stay together. What
// does not fit in the two lines is elided; its owner decides the tool tip.
class FixedLinesLabel : public QLabel {
    Q_OBJECT
public:
    static constexpr int kLineCount = 2;

    explicit FixedLinesLabel(QWidget* parent = nullptr);

    // The lines it keeps room for, 1 or more.
    void setLineCount(int count);
    int lineCount() const { return m_nLineCount; }

    // The lines as drawn at the label's present width.
    QStringList shownLines() const;
    // The lines of `text` in `width` pixels: at most `lineCount`, the last
    // one ending in "…" where the rest did not fit.
    static QStringList layOut(const QString& text, const QFontMetrics& metrics, int width,
                              int lineCount = kLineCount);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nLineCount = kLineCount;
};
