// The lock behind `write --all`: which thread may look at a repeater, which
// works on it, and what a look that must wait ends with.
#include <QtTest>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BusClaims.h"

class TestBusClaims : public QObject {
    Q_OBJECT
private slots:
    void claims_data() {
        // "A look 2": owner A (A, B or C) looks at path 2 (1 unless given).
        // "look&" starts the look on a thread of its own, which waits while
        // another looks; the steps after it come once it waits.
        QTest::addColumn<QString>("steps");
        // Each look's answer in turn, then after "|" those of the looks on
        // threads, sorted.
        QTest::addColumn<QString>("answers");
        const auto row = [](const char* name, const char* steps, const char* answers) {
            QTest::newRow(name) << QString(steps) << QString(answers);
        };
        row("a free repeater", "A look", "yes |");
        row("held: the others pass it by", "A hold, B look", "no |");
        row("held: its owner looks again", "A hold, A look", "yes |");
        row("another path is free", "A hold, B look 2", "yes |");
        row("released: free again", "A hold, A release, B look", "yes |");
        row("only the owner releases", "A hold, B release, B look", "no |");
        row("a look released", "A look, A release, B look", "yes yes |");
        row("a look waits for the other's look", "A look, B look&, A release", "yes | yes");
        row("a look that became a hold turns the waiting one away", "A look, B look&, A hold", "yes | no");
        // The waiting look goes on once at most: the other waits for it.
        row("two wait, one goes on", "A look, B look&, C look&, A release", "yes | no yes");
        // A look never let go: the others stop waiting after a while.
        row("a stale look", "A look, B look", "yes no |");
    }
    void claims() {
        QFETCH(QString, steps);
        BusClaims claims;
        const char owners[] = {'A', 'B', 'C'};  // their addresses stand for the owners
        QStringList answers;
        QStringList waited;
        std::vector<std::thread> waiting;
        std::mutex lock;
        for (const QString& step : steps.split(", ")) {
            const char* owner = &owners[step.at(0).unicode() - 'A'];
            const std::string path =
                step.section(' ', 2, 2).isEmpty() ? "1" : step.section(' ', 2).toStdString();
            const QString verb = step.section(' ', 1, 1);
            if (verb == "look") {
                answers << (claims.look(path, owner) ? "yes" : "no");
            } else if (verb == "look&") {
                waiting.emplace_back([&, owner, path] {
                    const bool answer = claims.look(path, owner);
                    std::lock_guard<std::mutex> guard(lock);
                    waited << (answer ? "yes" : "no");
                });
                QThread::msleep(100);  // only the order of the steps: the answer is the same without it
            } else if (verb == "hold") {
                claims.hold(path, owner);
            } else if (verb == "release") {
                claims.release(path, owner);
            }
        }
        for (std::thread& thread : waiting) thread.join();
        waited.sort();
        QTEST(QString(answers.join(' ') + " | " + waited.join(' ')).trimmed(), "answers");
    }
};

QTEST_GUILESS_MAIN(TestBusClaims)
#include "tst_busclaims.moc"
