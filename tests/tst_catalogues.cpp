#include <QtTest>

// The translation catalogues as lupdate keeps them: lupdate over the sources
// would change nothing, and every entry is translated.

namespace {

// "context | source": what the catalogue gives for it, its type first
// ("unfinished", "vanished" ...; empty when translated), then each form.
using Entries = QMap<QString, QStringList>;

Entries readCatalogue(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QXmlStreamReader xml(&file);
    Entries entries;
    QString context;
    QString key;
    bool numerus = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        } else if (name == QLatin1String("source")) {
            key = context + QLatin1String(" | ") + xml.readElementText();
        } else if (name == QLatin1String("comment")) {
            key += QLatin1String(" | ") + xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            entries[key] = QStringList{xml.attributes().value(QLatin1String("type")).toString()};
            if (!numerus) entries[key] << xml.readElementText();
        } else if (name == QLatin1String("numerusform")) {
            entries[key] << xml.readElementText();
        }
    }
    return xml.hasError() ? Entries{} : entries;
}

QString cataloguePath(const QString& language) {
    return QStringLiteral("Language/tarvane_%1.ts").arg(language);
}

}  // namespace

class TestCatalogues : public QObject {
    Q_OBJECT
    QTemporaryDir m_updated;

private slots:
    // lupdate as the update_translations target runs it, onto copies.
    void initTestCase() {
        QVERIFY(m_updated.isValid());
        QVERIFY(QDir(m_updated.path()).mkpath(QStringLiteral("Language")));
        QStringList arguments = QStringLiteral(TARVANE_LUPDATE_OPTIONS).split(QLatin1Char(','));
        arguments << QStringLiteral(TARVANE_TEXT_FOLDERS).split(QLatin1Char(',')) << QStringLiteral("-ts");
        for (const QString& language : {QStringLiteral("en"), QStringLiteral("zh")}) {
            const QString copy = m_updated.filePath(cataloguePath(language));
            QVERIFY(QFile::copy(QStringLiteral(TARVANE_SOURCE_DIR "/") + cataloguePath(language), copy));
            arguments << copy;
        }
        QProcess lupdate;
        lupdate.setWorkingDirectory(QStringLiteral(TARVANE_SOURCE_DIR));
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(TARVANE_LUPDATE), arguments);
        QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
                 lupdate.readAll().constData());
    }

    // lupdate changes nothing: no entry added, removed or changed, nor the
    // file's text. Every entry is translated: to English, and to its own
    // Chinese source text but for the few the window words otherwise.
    void catalogue_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "en";
        QTest::newRow("Chinese") << "zh";
    }
    void catalogue() {
        QFETCH(QString, language);
        const QMap<QString, QString> otherChinese{
            {"Tarvane | TXT 文本文件(*.txt)", "TXT文本文件(*.txt)"},
            {"Tarvane | 正在搜索设备,请稍等", "正在搜索,请稍等"},
            {"DeviceRead | 读取光纤数据失败", "读取光驱数据失败"},
            {"OpticalFiberParamWidget | OpticalFiberParamWidget", "OpticalFiberParamWdiget"},
        };
        QFile kept(QStringLiteral(TARVANE_SOURCE_DIR "/") + cataloguePath(language));
        QFile updated(m_updated.filePath(cataloguePath(language)));
        const Entries before = readCatalogue(kept.fileName());
        const Entries after = readCatalogue(updated.fileName());
        QVERIFY(!before.isEmpty() && !after.isEmpty());
        QStringList faults;
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (after.value(it.key()) != it.value())
                faults << (after.contains(it.key()) ? "lupdate changes: " : "lupdate removes: ") + it.key();
            const QStringList forms = it.value().mid(1);
            if (!it.value().first().isEmpty() || forms.isEmpty() || forms.contains(QString()))
                faults << "not translated: " + it.key();
            const QString source = it.key().section(QLatin1String(" | "), 1, 1);
            if (language == QLatin1String("zh") && forms != QStringList{otherChinese.value(it.key(), source)})
                faults << "not its own Chinese: " + it.key();
        }
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            if (!before.contains(it.key())) faults << "lupdate adds: " + it.key();
        QVERIFY2(faults.isEmpty(), qPrintable(kept.fileName() +
                                              " (build update_translations, then translate "
                                              "what it added):\n" +
                                              faults.join('\n')));
        QVERIFY(kept.open(QIODevice::ReadOnly) && updated.open(QIODevice::ReadOnly));
        QVERIFY2(kept.readAll() == updated.readAll(), "written otherwise than lupdate writes it");
    }
};

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
