// The fiber reply as the Read hands it to the fiber page: one baud-rate code
// per fiber channel of the device. Input: the fiber count, then the reply
// bytes from byte 3 on, one per channel.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "OpticalFiberParamWidget.h"

namespace {
constexpr int kMaxFibers = OpticalFiberParamWidget::kMaxFibers;
constexpr int kDefaultCode = 0x0b;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // Counts beyond the device's range come only from a broken caller, but
    // the page must still hold.
    const int count = int(int8_t(data[0]));
    const int shown = qBound(0, count, kMaxFibers);
    {
        OpticalFiberParamWidget page;
        page.setFiberCount(count);
        int codes[kMaxFibers] = {kDefaultCode, kDefaultCode, kDefaultCode, kDefaultCode};
        for (int i = 0; i < shown; ++i) {
            const int code = size_t(1 + i) < size ? data[1 + i] : 0;
            page.setBaudRateCode(i, code);
            codes[i] = code;
        }
        // Channels the device lacks, and those beyond the page, stay as they were.
        for (size_t k = 1 + size_t(shown); k + 1 < size && k < 16; k += 2) {
            const int channel = int(int8_t(data[k]));
            page.setBaudRateCode(channel, data[k + 1]);
            if (channel >= 0 && channel < shown) codes[channel] = data[k + 1];
        }

        for (int i = 0; i < kMaxFibers; ++i) {
            const QVariant value = page.baudRateData(i);
            if (codes[i] >= 1 && codes[i] <= 12) {
                FUZZ_CHECK(value.isValid());
                FUZZ_CHECK(value.toByteArray() == QByteArray(1, char(codes[i])));
            } else {
                FUZZ_CHECK(!value.isValid());
            }
        }
        FUZZ_CHECK(!page.baudRateData(-1).isValid());
        FUZZ_CHECK(!page.baudRateData(kMaxFibers).isValid());

        // The fiber frame of the Write takes one byte per channel from here.
        QByteArray payload;
        for (int i = 0; i < kMaxFibers; ++i) {
            const QByteArray code = i < shown ? page.baudRateData(i).toByteArray() : QByteArray(1, '\0');
            FUZZ_CHECK(code.size() <= 1);
            payload.append(code.isEmpty() ? QByteArray(1, '\0') : code);
        }
        FUZZ_CHECK(payload.size() == kMaxFibers);

        page.hideParam();
        page.setDefault();
        for (int i = 0; i < kMaxFibers; ++i)
            FUZZ_CHECK(page.baudRateData(i).toByteArray() == QByteArray(1, char(kDefaultCode)));
    }
    settleEvents();
    return 0;
}
