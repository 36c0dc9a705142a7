#include "JsonDuplicates.h"

#include <QCoreApplication>
#include <QMap>

namespace JsonDuplicates {

namespace {

// The parser's own limit; deeper text is no parameter file.
constexpr int kMaxDepth = 1024;

class Scanner {
public:
    explicit Scanner(const QByteArray& text) : m_text(text) {}

    QVector<Duplicate> run() {
        value(QString(), 0);
        return m_found;
    }

private:
    char peek() const { return m_at < m_text.size() ? m_text.at(m_at) : '\0'; }

    void skipBlanks() {
        while (m_at < m_text.size() && QByteArray(" \t\r\n").contains(m_text.at(m_at))) {
            if (m_text.at(m_at) == '\n') ++m_line;
            ++m_at;
        }
    }

    // A string from its opening quote, escapes decoded; false at the text's end.
    bool string(QString* out) {
        QByteArray bytes;
        QString decoded;
        for (++m_at; m_at < m_text.size(); ++m_at) {
            const char c = m_text.at(m_at);
            if (c == '"') {
                ++m_at;
                *out = decoded + QString::fromUtf8(bytes);
                return true;
            }
            if (c == '\n') ++m_line;
            if (c != '\\' || m_at + 1 >= m_text.size()) {
                bytes += c;
                continue;
            }
            decoded += QString::fromUtf8(bytes);
            bytes.clear();
            const char escaped = m_text.at(++m_at);
            if (escaped == 'u' && m_at + 4 < m_text.size()) {
                decoded += QChar(m_text.mid(m_at + 1, 4).toUShort(nullptr, 16));
                m_at += 4;
            } else {
                const int i = QByteArray("bfnrt").indexOf(escaped);
                decoded += i >= 0 ? QLatin1Char("\b\f\n\r\t"[i]) : QLatin1Char(escaped);
            }
        }
        return false;
    }

    bool object(const QString& path, int depth) {
        QMap<QString, int> seen;  // key -> the line it first stood on
        ++m_at;
        for (;;) {
            skipBlanks();
            if (peek() == '}') {
                ++m_at;
                return true;
            }
            if (peek() != '"') return false;
            const int line = m_line;
            QString key;
            if (!string(&key)) return false;
            const QString where = path.isEmpty() ? key : path + QLatin1Char('.') + key;
            if (seen.contains(key))
                m_found.append({where, seen.value(key), line});
            else
                seen.insert(key, line);
            skipBlanks();
            if (peek() != ':') return false;
            ++m_at;
            if (!value(where, depth + 1)) return false;
            skipBlanks();
            if (peek() == ',') ++m_at;
        }
    }

    bool array(const QString& path, int depth) {
        ++m_at;
        for (int index = 0;; ++index) {
            skipBlanks();
            if (peek() == ']') {
                ++m_at;
                return true;
            }
            if (!value(path + QStringLiteral("[%1]").arg(index), depth + 1)) return false;
            skipBlanks();
            if (peek() == ',') ++m_at;
        }
    }

    bool value(const QString& path, int depth) {
        skipBlanks();
        if (depth > kMaxDepth) return false;
        QString ignored;
        switch (peek()) {
            case '{':
                return object(path, depth);
            case '[':
                return array(path, depth);
            case '"':
                return string(&ignored);
            case '\0':
                return false;
            default:
                break;
        }
        // A number, true, false or null: up to the next delimiter.
        const int start = m_at;
        while (m_at < m_text.size() && !QByteArray(",]} \t\r\n").contains(m_text.at(m_at))) ++m_at;
        return m_at > start;
    }

    const QByteArray& m_text;
    int m_at = 0;
    int m_line = 1;
    QVector<Duplicate> m_found;
};

}  // namespace

QString Duplicate::why() const {
    return QCoreApplication::translate("ParameterDocument", "键出现了不止一次（第%1行和第%2行）")
        .arg(firstLine)
        .arg(line);
}

QVector<Duplicate> find(const QByteArray& utf8) {
    return Scanner(utf8).run();
}

}  // namespace JsonDuplicates
