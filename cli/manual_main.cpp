// Writes the manual page of tarvane-cli in English, the command line's own
// language, at build time:
//   tarvane-cli-manual DATE FILE
#include <QCoreApplication>
#include <QFile>
#include <QTranslator>
#include <cstdio>

#include "CliManual.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvane-cli-manual DATE FILE\n");
        return 2;
    }
    const QString catalogue = QStringLiteral(":/Language/tarvane_en.qm");
    QTranslator translator;
    if (!translator.load(catalogue) || !QCoreApplication::installTranslator(&translator)) {
        std::fprintf(stderr, "tarvane-cli-manual: no catalogue %s\n", qPrintable(catalogue));
        return 1;
    }
    QFile file(QString::fromLocal8Bit(argv[2]));
    const QByteArray page = CliManual::page(QString::fromLocal8Bit(argv[1])).toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(page) != page.size() ||
        !file.flush()) {
        std::fprintf(stderr, "tarvane-cli-manual: %s: %s\n", argv[2], qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
