// A hand inside the shipped tarvane.exe, for the check of the Windows
// programs in the virtual machine: a Qt generic plugin that the program
// loads only when told to (QT_QPA_GENERIC_PLUGINS=tarvanehand), so the
// program stays as the zip has it. It reads one command a line on standard
// input, fields separated by tabs, does what a user would in the window, as
// tst_vmwindow does, and answers one line on standard output:
//   name                  the device name line
//   names                 every text the name line took since the last click
//   tabs                  how many CAN channel tabs there are
//   boxes                 the texts of the message boxes answered since the last click
//   click BUTTON          presses the button of that object name; the boxes it showed
//   devices               the entries of "选择设备", the checked one after "*", in the
//                         order of their names: the menu's own order is not what is checked
//   choose NAME           chooses the entry of "选择设备" with that text
//   wait SECONDS COMMAND EXPECTED...
//                         repeats COMMAND until it answers EXPECTED (the fields
//                         after COMMAND, tab-separated), at most SECONDS; its answer
//   quit                  ends the event loop, as the close button does; main()
//                         then closes the device and shuts hidapi down
// Lists are answered tab-separated.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGenericPlugin>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <iostream>
#include <string>
#include <thread>

#include "ModalAnswerer.h"
#include "WindowParts.h"

namespace {

class WindowHand : public QObject {
public:
    WindowHand() {
        // Commands come on their own thread, which blocks on the pipe, and
        // are done on the window's.
        std::thread([this] {
            std::string line;
            while (std::getline(std::cin, line)) {
                const QString command = QString::fromUtf8(line.c_str()).remove(QLatin1Char('\r'));
                QMetaObject::invokeMethod(
                    this, [this, command] { take(command); }, Qt::QueuedConnection);
            }
            // The test that started the program is gone: nothing more will come.
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }).detach();
    }

private:
    // One command at a time, each after the one before has been answered:
    // a wait or a box's own event loop would otherwise take the next one
    // inside it. Until the program's window is shown, commands wait for it.
    void take(const QString& command) {
        m_commands << command;
        next();
    }
    void next() {
        if (m_busy || m_commands.isEmpty()) return;
        if (!findWindow()) {
            QTimer::singleShot(50, this, &WindowHand::next);
            return;
        }
        m_busy = true;
        const QString command = m_commands.first();
        const QString reply = answer(command.split(QLatin1Char('\t')));
        std::cout << reply.toUtf8().constData() << std::endl;
        m_commands.removeFirst();
        m_busy = false;
        if (command == QLatin1String("quit"))
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        else if (!m_commands.isEmpty())
            QTimer::singleShot(0, this, &WindowHand::next);
    }

    bool findWindow() {
        if (m_window) return true;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qstrcmp(widget->metaObject()->className(), "Tarvane") == 0 && widget->isVisible()) {
                m_window = widget;
                m_answerer = new ModalAnswerer(this);
                connect(m_window->findChild<QLineEdit*>("m_pLineEditDevName"), &QLineEdit::textChanged, this,
                        [this](const QString& text) { m_names << text; });
                return true;
            }
        }
        return false;
    }

    QString answer(const QStringList& fields) {
        const QString& verb = fields.at(0);
        if (verb == QLatin1String("name")) return vm::deviceName(*m_window);
        if (verb == QLatin1String("names")) return m_names.join(QLatin1Char('\t'));
        if (verb == QLatin1String("tabs")) return QString::number(vm::channelTabs(*m_window));
        if (verb == QLatin1String("boxes")) return m_answerer->texts().join(QLatin1Char('\t'));
        if (verb == QLatin1String("click") && fields.size() == 2) {
            m_names.clear();
            return vm::click(*m_window, fields.at(1), *m_answerer).join(QLatin1Char('\t'));
        }
        if (verb == QLatin1String("devices")) {
            const auto name = [](const QString& entry) {
                return entry.startsWith('*') ? entry.mid(1) : entry;
            };
            QStringList entries = vm::deviceEntries();
            std::sort(entries.begin(), entries.end(),
                      [&](const QString& a, const QString& b) { return name(a) < name(b); });
            return entries.join(QLatin1Char('\t'));
        }
        if (verb == QLatin1String("choose") && fields.size() == 2) {
            QMenu* menu = vm::devicesMenu();
            for (QAction* action : menu ? menu->actions() : QList<QAction*>()) {
                if (action->text() != fields.at(1)) continue;
                action->trigger();
                return QStringLiteral("chosen");
            }
            return QStringLiteral("no such entry");
        }
        if (verb == QLatin1String("wait") && fields.size() >= 3) return wait(fields);
        if (verb == QLatin1String("quit")) return QStringLiteral("bye");
        return QStringLiteral("unknown command: ") + fields.join(QLatin1Char(' '));
    }

    // The window goes on meanwhile: the event loop runs between the looks.
    QString wait(const QStringList& fields) {
        const QStringList command = fields.mid(2, 1);
        const QString expected = fields.mid(3).join(QLatin1Char('\t'));
        QElapsedTimer waited;
        waited.start();
        QString seen = answer(command);
        while (seen != expected && waited.elapsed() < fields.at(1).toInt() * 1000) {
            QEventLoop loop;
            QTimer::singleShot(50, &loop, &QEventLoop::quit);
            loop.exec();
            seen = answer(command);
        }
        return seen;
    }

    QPointer<QWidget> m_window;
    ModalAnswerer* m_answerer = nullptr;
    QStringList m_names;
    QStringList m_commands;  // the first is being done while m_busy
    bool m_busy = false;
};

}  // namespace

class WindowHandPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "windowhand.json")
public:
    QObject* create(const QString&, const QString&) override { return new WindowHand; }
};

#include "WindowHand.moc"
