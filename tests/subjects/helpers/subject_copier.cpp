// Copies a subject's tests to the clipboard, says so, and keeps owning the
// clipboard until its input closes.
#include "subjects/SubjectClipboard.h"

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2 || !SubjectClipboard::copyTests(QString::fromLocal8Bit(argv[1])))
        return 1;
    std::printf("copied\n");
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char byte;
        if (read(STDIN_FILENO, &byte, 1) <= 0)
            app.quit();
    });
    return app.exec();
}
