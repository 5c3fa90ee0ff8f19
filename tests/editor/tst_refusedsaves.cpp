// A test renamed in the editor's tree while another program holds, changes
// or removes the subject file: the refusal is told once, and the tree shows
// what the file holds, or the edit kept in memory when the file is gone.
#include "data/GenericSettings.h"
#include "data/SettingsStore.h"
#include "data/SpravDB.h"
#include "editor/InspectionEditFancy.h"
#include "editor/InspectionTreeView.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/LockHolder.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QLineEdit>

using namespace StoreFixtures;

namespace {

enum class Fault { BusyDropped, BusyRetried, Changed, Deleted, DeletedAndLeft };

QStringList storedNames(const QString &path)
{
    Inspection stored;
    QStringList names;
    if (stored.load(path) == StoreResult::Ok) {
        for (const Inspection::_Test &test : stored.tests)
            names << test.name;
    }
    names.sort();
    return names;
}

QStringList namesIn(const Inspection &inspection)
{
    QStringList names;
    for (const Inspection::_Test &test : inspection.tests)
        names << test.name;
    names.sort();
    return names;
}

}  // namespace

Q_DECLARE_METATYPE(Fault)

class TestRefusedSaves : public QObject
{
    Q_OBJECT
private slots:
    void renameIsToldAndShownAsStored_data();
    void renameIsToldAndShownAsStored();
};

void TestRefusedSaves::renameIsToldAndShownAsStored_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("busy, dropped") << Fault::BusyDropped << "занят другой программой"
                                   << QStringList{"Запись", "Пустой"} << QStringList{"Запись", "Пустой"};
    QTest::newRow("busy, retried") << Fault::BusyRetried << "занят другой программой"
                                   << QStringList{"Запись", "Новый"} << QStringList{"Запись", "Новый"};
    QTest::newRow("changed by another") << Fault::Changed << "Тест «Пустой» изменён другой программой"
                                        << QStringList{"Запись", "Чужой"} << QStringList{"Запись", "Чужой"};
    QTest::newRow("deleted") << Fault::Deleted << "не найден: он переименован, перемещён или удалён"
                             << QStringList{"Запись", "Новый"} << QStringList();
    // The subjects view saw the file go before the refusal was told.
    QTest::newRow("deleted, subject left") << Fault::DeletedAndLeft << "Иванов.qmz\n(файл не найден"
                                           << QStringList() << QStringList();
}

void TestRefusedSaves::renameIsToldAndShownAsStored()
{
    QFETCH(Fault, fault);
    QFETCH(QString, told);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, stored);
    QFile::remove(SettingsStore::filePath());
    GenericSettings settings;
    settings.load();
    QDir(settings.sRootFolder).removeRecursively();
    QDir().mkpath(settings.sRootFolder);
    SpravDB::sPathFileSprav = settings.sRootFolder + "/svorkel.sqmz";
    const QString path = settings.sRootFolder + "/Иванов.qmz";
    {
        Inspection made(path);
        made.tests = {recordedTest("Запись", 40), recordedTest("Пустой", 0)};
        saveTests(made);
    }

    InspectionEditFancy editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.onChangedPersone2(path, path, nullptr);
    QAbstractItemModel *model = editor.treeView()->model();
    QVERIFY(model);
    QModelIndex item;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (editor.inspection().tests[model->index(row, 0).data(Qt::UserRole + 1).toInt()].name == "Пустой")
            item = model->index(row, 0);
    }
    QVERIFY(item.isValid());

    QScopedPointer<LockHolder> lock;
    MessageBoxAnswerer answers;
    if (fault == Fault::BusyDropped || fault == Fault::BusyRetried) {
        lock.reset(new LockHolder(path, "BEGIN EXCLUSIVE"));
        QVERIFY(lock->isHeld());
        // Dropped while the lock still holds, the file cannot be read anew.
        answers.enqueue(fault == Fault::BusyDropped ? QMessageBox::Discard : QMessageBox::Retry);
        if (fault == Fault::BusyRetried)
            answers.whileAsking = [&lock] { lock.reset(); };
    } else if (fault == Fault::Changed) {
        Inspection other;
        QCOMPARE(other.load(path), StoreResult::Ok);
        for (Inspection::_Test &test : other.tests) {
            if (test.name == "Пустой") {
                test.name = "Чужой";
                QCOMPARE(other.saveTestStruct(&test), StoreResult::Ok);
            }
        }
        answers.enqueue(QMessageBox::Ok);
    } else {
        QVERIFY(QFile::remove(path));
        answers.enqueue(fault == Fault::Deleted ? QMessageBox::Cancel : QMessageBox::Ok);
    }

    editor.treeView()->setCurrentIndex(item);
    editor.treeView()->edit(item);
    auto *line = editor.treeView()->findChild<QLineEdit *>();
    QVERIFY(line);
    line->setText("Новый");
    QTest::keyClick(line, Qt::Key_Return);
    if (fault == Fault::DeletedAndLeft)
        editor.onChangedPersone2(QString(), QString(), nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(answers.asked().size(), 1, 20000);
    QVERIFY2(answers.asked()[0].contains(told), qPrintable(answers.asked()[0]));
    QTRY_COMPARE_WITH_TIMEOUT(namesIn(editor.inspection()), shown, 20000);
    lock.reset();
    QCOMPARE(storedNames(path), stored);
    QCOMPARE(answers.unexpected(), 0);
    QVERIFY(QFileInfo::exists(path) == !stored.isEmpty());
}

VUG_TEST_MAIN(TestRefusedSaves, QApplication)
#include "tst_refusedsaves.moc"
