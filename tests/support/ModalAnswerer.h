#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>
#include <functional>

class QDialog;

// Answers the modal boxes and file dialogs that the code under test opens,
// the way a user would: it notes what the box said and presses its button.
// File dialogs are answered with the queued file names (an empty name
// cancels). Create it before the call that opens the box. While several are
// alive, the newest one answers.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    struct Seen {
        QString kind;  // "information", "warning", "question", "critical", "file", "widget"
        QString title;
        QString text;
        QStringList buttons;    // button texts of a message box
        QString defaultButton;  // the one Enter presses
        QString className;
    };

    explicit ModalAnswerer(QObject* parent = nullptr);
    ~ModalAnswerer() override;

    // Names to give to the next file dialogs, in order.
    // `whileOpen` runs first, as something that happens while the user picks.
    void queueFile(const QString& path, const std::function<void()>& whileOpen = {}) {
        m_files.append(path);
        m_whileFileOpen.append(whileOpen);
    }
    // The button to press in the next message boxes, in order; without one
    // the box is accepted (OK, Yes).
    void queueButton(QMessageBox::StandardButton button) { m_buttons.append(button); }
    // What to do with the next other dialogs, in order, as a user would; a
    // dialog still open afterwards, or one without an action, is rejected.
    void queueDialog(const std::function<void(QDialog*)>& action) { m_dialogActions.append(action); }

    const QVector<Seen>& seen() const { return m_seen; }
    // Only the message boxes, without file dialogs.
    QVector<Seen> messages() const;
    // The texts of the message boxes, in order.
    QStringList texts() const;
    void clear() { m_seen.clear(); }

private:
    void poll();
    void answer(QWidget* modal);

    QTimer m_timer;
    // The box being answered: its button is pressed from the event loop,
    // outside the poll, so that a box it opens in turn is answered too.
    QWidget* m_answering = nullptr;
    QVector<Seen> m_seen;
    QStringList m_files;
    QVector<std::function<void()>> m_whileFileOpen;
    QVector<QMessageBox::StandardButton> m_buttons;
    QVector<std::function<void(QDialog*)>> m_dialogActions;
};
