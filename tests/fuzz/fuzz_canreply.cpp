// The CAN channel's replies as the Read hands them to the channel editor: the
// bit-timing word of the baud-rate reply and the list of filter replies.
// Input: channel ID selector, word length selector, the word, then filter
// replies, each a length byte and that many bytes.
#include <array>
#include <cstddef>
#include <cstdint>

#include <QJsonArray>

#include "ChannalWidget.h"
#include "FuzzSupport.h"

namespace {

constexpr int kFrameSize = 17;
constexpr int kBanks = 14;
constexpr int kMaxReplies = 32;
constexpr int kChannals = 3;

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    int byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    QByteArray bytes(int count) {
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

// What one bank must send, as the replies describe it.
struct Bank {
    bool inUse = false;
    uint8_t mode = 0x01;
    QByteArray registers = QByteArray(8, '\0');
};

QByteArray expectedFilterFrame(int bank, int channalId, const Bank& b) {
    QByteArray frame = QByteArray::fromHex("0012240b");
    frame.append(char(bank));
    frame.append(char((b.inUse ? 0x80 : 0x00) | (channalId & 0x0F)));
    frame.append(char(b.mode));
    frame.append(b.registers);
    frame.append(QByteArray(2, '\0'));
    return frame;
}

void checkBaudRateFrame(const QByteArray& frame, int channalId) {
    FUZZ_CHECK(frame.size() == kFrameSize);
    FUZZ_CHECK(frame.startsWith(QByteArray::fromHex("0012230600")));
    FUZZ_CHECK(uint8_t(frame.at(5)) == (channalId & 0xFF));
    FUZZ_CHECK(frame.mid(10) == QByteArray(7, '\0'));
}

struct Editors {
    ChannalWidget* widget = nullptr;
    ChannalWidget* restored = nullptr;
    QJsonObject defaultJson;
    QByteArray defaultBaudRateFrame;
    QList<QByteArray> defaultFrames;
};

// Never destroyed: at exit Qt's font and style globals may already be gone.
Editors& editorsFor(int channalId) {
    static std::array<Editors, kChannals> all;
    Editors& editors = all[size_t(channalId - 1)];
    if (!editors.widget) {
        editors.widget = new ChannalWidget(channalId);
        editors.restored = new ChannalWidget(channalId);
        editors.defaultJson = editors.widget->toJson();
        editors.defaultBaudRateFrame = editors.widget->baudRateFrame();
        editors.defaultFrames = editors.widget->filterFrames();
    }
    return editors;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    // The CAN page makes channels 1 ... 3.
    const int channalId = 1 + in.byte() % kChannals;
    // The Read passes four bytes; a file can bring any number.
    const QByteArray word = in.bytes(in.byte() % 9);
    QList<QByteArray> replies;
    while (!in.atEnd() && replies.size() < kMaxReplies) replies.append(in.bytes(in.byte() % 20));

    // Building a channel editor costs far more than a run, so each channel
    // ID keeps two editors that every run returns to their defaults; a run
    // first proves that it starts from exactly those.
    Editors& editors = editorsFor(channalId);
    ChannalWidget& widget = *editors.widget;
    ChannalWidget& restored = *editors.restored;
    FUZZ_CHECK(widget.toJson() == editors.defaultJson && restored.toJson() == editors.defaultJson);
    FUZZ_CHECK(widget.filterFrames() == editors.defaultFrames);

    widget.setBaudRateReply(word);
    widget.setFilterReplies(replies);

    // The banks the replies name, in order, up to the first one that
    // cannot be a filter reply.
    std::array<Bank, kBanks> banks{};
    banks[0].inUse = true;
    for (const QByteArray& reply : qAsConst(replies)) {
        if (reply.size() < 14 || uint8_t(reply.at(3)) >= kBanks) break;
        Bank& b = banks[uint8_t(reply.at(3))];
        b.inUse = (uint8_t(reply.at(4)) & 0x80) != 0;
        b.mode = uint8_t(reply.at(5)) & 0x11;
        b.registers = reply.mid(6, 8);
    }

    const QByteArray baudFrame = widget.baudRateFrame();
    checkBaudRateFrame(baudFrame, channalId);
    if (word.size() == 4) FUZZ_CHECK(baudFrame.mid(6, 4) == word);

    const QList<QByteArray> frames = widget.filterFrames();
    FUZZ_CHECK(frames.size() == kBanks);
    for (int r = 0; r < kBanks; ++r) {
        FUZZ_CHECK(frames.at(r).size() == kFrameSize);
        FUZZ_CHECK(frames.at(r) == expectedFilterFrame(r, channalId, banks[size_t(r)]));
    }

    // Only a word of other than four bytes can keep the channel from
    // being written as it shows.
    const QVector<InvalidField> invalid = widget.invalidFields();
    if (word.size() == 4) {
        FUZZ_CHECK(invalid.isEmpty());
    } else {
        FUZZ_CHECK(invalid.size() == 1 && invalid.first().kind == InvalidField::BaudRate);
    }

    // The channel object restores what the channel sends.
    const QJsonObject object = widget.toJson();
    FUZZ_CHECK(object.value(QStringLiteral("ChannalID")).toInt() == channalId);
    FUZZ_CHECK(object.value(QStringLiteral("DataList")).toArray().size() == kBanks);
    restored.fromJson(object);
    FUZZ_CHECK(restored.baudRateFrame() == baudFrame);
    FUZZ_CHECK(restored.filterFrames() == frames);
    FUZZ_CHECK(restored.invalidFields() == invalid);

    // Defaults leave nothing of the replies behind.
    widget.setDefault();
    restored.setDefault();
    FUZZ_CHECK(widget.baudRateFrame() == editors.defaultBaudRateFrame);
    FUZZ_CHECK(widget.filterFrames() == editors.defaultFrames);
    FUZZ_CHECK(widget.toJson() == editors.defaultJson && restored.toJson() == editors.defaultJson);
    settleEvents();
    return 0;
}
