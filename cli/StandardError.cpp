#include "StandardError.h"

#include <cstdio>
#include <mutex>

namespace {

// Never destroyed: a thread may still wait for it while the program ends.
std::mutex& writing() {
    static std::mutex* const instance = new std::mutex;
    return *instance;
}

void writeNow(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

StandardError::StandardError() {
    // Not in text mode: where the C library turns line ends into the
    // platform's (Windows), it does so itself.
    m_file.open(2, QIODevice::WriteOnly | QIODevice::Unbuffered);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

void StandardError::writeLine(const QByteArray& line) {
    std::lock_guard<std::mutex> lock(writing());
    writeNow(line);
}

void StandardError::writeLast(const QByteArray& line) {
    writing().lock();  // not unlocked: the program ends holding it
    writeNow(line);
}

qint64 StandardError::readData(char*, qint64) {
    return -1;
}

qint64 StandardError::writeData(const char* data, qint64 size) {
    std::lock_guard<std::mutex> lock(writing());
    const qint64 written = m_file.write(data, size);
    if (written < 0) setErrorString(m_file.errorString());
    return written;
}
