#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {
// The answerers alive, oldest first.
QVector<ModalAnswerer*>& liveAnswerers() {
    static QVector<ModalAnswerer*> answerers;
    return answerers;
}
}  // namespace

ModalAnswerer::ModalAnswerer(QObject* parent) : QObject(parent) {
    liveAnswerers().append(this);
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

ModalAnswerer::~ModalAnswerer() {
    liveAnswerers().removeOne(this);
}

QVector<ModalAnswerer::Seen> ModalAnswerer::messages() const {
    QVector<Seen> boxes;
    for (const Seen& s : m_seen)
        if (s.kind != "file" && s.kind != "widget") boxes.append(s);
    return boxes;
}

QStringList ModalAnswerer::texts() const {
    QStringList list;
    for (const Seen& s : messages()) list.append(s.text);
    return list;
}

static QString boxKind(const QMessageBox* box) {
    switch (box->icon()) {
        case QMessageBox::Information:
            return "information";
        case QMessageBox::Warning:
            return "warning";
        case QMessageBox::Critical:
            return "critical";
        case QMessageBox::Question:
            return "question";
        default:
            return "message";
    }
}

void ModalAnswerer::poll() {
    if (liveAnswerers().last() != this) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == m_answering) return;
    m_answering = modal;
    QPointer<QWidget> guard(modal);
    QMetaObject::invokeMethod(
        this,
        [this, guard] {
            m_answering = nullptr;
            // Another answerer may have answered it meanwhile.
            if (guard && guard->isVisible() && QApplication::activeModalWidget() == guard) answer(guard);
        },
        Qt::QueuedConnection);
}

void ModalAnswerer::answer(QWidget* modal) {
    Seen seen;
    seen.title = modal->windowTitle();
    seen.className = modal->metaObject()->className();

    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.kind = boxKind(box);
        seen.text = box->text();
        if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text();
        QAbstractButton* toPress = nullptr;
        for (QAbstractButton* b : box->buttons()) {
            seen.buttons.append(b->text());
            const QMessageBox::ButtonRole role = box->buttonRole(b);
            if (!toPress && (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole)) toPress = b;
        }
        if (!toPress && !box->buttons().isEmpty()) toPress = box->buttons().first();
        if (!m_buttons.isEmpty()) toPress = box->button(m_buttons.takeFirst());
        m_seen.append(seen);
        if (toPress)
            toPress->click();
        else
            box->reject();
        return;
    }
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        seen.kind = "file";
        seen.text = dialog->windowTitle();
        seen.buttons = dialog->nameFilters();
        const QString path = m_files.isEmpty() ? QString() : m_files.first();
        if (path.isEmpty()) {
            m_seen.append(seen);
            dialog->reject();
            return;
        }
        m_files.removeFirst();
        const std::function<void()> whileOpen = m_whileFileOpen.takeFirst();
        if (whileOpen) {
            m_answering = dialog;  // no second answer while it runs
            const QPointer<QFileDialog> guard(dialog);
            whileOpen();
            m_answering = nullptr;
            if (!guard) return;
        }
        // Typed into the name field, as a user would: selectFile() leaves
        // the field alone while it has the focus.
        dialog->selectFile(path);
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
        m_seen.append(seen);
        static_cast<QDialog*>(dialog)->accept();  // public through the base
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        seen.kind = "widget";
        m_seen.append(seen);
        QPointer<QDialog> guard(dialog);
        if (!m_dialogActions.isEmpty()) m_dialogActions.takeFirst()(dialog);
        if (guard && guard->isVisible()) guard->reject();
    }
}
