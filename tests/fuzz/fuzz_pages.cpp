// The pages against the rules: after each documented setter a page shows
// exactly the values the rule gives. Input: the hardware type code selector,
// then operations, each an operation byte and what it takes.
#include <QApplication>
#include <QJsonArray>
#include <QTableWidget>

#include "CANParamWidget.h"
#include "CanCodec.h"
#include "ChannalWidget.h"
#include "CheckButton.h"
#include "FiberRules.h"
#include "FuzzSets.h"
#include "OpticalFiberParamWidget.h"
#include "Protocol.h"
#include "RouteParamWidget.h"
#include "RouteRules.h"

namespace {

constexpr int kMaxOperations = 32;

// The pages of one device, in the state a connected device gives them.
// Building them costs far more than a run, so they are made once per model.
struct Pages {
    CANParamWidget can;
    OpticalFiberParamWidget fiber;
    RouteParamWidget route;
    ParameterSet defaults;

    explicit Pages(int code) : defaults(defaultsFor(code)) {
        can.setChannalCount(defaults.canCount);
        fiber.setFiberCount(defaults.fiberCount);
        route.setHardwareType(defaults.routeType);
    }
    ParameterSet values() const {
        ParameterSet set = defaults;
        set.can = can.values();
        set.fiber = fiber.values();
        set.route = route.values();
        return set;
    }
    void reset() {
        can.setValues(defaults.can);
        fiber.setValues(defaults.fiber);
        route.setValues(defaults.route);
        route.setDefault();  // the switches that a channel's OFF disabled come back
    }
};

// Never destroyed: at exit Qt's font and style globals may already be gone,
// and a page torn down then would lay out its labels against them.
Pages& pagesFor(int code) {
    static Pages* all[5] = {};
    Pages*& pages = all[code - 1];
    if (!pages) pages = new Pages(code);
    return *pages;
}

QString latin1(FuzzInput& in, int count) {
    return QString::fromLatin1(in.upTo(count));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    // Qt gets its own arguments: libFuzzer's flags are not meant for it.
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    Pages& pages = pagesFor(1 + in.byte() % 5);
    pages.reset();
    ParameterSet expected = pages.defaults;
    FUZZ_CHECK(pages.values() == expected);
    const int type = expected.routeType;
    auto* table = pages.route.findChild<QTableWidget*>(QStringLiteral("m_tableWidgetRouteMap"));
    FUZZ_CHECK(table != nullptr);

    for (int n = 0; n < kMaxOperations && !in.atEnd(); ++n) {
        const int operation = in.byte() % 10;
        const int i = in.byte() % expected.canCount;
        ChannalWidget* channal = pages.can.channalWidget(i);
        CanChannelValues& channel = expected.can[i];
        switch (operation) {
            case 0: {
                const QByteArray word = in.upTo(in.byte() % 9);
                channal->setBaudRateReply(word);
                CanCodec::applyWord(channel, word);
                break;
            }
            case 1: {
                QList<QByteArray> replies;
                for (int k = in.byte() % 16; k > 0; --k) replies.append(in.upTo(in.byte() % 20));
                channal->setFilterReplies(replies);
                CanCodec::applyFilterReplies(channel, replies);
                break;
            }
            case 2: {
                QJsonObject object{{QStringLiteral("BaudRate"), latin1(in, in.byte() % 16)}};
                QJsonArray rows;
                for (int k = in.byte() % 16; k > 0; --k) rows.append(latin1(in, in.byte() % 40));
                if (in.byte() % 2) object.insert(QStringLiteral("DataList"), rows);
                channal->fromJson(object);
                CanCodec::applyJson(channel, object);
                break;
            }
            case 3:
                channal->setDefault();
                channel = CanChannelValues::defaults(i + 1);
                break;
            case 4:
                pages.can.setDefault();
                expected.can = pages.defaults.can;
                break;
            case 5: {
                const int fiber = int8_t(in.byte());
                const int code = in.byte();
                pages.fiber.setBaudRateCode(fiber, code);
                FiberRules::setCode(expected.fiber, expected.fiberCount, fiber, code);
                break;
            }
            case 6:
                pages.fiber.setDefault();
                expected.fiber = FiberValues::defaults();
                break;
            case 7: {
                const QByteArray reply = in.bytes(16);
                const auto* bytes = reinterpret_cast<const unsigned char*>(reply.constData());
                pages.route.setRouteReply(bytes);
                RouteRules::applyReply(expected.route, type, Protocol::QueryRoute::parse(reply).values);
                break;
            }
            case 8: {
                QJsonArray rows;
                for (int k = 0; k < 6; ++k)
                    rows.append(in.byte() % 4 ? RouteRules::toJson(expected.route).at(k)
                                              : QJsonValue(latin1(in, 12)));
                FUZZ_CHECK(pages.route.fromJson(rows) == RouteRules::applyJson(expected.route, type, rows));
                break;
            }
            default: {
                // A click on an ON/OFF switch: it toggles, then its handler runs.
                const int row = int8_t(in.byte()) % 8;
                auto* onOff =
                    row >= 1 && row <= 6 ? qobject_cast<CheckButton*>(table->cellWidget(row, 0)) : nullptr;
                if (onOff) {
                    onOff->setChecked(!onOff->isChecked());
                    RouteRules::switchChannel(expected.route, type, row - 1, onOff->isChecked());
                }
                pages.route.onCheckButtonClickedMapper(row);
                if (in.byte() % 4 == 0) {
                    pages.route.setDefault();
                    RouteRules::applyDefault(expected.route, type);
                }
                break;
            }
        }
        FUZZ_CHECK(pages.values() == expected);
    }
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return 0;
}
