// The window's editing state without a window: what the pages hold against
// what was kept, and what repeaters and models do to them. Each row plays
// the window's part with a set for its pages and answers its questions.
#include <QtTest>
#include <memory>
#include <vector>

#include "EditState.h"

namespace {

using Choice = EditState::Choice;

// The hardware types: CAN and fiber channels, and the route page's type.
const HardwareModel kModels[] = {{1, "Orvex-A1", 2, 0, 1},
                                 {2, "Orvex-A2", 2, 1, 2},
                                 {3, "Orvex-A3", 2, 2, 3},
                                 {4, "Orvex-A4", 2, 4, 4},
                                 {5, "Orvex-B1", 2, 2, 3}};

// The window as the editing state sees it: whose pages, and their values.
class Pages {
public:
    // Questions take `answers` in turn; none left: going back.
    explicit Pages(QVector<Choice> answers) : m_answers(std::move(answers)) {}

    // Plays one step, "name N" where a step takes a hardware type code.
    void play(const QString& step) {
        m_step = step;
        const QString name = step.section(' ', 0, 0);
        const int code = step.section(' ', 1, 1).toInt();
        if (name == "connect") {
            if (m_state.arrive(identity(code)))
                applyArrival();
            else
                later();
        } else if (name == "unplug") {
            gone();
        } else if (name == "failed") {
            m_state.searchFailed();
        } else if (name == "choose") {
            Choice answer = Choice::Drop;
            if (m_state.hasEdits()) answer = ask();
            if (answer == Choice::GoBack) return;
            gone();  // the discovery lets the connected one go first
            m_state.chooseRepeater(identity(code).strCardNum, answer);
        } else if (name == "model") {
            modelChosen(code);
        } else if (name == "edit") {
            m_set.can[0].banks[3].inUse = true;
        } else if (name == "read" || name == "write" || name == "open") {
            m_state.pagesRead();
        } else if (name == "save") {
            m_state.keep(m_set);
        } else if (name == "close") {  // Default, Read and Open ask the same
            if (m_state.hasEdits()) ask();
        } else if (name == "hold") {
            m_holds.emplace_back(new EditState::Hold(m_state.hold()));
        } else if (name == "release") {
            m_holds.pop_back();
        }
    }

    const QStringList& asked() const { return m_asked; }
    EditState& state() { return m_state; }
    // "repeater N", "model N" or "none".
    QString shown() const {
        if (m_connected) return QString("repeater %1").arg(m_code);
        if (m_state.offlineModel() != 0) return QString("model %1").arg(m_state.offlineModel());
        return "none";
    }
    bool editShown() const { return m_state.hasPages() && m_set.can[0].banks[3].inUse; }

private:
    static DeviceIdentity identity(int code) {
        const HardwareModel& model = kModels[code - 1];
        DeviceIdentity identity;
        identity.nCAN = model.nCAN;
        identity.nFiberOptic = model.nFiberOptic;
        identity.routeType = model.routeType;
        identity.strDevType = model.name;
        identity.strCardNum = QString("TV20260000%1").arg(code);
        identity.strName = identity.strDevType + "_" + identity.strCardNum;
        return identity;
    }

    Choice ask() {
        m_asked << m_step;
        return m_answers.isEmpty() ? Choice::GoBack : m_answers.takeFirst();
    }

    // The pages sized for a model: the channels it has keep their values,
    // as the channel editors do.
    void size(int code) {
        const HardwareModel& model = kModels[code - 1];
        ParameterSet sized = ParameterSet::defaults(model.nCAN, model.nFiberOptic, model.routeType);
        for (int i = 0; i < qMin(sized.can.size(), m_set.can.size()); ++i) sized.can[i] = m_set.can[i];
        m_set = sized;
    }
    void showDefaults() { m_set = ParameterSet::defaults(m_set.canCount, m_set.fiberCount, m_set.routeType); }

    void gone() {
        if (!m_state.repeaterGone()) return;
        m_connected = false;  // its pages hidden, as they were
    }

    void modelChosen(int code) {
        const std::optional<EditState::ModelChange> change = m_state.changeModel(kModels[code - 1]);
        if (!change) return;
        const EditState::Hold hold = m_state.hold();
        Choice answer = Choice::Keep;
        if (change->asks && (answer = ask()) == Choice::GoBack) return;
        m_state.showModel(code);
        size(code);
        if (m_state.modelShown(*change, answer) == EditState::After::Defaults) {
            showDefaults();
            m_state.keepPages();
        }
    }

    void applyArrival() {
        const std::optional<EditState::Arrival> arrival = m_state.arrival();
        if (!arrival) return;
        m_state.takeArrival();
        const Choice answer = arrival->asks ? ask() : arrival->answer();
        m_connected = true;
        m_code = arrival->identity.strCardNum.right(1).toInt();
        size(m_code);
        m_state.showRepeater();
        if (m_state.arrivalShown(*arrival, answer) == EditState::After::Defaults) {
            showDefaults();
            m_state.keepPages();
        }
    }

    bool m_connected = false;
    int m_code = 0;
    ParameterSet m_set;
    // As the window does: once the step has returned.
    void later() {
        QMetaObject::invokeMethod(
            &m_context, [this] { applyArrival(); }, Qt::QueuedConnection);
    }

    QObject m_context;
    EditState m_state{[this] { return m_connected; }, [this] { return m_set; }, [this] { later(); }};
    std::vector<std::unique_ptr<EditState::Hold>> m_holds;
    QString m_step;
    QStringList m_asked;
    QVector<Choice> m_answers;
};

}  // namespace

class TestEditState : public QObject {
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
};

Q_DECLARE_METATYPE(QVector<Choice>)

void TestEditState::steps_data() {
    // Steps in order: "connect N" a repeater of hardware type N connects
    // (its card number ends in N), "unplug" it goes, "choose N" another one
    // chosen in the menu, "failed" no repeater answered, "model N" a model
    // chosen offline, "edit" a value changed on the pages, "read", "write",
    // "open", "save", "close" (asks over edits, as Default, Read and Open
    // do), "hold" and "release" an operation that holds arrivals back.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QVector<Choice>>("answers");  // to the questions, in turn; none left: go back
    QTest::addColumn<QStringList>("asked");        // the steps that asked a question
    QTest::addColumn<QString>("shown");            // whose pages at the end
    QTest::addColumn<bool>("edits");               // whether they hold edits neither written nor saved
    QTest::addColumn<bool>("editShown");           // whether the edit is on them
    QTest::addColumn<bool>("notRead");             // whether they are not what the repeater chosen holds
    const QVector<Choice> none;
    const QVector<Choice> keep{Choice::Keep};
    const QVector<Choice> drop{Choice::Drop};
    const auto row = [](const char* name, const char* steps, const QVector<Choice>& answers,
                        const QStringList& asked, const char* shown, bool edits, bool editShown,
                        bool notRead = false) {
        QTest::newRow(name) << QString(steps) << answers << asked << QString(shown) << edits << editShown
                            << notRead;
    };
    row("connected", "connect 4, close", none, {}, "repeater 4", false, false);
    row("edited", "connect 4, edit, close", none, {"close"}, "repeater 4", true, true);
    row("edited and saved", "connect 4, edit, save, close", none, {}, "repeater 4", false, true);
    row("edited and written", "connect 4, edit, write, close", none, {}, "repeater 4", false, true);
    row("edits left by a repeater", "connect 4, edit, unplug, close", none, {"close"}, "none", true, false);
    row("and found by the next", "connect 4, edit, unplug, connect 2, close", none, {"close"}, "repeater 2",
        true, true);
    row("none left", "connect 4, unplug, connect 2, close", none, {}, "repeater 2", false, false);
    row("left, then read", "connect 4, edit, unplug, connect 2, read, close", none, {}, "repeater 2", false,
        true);
    row("left, taken offline", "connect 4, edit, unplug, model 4, close", none, {"close"}, "model 4", true,
        true);
    row("no model while connected", "connect 4, model 2", none, {}, "repeater 4", false, false);
    row("model, unedited", "model 4, model 2, close", none, {}, "model 2", false, false);
    row("model, kept", "model 4, edit, model 3", keep, {"model 3"}, "model 3", true, true);
    row("model, not kept", "model 4, edit, model 3", drop, {"model 3"}, "model 3", false, false);
    row("model, gone back", "model 4, edit, model 3", none, {"model 3"}, "model 4", true, true);
    row("model of the same shape", "model 3, edit, model 5", none, {}, "model 5", true, true);
    row("model, opened", "model 4, edit, open, model 3, close", none, {}, "model 3", false, true);
    row("arrival over no edits", "model 4, connect 2, close", none, {}, "repeater 2", false, false);
    row("arrival, kept", "model 4, edit, connect 2, close", keep, {"connect 2", "close"}, "repeater 2", true,
        true);
    row("arrival, not kept", "model 4, edit, connect 2, close", drop, {"connect 2"}, "repeater 2", false,
        false);
    row("arrival, saved", "model 4, edit, save, connect 2", none, {}, "repeater 2", false, true);
    row("arrival held", "model 4, edit, hold, connect 2", none, {}, "model 4", true, true);
    row("held, then asked", "model 4, edit, hold, connect 2, release", keep, {"release"}, "repeater 2", true,
        true);
    row("held twice", "model 4, hold, hold, connect 2, release", none, {}, "model 4", false, false);
    row("held, gone meanwhile", "model 4, edit, hold, connect 2, unplug, release", none, {}, "model 4", true,
        true);
    row("held while connected", "connect 4, hold, unplug, connect 2", none, {}, "repeater 2", false, false);
    row("chosen, unedited", "connect 4, choose 2, connect 2, close", none, {}, "repeater 2", false, false,
        true);
    row("chosen, kept", "connect 4, edit, choose 2, connect 2", keep, {"choose 2"}, "repeater 2", true, true,
        true);
    row("chosen, not kept", "connect 4, edit, choose 2, connect 2", drop, {"choose 2"}, "repeater 2", false,
        false, true);
    row("chosen, gone back", "connect 4, edit, choose 2", none, {"choose 2"}, "repeater 4", true, true);
    row("chosen, then read", "connect 4, choose 2, connect 2, read", none, {}, "repeater 2", false, false);
    row("chosen, then saved", "connect 4, choose 2, connect 2, edit, save", none, {}, "repeater 2", false,
        true, true);
    row("another answered", "connect 4, edit, choose 2, connect 3", drop, {"choose 2"}, "repeater 3", true,
        true);
    row("chosen, none answered", "connect 4, edit, choose 2, failed, connect 2", drop, {"choose 2"},
        "repeater 2", true, true);
}

void TestEditState::steps() {
    QFETCH(QString, steps);
    QFETCH(QVector<Choice>, answers);
    Pages pages(answers);
    for (const QString& step : steps.split(", ")) {
        pages.play(step);
        QCoreApplication::sendPostedEvents();  // an arrival that waited for the step's end
    }
    QTEST(pages.asked(), "asked");
    QTEST(pages.shown(), "shown");
    QTEST(pages.state().hasEdits(), "edits");
    QTEST(pages.editShown(), "editShown");
    QTEST(pages.state().isNotRead(), "notRead");
}

QTEST_GUILESS_MAIN(TestEditState)
#include "tst_editstate.moc"
