#include "FixedLinesLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace {

const QString kEllipsis(QChar(0x2026));

bool isWideSeparator(QChar c) {
    return c == QChar(0xFF0C) || c == QChar(0xFF1B) || c == QChar(0xFF1A) || c == QChar(0x3001);  // ，；：、
}

// The text cut after each separator; the blanks after one stay with it.
QStringList phrases(const QString& text) {
    QStringList parts;
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool blankAfter = i + 1 < text.size() && text.at(i + 1) == QLatin1Char(' ');
        const bool narrow =
            (c == QLatin1Char(',') || c == QLatin1Char(';') || c == QLatin1Char(':')) && blankAfter;
        if (!isWideSeparator(c) && !narrow) continue;
        int end = i + 1;
        while (end < text.size() && text.at(end) == QLatin1Char(' ')) ++end;
        parts << text.mid(start, end - start);
        start = end;
        i = end - 1;
    }
    if (start < text.size()) parts << text.mid(start);
    return parts;
}

// A phrase cut before each word, but never after a number: "16 quanta"
// and "87.5 %" stay whole.
QStringList words(const QString& phrase) {
    QStringList parts;
    int start = 0;
    for (int i = 1; i < phrase.size(); ++i) {
        if (phrase.at(i - 1) != QLatin1Char(' ') || phrase.at(i) == QLatin1Char(' ')) continue;
        int last = i - 1;
        while (last > start && phrase.at(last) == QLatin1Char(' ')) --last;
        if (phrase.at(last).isDigit()) continue;
        parts << phrase.mid(start, i - start);
        start = i;
    }
    parts << phrase.mid(start);
    return parts;
}

QString withoutTrailingBlanks(QString text) {
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    return text;
}

}  // namespace

FixedLinesLabel::FixedLinesLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(false);
}

void FixedLinesLabel::setLineCount(int count) {
    m_nLineCount = qMax(1, count);
    updateGeometry();
    update();
}

QStringList FixedLinesLabel::layOut(const QString& text, const QFontMetrics& metrics, int width,
                                    int lineCount) {
    const auto fits = [&](const QString& line) {
        return metrics.horizontalAdvance(withoutTrailingBlanks(line)) <= width;
    };
    // A phrase too wide for a line of its own breaks between its words.
    QStringList parts;
    for (const QString& phrase : phrases(text)) parts << (fits(phrase) ? QStringList{phrase} : words(phrase));
    QStringList lines;
    int next = 0;
    while (next < parts.size() && lines.size() < lineCount) {
        const int first = next;
        QString line = parts.at(next++);
        while (next < parts.size() && fits(line + parts.at(next))) line += parts.at(next++);
        if (lines.size() == lineCount - 1 && next < parts.size()) {
            // The last line ends in "…": after whole phrases where one fits
            // beside it, else inside the first.
            while (next - 1 > first && !fits(withoutTrailingBlanks(line) + kEllipsis))
                line.chop(parts.at(--next).size());
            line = fits(withoutTrailingBlanks(line) + kEllipsis)
                       ? withoutTrailingBlanks(line) + kEllipsis
                       : metrics.elidedText(parts.mid(first).join(QString()), Qt::ElideRight, width);
        } else if (!fits(line)) {
            line = metrics.elidedText(line, Qt::ElideRight, width);  // one phrase wider than the label
        }
        lines << withoutTrailingBlanks(line);
    }
    return lines;
}

QStringList FixedLinesLabel::shownLines() const {
    return layOut(text(), fontMetrics(), contentsRect().width() - 2 * margin(), m_nLineCount);
}

QSize FixedLinesLabel::minimumSizeHint() const {
    // The width comes from the row the label stands in; the height is fixed.
    const QMargins margins = contentsMargins();
    return QSize(
        fontMetrics().horizontalAdvance(kEllipsis) + margins.left() + margins.right() + 2 * margin(),
        m_nLineCount * fontMetrics().lineSpacing() + margins.top() + margins.bottom() + 2 * margin());
}

QSize FixedLinesLabel::sizeHint() const {
    return minimumSizeHint();
}

void FixedLinesLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QStringList lines = shownLines();
    const int lineHeight = fontMetrics().lineSpacing();
    // The lines as one block in the middle of the reserved height.
    int top = room.top() + (room.height() - int(lines.size()) * lineHeight) / 2;
    const int flags = int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine;
    for (const QString& line : lines) {
        style()->drawItemText(&painter, QRect(room.left(), top, room.width(), lineHeight), flags, palette(),
                              isEnabled(), line, foregroundRole());
        top += lineHeight;
    }
}
