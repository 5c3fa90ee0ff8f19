#include "data/GenericSettings.h"
#include "data/SettingsStore.h"
#include "subjects/PersoneLinkDockWindow.h"
#include "subjects/PersoneSearchDockWindow.h"
#include "subjects/SubjectClipboard.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"

#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QSignalSpy>

#include <functional>
#include <memory>

using namespace StoreFixtures;

namespace {

using MakeDock = std::function<SubjectListDock *()>;

// A subject file with one recorded test named test, in a folder of its own.
QString subjectIn(const QString &folder, const QString &test)
{
    QDir().mkpath(folder);
    Inspection inspection(folder + QStringLiteral("/Петров.qmz"));
    inspection.tests = {recordedTest(test, 10)};
    saveTests(inspection);
    return inspection.path;
}

// The dock with two entries, the second current: the actions must take it.
template <typename Dock>
SubjectListDock *withEntries(const QString &other, const QString &current)
{
    auto *dock = new Dock;
    dock->onCreatePersoneLinkAndVerify(other);
    dock->onCreatePersoneLinkAndVerify(current);
    dock->listView()->setCurrentIndex(dock->listView()->model()->index(1, 0));
    return dock;
}

}  // namespace

class TestSubjectListDock : public QObject
{
    Q_OBJECT
private slots:
    void actionsTakeTheCurrentEntry_data();
    void actionsTakeTheCurrentEntry();
};

void TestSubjectListDock::actionsTakeTheCurrentEntry_data()
{
    QTest::addColumn<QString>("group");
    QTest::newRow("links") << QStringLiteral("PersoneLinkDockWindow");
    QTest::newRow("search results") << QStringLiteral("PersoneSearchDockWindow");
}

void TestSubjectListDock::actionsTakeTheCurrentEntry()
{
    QFETCH(QString, group);
    QFile::remove(SettingsStore::filePath());
    GenericSettings settings;
    settings.load();
    const QString other = subjectIn(settings.sRootFolder + QStringLiteral("/другая"), QStringLiteral("Другой тест"));
    const QString current = subjectIn(settings.sRootFolder + QStringLiteral("/папка"), QStringLiteral("Текущий тест"));
    const MakeDock make = [&] {
        return group == QLatin1String("PersoneLinkDockWindow") ? withEntries<PersoneLinkDockWindow>(other, current)
                                                                 : withEntries<PersoneSearchDockWindow>(other, current);
    };
    {
        std::unique_ptr<SubjectListDock> dock(make());
        QCOMPARE(dock->objectName(), group);

        QApplication::clipboard()->clear();
        emit dock->findChild<QShortcut *>()->activated();
        const QMimeData *copied = QApplication::clipboard()->mimeData();
        QVERIFY(copied->hasFormat(SubjectClipboard::subjectFormat));
        QVERIFY(copied->text().startsWith(QStringLiteral("Текущий тест")));

        UrlCatcher catcher;
        std::unique_ptr<QMenu> menu(dock->createContextMenu(QPoint()));
        menu->actions()[2]->trigger();
        QCOMPARE(catcher.urls, QList<QUrl>({QUrl::fromLocalFile(QFileInfo(current).absolutePath())}));

        QSignalSpy synced(dock.get(), &SubjectListDock::notificationChangedPerosneSignal_ForSync);
        QVERIFY(!dock->isSyncEnabled());
        menu->actions()[4]->trigger();
        dock->listView()->setCurrentIndex(dock->listView()->model()->index(0, 0));
        dock->listView()->setCurrentIndex(dock->listView()->model()->index(1, 0));
        QCOMPARE(synced.size(), 2);
        QCOMPARE(synced.last()[0].toString(), current);
    }
    QCOMPARE(SettingsStore::open()->value(group + QStringLiteral("/bEnabledSync")).toBool(), true);
    std::unique_ptr<SubjectListDock> again(make());
    QVERIFY(again->isSyncEnabled());
}

VUG_TEST_MAIN(TestSubjectListDock, QApplication)
#include "tst_subjectlistdock.moc"
