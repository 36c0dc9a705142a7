// Read config, Write config, Save, Open and Default of the main window.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "CANParamWidget.h"
#include "CompareDialog.h"
#include "DeviceRead.h"
#include "DeviceWrite.h"
#include "EnableGuard.h"
#include "MisplacedChannels.h"
#include "OpticalFiberParamWidget.h"
#include "ParameterChecks.h"
#include "ParameterDiff.h"
#include "ParameterDocument.h"
#include "ParameterFile.h"
#include "RepeaterDiscovery.h"
#include "RouteParamWidget.h"
#include "Tarvane.h"
#include "ui_Tarvane.h"

namespace {
constexpr int kSettleMs = 5;  // lets the disabled button repaint before the work blocks

// A value Open could not use. A filter row is named as the table names it,
// with its place in the file after it for those who edit the text.
QString unusableLine(const ParameterDocument::Problem& problem) {
    if (problem.row < 0) return problem.text();
    return Tarvane::tr("CAN通道%1 第%2行（%3）：%4")
        .arg(problem.channel + 1)
        .arg(problem.row + 1)
        .arg(problem.where, problem.why);
}
}  // namespace

QString Tarvane::withNotes(const QString& text, const QStringList& notes) {
    QStringList parts{text};
    for (const QString& note : notes)
        if (!note.isEmpty()) parts << note;
    return parts.join(QStringLiteral("\n\n"));
}

void Tarvane::showWarning(const QString& text) {
    QMessageBox::warning(this, tr("失败"), text, QMessageBox::Yes, QMessageBox::NoButton);
}

ParameterSet Tarvane::pageValues() const {
    ParameterSet set;
    set.canCount = m_nCAN;
    set.fiberCount = m_nFiberOptic;
    set.routeType = m_nHardwareType;
    set.can = m_pCANParamWidget->values();
    set.fiber = m_pOpticalFiberParamWidget->values();
    set.route = m_pRouteParamWidget->values();
    return set;
}

void Tarvane::showValues(const ParameterSet& set) {
    m_pCANParamWidget->setValues(set.can);
    m_pOpticalFiberParamWidget->setValues(set.fiber);
    m_pRouteParamWidget->setValues(set.route);
}

void Tarvane::onPushButtonRead() {
    if (!ensureConnected()) return;
    const quint64 connection = m_pDiscovery->connectionCount();
    // F5 is one key: edits are not replaced without a word.
    if (!confirmDiscardEdits(Replacing::Read) || !ensureStillConnected(connection)) return;
    EnableGuard guard(ui->m_pushButtonRead);
    ParameterSet set = pageValues();
    DeviceRead read(*m_hidDevice, set);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DeviceRead::Result result = read.run();
    QApplication::restoreOverrideCursor();
    // What came in before a failure is shown too.
    showValues(set);
    if (result == DeviceRead::Result::Done) m_edits.pagesRead();
    showHint(DeviceRead::message(result));
}

void Tarvane::onActionCompare() {
    // A cell still being typed in hands its text over before the pages are read.
    ui->m_tabWidgetParam->setFocus(Qt::OtherFocusReason);
    if (!ensureConnected()) return;
    // The Read's queries into values of their own: the pages stay as they are.
    EnableGuard save(ui->m_pushButtonSaveToFile);
    EnableGuard open(ui->m_pushButtonReadFromFile);
    EnableGuard read(ui->m_pushButtonRead);
    EnableGuard write(ui->m_pushButtonWrite);
    EnableGuard defaults(ui->m_pushButtonDefault);
    const ParameterSet shown = pageValues();
    ParameterSet device = ParameterSet::defaults(m_nCAN, m_nFiberOptic, m_nHardwareType);
    DeviceRead reading(*m_hidDevice, device);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DeviceRead::Result result = reading.run();
    QApplication::restoreOverrideCursor();
    if (result != DeviceRead::Result::Done) {
        showHint(DeviceRead::message(result));
        return;
    }
    CompareDialog dialog(shown, device, this);
    dialog.exec();
}

void Tarvane::onPushButtonWrite() {
    if (!ensureConnected()) return;
    const quint64 connection = m_pDiscovery->connectionCount();
    EnableGuard guard(ui->m_pushButtonWrite);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
    if (!ensureStillConnected(connection)) return;  // unplugged just now: nothing left to send to
    const ParameterSet set = pageValues();
    const QStringList problems = ParameterChecks::problems(set);
    if (!problems.isEmpty()) {
        showHint(ParameterChecks::problemMessage(problems));
        return;
    }
    const QStringList testModes = ParameterChecks::testModes(set);
    if (!testModes.isEmpty() &&
        QMessageBox::question(this, tr("提示"), ParameterChecks::testModeQuestion(testModes),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!ensureStillConnected(connection)) return;  // unplugged while the question was open
    DeviceWrite write(*m_hidDevice, set);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DeviceWrite::Result result = write.run();
    QApplication::restoreOverrideCursor();
    // Every parameter acknowledged, the reset's answer or not: the device holds them.
    if (result == DeviceWrite::Result::Done || result == DeviceWrite::Result::ResetNoAnswer)
        m_edits.pagesRead();
    showHint(DeviceWrite::message(result));
}

void Tarvane::onPushButtonSaveToFile() {
    if (!ensurePages()) return;
    const bool connected = m_bConnected;
    const quint64 connection = m_pDiscovery->connectionCount();
    const EditState::Hold hold = m_edits.hold();  // offline, the pages stay the model's until the end
    EnableGuard guard(ui->m_pushButtonRead);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
    // A name typed without a suffix gets ".txt", as the Open dialog lists
    // only those; the dialog asks before it replaces a file of that name.
    QFileDialog dialog(this, tr("保存配置"), QString(), tr("TXT 文本文件(*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    const QString path = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    if (path.isEmpty()) return;
    // Unplugged while the dialog was open: other pages now.
    if (connected && !ensureStillConnected(connection)) return;

    QString warning;
    const ParameterSet set = pageValues();
    if (!ParameterFile::save(path, ParameterDocument::toDocument(set), &warning)) {
        showWarning(warning);
        return;
    }
    m_edits.keep(set);
    showHint(withNotes(tr("保存完成"), {notReadNote(), ParameterChecks::unsendableNote(set)}));
}

void Tarvane::onPushButtonReadFromFile() {
    // Without a repeater or a model, the file tells which models it may be for.
    const bool connected = m_bConnected;
    const quint64 connection = m_pDiscovery->connectionCount();
    const EditState::Hold hold = m_edits.hold();
    // Before the file is chosen, as programs ask before they open over
    // unsaved work: the answer is about the pages, not about the file.
    if (!confirmDiscardEdits(Replacing::Open)) return;
    EnableGuard guard(ui->m_pushButtonRead);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
    const QString path =
        QFileDialog::getOpenFileName(this, tr("打开配置"), QString(), tr("TXT 文本文件(*.txt)"));
    if (path.isEmpty()) return;
    // Unplugged while the dialog was open: other pages now.
    if (connected && !ensureStillConnected(connection)) return;

    const ParameterFile::Opened opened = ParameterFile::open(path, ParameterFile::Reading::Lenient);
    if (!opened.isOpen) {
        showWarning(opened.warning);
        return;
    }
    const QJsonObject& object = opened.object;
    // Applied as ever (the last of a key given twice, the elements by their
    // place), and said, since the command line refuses or reads them otherwise.
    QStringList fileLines;
    for (const ParameterDocument::Problem& duplicate : opened.duplicates) fileLines << duplicate.text();
    for (const MisplacedChannels::Misplaced& element : opened.misplaced)
        fileLines << tr("CANParam[%1]的“ChannalID”为%2，但按位置用于CAN通道%3（命令行用于CAN通道%2）")
                         .arg(element.element)
                         .arg(element.channelId)
                         .arg(element.element + 1);
    const QString fileNote =
        fileLines.isEmpty() ? QString() : ParameterChecks::listed(tr("请注意文件中的以下几处："), fileLines);
    int offlineType = 0;
    ParameterSet set = pageValues();
    QString modelName = m_strModel;
    if (!m_edits.hasPages()) {
        offlineType = chooseModelForFile(object);
        const HardwareModel* model = hardwareModel(offlineType);
        if (!model) return;
        set = ParameterSet::defaults(model->nCAN, model->nFiberOptic, model->routeType);
        modelName = QString::fromLatin1(model->name);
    }
    // A file made for a model of more channels: what the pages cannot hold is said.
    const QStringList beyond = ParameterDocument::channelsBeyond(object, set);
    const QString beyondNote =
        beyond.isEmpty() ? QString()
                         : tr("%1没有%2，文件中这些通道的参数未使用。").arg(modelName, beyond.join(tr("、")));
    QVector<ParameterDocument::Problem> unusable;
    const bool applied = ParameterDocument::apply(object, &set, &unusable);
    QStringList unusableLines;
    for (const ParameterDocument::Problem& problem : qAsConst(unusable))
        unusableLines << unusableLine(problem);
    const QString unusableNote =
        unusableLines.isEmpty()
            ? QString()
            : ParameterChecks::listed(tr("以下值无法使用，页面保留原值："), unusableLines);
    if (!applied) {
        showWarning(withNotes(tr("参数文件中没有这台设备的参数"), {beyondNote, fileNote, unusableNote}));
        return;
    }
    if (offlineType != 0) {
        showOfflineModel(offlineType);
        // The set starts from the defaults: the pages' switches with it.
        showDefaults();
    }
    showValues(set);
    m_edits.pagesRead();  // the file's values, as the user chose
    showHint(withNotes(tr("读取完成"),
                       {beyondNote, fileNote, unusableNote, ParameterChecks::unsendableNote(set)}));
}

void Tarvane::onPushButtonDefault() {
    if (confirmDiscardEdits(Replacing::Default)) showDefaults();
}

void Tarvane::showDefaults() {
    m_pCANParamWidget->setDefault();
    m_pOpticalFiberParamWidget->setDefault();
    m_pRouteParamWidget->setDefault();
}
