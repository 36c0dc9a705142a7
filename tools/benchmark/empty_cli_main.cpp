// The baseline for the command line's process start: a Qt command-line
// program that starts its application object and ends.
#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return 0;
}
