#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include "TestHome.h"

// A second copy of the program, as a process of its own: the test program
// started again with a flag, doing one act on a file and leaving. What it
// writes is no write of the first program.
namespace AnotherProgram {

inline const char *flag() { return "--as-another-program"; }

// In the started copy: the act's words, or none in the test program itself.
inline QStringList askedAct(int argc, char *argv[])
{
    QStringList words;
    if (argc < 2 || qstrcmp(argv[1], flag()) != 0)
        return words;
    for (int i = 2; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    return words;
}

// Runs the act in the other copy; true when it says it was done.
inline bool act(const QStringList &words)
{
    return QProcess::execute(QCoreApplication::applicationFilePath(), QStringList{flag()} + words) == 0;
}

}  // namespace AnotherProgram

// VUG_TEST_MAIN whose program, started by AnotherProgram::act, does that act instead.
#define VUG_TEST_MAIN_BESIDE_ANOTHER(TestClass, AppClass, actAsAnother) \
    int main(int argc, char *argv[])                                    \
    {                                                                   \
        const QStringList asked = AnotherProgram::askedAct(argc, argv); \
        if (!asked.isEmpty()) {                                         \
            AppClass app(argc, argv);                                   \
            return actAsAnother(asked) ? 0 : 1;                         \
        }                                                               \
        VUG_TEST_RUN(TestClass, AppClass)                               \
    }
