#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>
#include <QtGlobal>

// A broken invariant is a crash for libFuzzer, which keeps the input.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// The input taken byte by byte; past its end every byte reads as 0.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    unsigned char byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // `count` bytes, zeros past the end.
    QByteArray bytes(int count) {
        QByteArray out;
        for (int i = 0; i < count; ++i) out.append(char(byte()));
        return out;
    }
    // At most `count` bytes: fewer where the input ends.
    QByteArray upTo(int count) {
        const size_t n = qMin(size_t(count), m_size - qMin(m_pos, m_size));
        QByteArray out(reinterpret_cast<const char*>(m_data) + m_pos, int(n));
        m_pos += n;
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
