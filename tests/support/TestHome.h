#pragma once

#include <QTemporaryDir>
#include <QtTest>

// Points HOME, the XDG folders and Qt's standard paths at a fresh temporary
// folder, so no test reads or writes the real user's settings or documents.
class TestHome
{
public:
    TestHome();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// The body of QTEST_MAIN with a temporary home made before the application object.
#define VUG_TEST_RUN(TestClass, AppClass)           \
    {                                               \
        TestHome home;                              \
        AppClass app(argc, argv);                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);    \
        TestClass tc;                               \
        QTEST_SET_MAIN_SOURCE_PATH                  \
        return QTest::qExec(&tc, argc, argv);       \
    }

#define VUG_TEST_MAIN(TestClass, AppClass) \
    int main(int argc, char *argv[]) VUG_TEST_RUN(TestClass, AppClass)
