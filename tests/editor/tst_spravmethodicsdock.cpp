#include "SpravDockFixtures.h"
#include "data/BinaryJson.h"
#include "data/Inspection.h"
#include "editor/MimeFormats.h"
#include "editor/SpravMethodicsDockWindow.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

using namespace SpravFixtures;
using namespace SpravDockFixtures;

namespace {

const QString kRussian = QStringLiteral("Российская система методик");
const QString kInternational = QStringLiteral("Международная система методик");

Inspection::_Test methodic(const QString &name, int kind)
{
    Inspection::_Test test(name);
    test.addTheme(QStringLiteral("Вы взяли деньги?"), kind, 1, -1);
    test.addTheme(QStringLiteral("Ваше имя?"), QuestionKind::Neutral, 1, -1);
    test.addTheme(QStringLiteral("Сядьте ровно"), QuestionKind::Null, 1, -1);
    test.Comments = QStringLiteral("по инструкции");
    return test;
}

Inspection::_Test storedTest(int id)
{
    Inspection::_Test test;
    SpravDB db;
    db.readTest(id, test);
    return test;
}

int idOf(const QStandardItem *item)
{
    return item->data(SpravDB::IdRole).toInt();
}

QVariantList folderIds(const QString &path, const QString &table)
{
    return column(path, QStringLiteral("SELECT folder_id FROM %1 ORDER BY id").arg(table));
}

}  // namespace

class TestSpravMethodicsDock : public QObject
{
    Q_OBJECT

    BookUnderTest m_book;
    const QString &m_path = m_book.path;
    int m_folder = 0;
    int m_test = 0;
    int m_usaFolder = 0;

    void makeBook()
    {
        SpravDB::bUSA = false;
        {
            SpravDB db;
            m_folder = db.insertFolderTest(0, QStringLiteral("Кража"));
            Inspection::_Test test = methodic(QStringLiteral("ОКП"), QuestionKind::Test);
            m_test = db.insertTest(m_folder, test);
        }
        SpravDB::bUSA = true;
        {
            SpravDB db;
            m_usaFolder = db.insertFolderTest(0, QStringLiteral("Theft"));
        }
    }

private slots:
    void init()
    {
        m_book.restart();
        makeBook();
    }

    void cleanup() { QCOMPARE(m_book.boxes->unexpected(), 0); }

    void constructedWithAnEmptyModel()
    {
        SpravMethodicsDockWindow dock;
        QCOMPARE(dock.windowTitle(), QStringLiteral("Справочник методик"));
        QCOMPARE(dock.objectName(), QStringLiteral("SpravMethodicsDockWindow"));
        QCOMPARE(dock.features(), QDockWidget::DockWidgetMovable);
        QVERIFY(dock.model());
        QCOMPARE(dock.model()->rowCount(), 0);
        QCOMPARE(dock.view()->itemDelegate()->objectName(), QStringLiteral("spravM"));
        QCOMPARE(dock.findChildren<QAction *>().size(), 8 + 1);  // and the dock's own view toggle
        dock.onChangeRusUsaQuests(true, true);
        QCOMPARE(shownTexts(dock), QStringList({kInternational, "Theft", kRussian, "Кража", "ОКП"}));
        QCOMPARE(find(dock.model(), "ОКП")->foreground().color(), QColor(127, 0, 0));
    }

    void menuEnablesByItem()
    {
        SpravMethodicsDockWindow dock;
        showBoth(dock);
        QApplication::clipboard()->clear();
        QVector<MenuEntry> menu = openMenu(dock, centreOf(dock, find(dock.model(), "ОКП")));
        QCOMPARE(texts(menu), QStringList({"Копировать TEST в системный буфер\tCtrl+C",
                                           "Вставить TEST из системного буфера\tCtrl+V", "-", "Изменить ТЕСТ\tF2",
                                           "Удалить TEST\tDel", "-", "Создать ПАПКУ", "Изменить ПАПКУ\tF2",
                                           "Удалить ПАПКУ", "-", "Обновить"}));
        QVERIFY(entry(menu, "Копировать TEST в системный буфер\tCtrl+C").enabled);
        QVERIFY(!entry(menu, "Создать ПАПКУ").enabled);
        QVERIFY(!entry(menu, "Вставить TEST из системного буфера\tCtrl+V").enabled);

        select(dock, find(dock.model(), "ОКП"));
        dock.action_Copy();
        menu = openMenu(dock, centreOf(dock, find(dock.model(), "ОКП")));
        QVERIFY(!entry(menu, "Вставить TEST из системного буфера\tCtrl+V").enabled);
        menu = openMenu(dock, centreOf(dock, find(dock.model(), kRussian)));
        QVERIFY(entry(menu, "Вставить TEST из системного буфера\tCtrl+V").enabled);
        QVERIFY(!entry(menu, "Удалить ПАПКУ").enabled);
        QVERIFY(!entry(menu, "Копировать TEST в системный буфер\tCtrl+C").enabled);
    }

    void copyAndPasteKeepTheTestUnderANewIdentity()
    {
        SpravMethodicsDockWindow dock;
        showBoth(dock);
        select(dock, find(dock.model(), "Кража"));
        QApplication::clipboard()->setText(QStringLiteral("before"));
        dock.action_Copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));

        select(dock, find(dock.model(), "ОКП"));
        dock.action_Copy();
        const QMimeData *clip = QApplication::clipboard()->mimeData();
        QCOMPARE(clip->formats(), QStringList(MimeFormats::testClipboardFormat));
        Inspection::_Test first, second;
        QVERIFY(MimeFormats::decodeTest(clip->data(MimeFormats::testClipboardFormat), first).isEmpty());
        QVERIFY(MimeFormats::decodeTest(clip->data(MimeFormats::testClipboardFormat), second).isEmpty());
        QCOMPARE(first.name, QStringLiteral("ОКП"));
        QVERIFY(first.id != second.id);

        // Pasting onto a test does nothing; onto a root stores under folder id 0.
        const int rows = count(m_path, "test");
        dock.action_Paste();
        QCOMPARE(count(m_path, "test"), rows);
        select(dock, find(dock.model(), kInternational));
        dock.action_Paste();
        QStandardItem *pasted = dock.currentItem();
        QCOMPARE(pasted->text(), QStringLiteral("ОКП"));
        QCOMPARE(pasted->parent()->text(), kInternational);
        QCOMPARE(pasted->foreground().color(), QColor(127, 0, 0));
        QVERIFY(pasted->toolTip().contains(QStringLiteral("Вы взяли деньги?")));
        QCOMPARE(folderIds(m_path, "test_usa"), QVariantList{0});
        SpravDB::bUSA = true;
        const Inspection::_Test stored = storedTest(idOf(pasted));
        QCOMPARE(stored.orderText(), first.orderText());
        QCOMPARE(stored.Comments, first.Comments);
        QCOMPARE(stored.themisNULL.size(), 1);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void colourFollowsTheTypeOfRegularQuestions()
    {
        SpravMethodicsDockWindow dock;
        showBoth(dock);
        QStandardItem *folder = find(dock.model(), "Theft");
        select(dock, folder);
        const QVector<QPair<int, QColor>> expected = {{QuestionKind::IntC, QColor(0, 0, 127)},
                                                      {QuestionKind::IntR, QColor(127, 0, 0)},
                                                      {QuestionKind::IntI, QColor(Qt::black)}};
        for (const auto &each : expected) {
            Inspection::_Test test = methodic(QString::number(each.first), each.first);
            QApplication::clipboard()->setMimeData(MimeFormats::editorTestCopy(test));
            select(dock, folder);
            dock.action_Paste();
            QCOMPARE(dock.currentItem()->foreground().color(), each.second);
        }
    }

    void renameKeepsQuestionsAndPlan()
    {
        SpravMethodicsDockWindow dock;
        showBoth(dock);
        SpravDB::bUSA = false;
        const Inspection::_Test before = storedTest(m_test);
        QStandardItem *item = find(dock.model(), "ОКП");
        QLineEdit editor;
        editor.setText(QStringLiteral("Новое\tимя\n"));
        dock.view()->itemDelegate()->setModelData(&editor, dock.view()->model(), viewIndex(dock, item));
        QCOMPARE(item->text(), QStringLiteral("Новоеимя"));
        SpravDB::bUSA = false;
        const Inspection::_Test after = storedTest(m_test);
        QCOMPARE(after.name, QStringLiteral("Новоеимя"));
        QCOMPARE(after.themis.size(), before.themis.size());
        QCOMPARE(after.orderText(), before.orderText().replace(QStringLiteral("ОКП"), after.name));
    }

    void deletesTestsAndEmptyFoldersOnly()
    {
        SpravMethodicsDockWindow dock;
        showBoth(dock);
        MessageBoxAnswerer &answerer = m_book.answer({QMessageBox::Ok});
        select(dock, find(dock.model(), "Кража"));
        dock.action_DeleteTest();
        dock.action_DeleteFolder();
        QCOMPARE(answerer.asked(), QStringList("Удалять можно только пустые папки."));
        QCOMPARE(count(m_path, "folder_test"), 1);
        select(dock, find(dock.model(), "ОКП"));
        dock.action_DeleteTest();
        QVERIFY(!find(dock.model(), "ОКП"));
        QCOMPARE(count(m_path, "test"), 0);
        select(dock, find(dock.model(), "Кража"));
        dock.action_DeleteFolder();
        QCOMPARE(count(m_path, "folder_test"), 0);
    }

    void dragWithinTheDockMoves()
    {
        SpravMethodicsDockWindow dock;
        showBoth(dock);
        select(dock, find(dock.model(), "ОКП"));
        QScopedPointer<QMimeData> data(dock.view()->prepareDrag());
        QVERIFY(data->hasFormat(MimeFormats::methodicDragFormat));
        QCOMPARE(data->property("1").toInt(), m_test);
        QStandardItem *target = find(dock.model(), "Theft");
        const DragOutcome outcome = dragTo(dock, centreOf(dock, target), data.data());
        QVERIFY(outcome.dropped);
        QCOMPARE(outcome.moveAction, Qt::MoveAction);
        QCOMPARE(count(m_path, "test"), 0);
        QCOMPARE(folderIds(m_path, "test_usa"), QVariantList{m_usaFolder});
        QCOMPARE(dock.currentItem()->parent(), target);
        QCOMPARE(dock.currentItem()->text(), QStringLiteral("ОКП"));
    }

    void testFromAnExaminationIsCopiedIn()
    {
        SpravMethodicsDockWindow dock;
        showBoth(dock);
        Inspection inspection;
        inspection.tests.append(methodic(QStringLiteral("Из обследования"), QuestionKind::Control));
        QScopedPointer<QMimeData> data(MimeFormats::treeTestDrag(inspection.tests[0]));
        QStandardItem *folder = find(dock.model(), "Кража");
        DragOutcome outcome = dragTo(dock, centreOf(dock, folder), data.data());
        QVERIFY(outcome.dropped);
        QCOMPARE(outcome.moveAction, Qt::CopyAction);
        QCOMPARE(inspection.tests.size(), 1);
        QCOMPARE(count(m_path, "test"), 2);
        QCOMPARE(dock.currentItem()->foreground().color(), QColor(0, 0, 127));

        // Onto a test, onto empty space, or plain text: refused.
        outcome = dragTo(dock, centreOf(dock, find(dock.model(), "ОКП")), data.data());
        QVERIFY(outcome.entered && !outcome.movable);
        outcome = dragTo(dock, QPoint(5, dock.view()->viewport()->height() - 5), data.data());
        QVERIFY(!outcome.movable);
        QMimeData plain;
        plain.setText(QStringLiteral("text"));
        QVERIFY(!dragTo(dock, centreOf(dock, folder), &plain).entered);
        QCOMPARE(count(m_path, "test"), 2);
    }

    void damagedMethodicsAreListedButNotPassedOn()
    {
        Inspection::_Test badPlan = methodic(QStringLiteral("Плохой план"), QuestionKind::Test);
        badPlan.orders.last().Theme = 40;
        QJsonObject object;
        badPlan.toJson(object);
        SpravDB::bUSA = false;
        QVERIFY(execute(m_path, {"INSERT INTO test (id, folder_id, data) VALUES (70, 0, x'0102030405')"}));
        {
            SpravDB db;
            QSqlQuery query(SharedConnection::database());
            query.prepare(QStringLiteral("INSERT INTO test (id, folder_id, data) VALUES (71, 0, ?)"));
            query.bindValue(0, BinaryJson::encode(object));
            QVERIFY(query.exec());
        }
        SpravMethodicsDockWindow dock;
        showBoth(dock);
        MessageBoxAnswerer &answerer = m_book.answer({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
        QApplication::clipboard()->setText(QStringLiteral("before"));
        select(dock, find(dock.model(), "Повреждённая методика №70"));
        dock.action_Copy();
        QVERIFY(!dock.view()->prepareDrag());
        select(dock, find(dock.model(), "Плохой план"));
        dock.action_Copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        QCOMPARE(answerer.asked().size(), 3);
        QVERIFY(answerer.asked().last().contains(QStringLiteral("Плохой план")));

        // Pasting a payload with a damaged plan is refused too.
        auto *data = new QMimeData;
        data->setData(MimeFormats::testClipboardFormat, BinaryJson::encode(object));
        QApplication::clipboard()->setMimeData(data);
        answerer.enqueue(QMessageBox::Ok);
        select(dock, find(dock.model(), "Кража"));
        dock.action_Paste();
        QCOMPARE(answerer.asked().size(), 4);
        QCOMPARE(count(m_path, "test"), 3);
        QCOMPARE(answerer.unexpected(), 0);
    }

    void refusedWritesChangeNothing()
    {
        SpravMethodicsDockWindow dock;
        showBoth(dock);
        SpravFixtures::WriteLock lock(m_path);
        const QByteArray before = fileBytes(m_path);
        MessageBoxAnswerer &answerer = m_book.answer({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
        QStandardItem *item = find(dock.model(), "ОКП");
        select(dock, item);
        QScopedPointer<QMimeData> data(dock.view()->prepareDrag());
        dragTo(dock, centreOf(dock, find(dock.model(), kRussian)), data.data());
        QCOMPARE(find(dock.model(), kRussian)->rowCount(), 1);
        QCOMPARE(item->parent()->text(), QStringLiteral("Кража"));
        QLineEdit editor;
        editor.setText(QStringLiteral("другое"));
        dock.view()->itemDelegate()->setModelData(&editor, dock.view()->model(), viewIndex(dock, item));
        QCOMPARE(item->text(), QStringLiteral("ОКП"));
        select(dock, item);
        dock.action_DeleteTest();
        dock.action_Copy();
        select(dock, find(dock.model(), kRussian));
        dock.action_Paste();
        QCOMPARE(find(dock.model(), kRussian)->rowCount(), 1);
        QVERIFY(find(dock.model(), "ОКП"));
        QCOMPARE(answerer.asked().size(), 4);
        QCOMPARE(answerer.unexpected(), 0);
        QCOMPARE(fileBytes(m_path), before);
    }
};

VUG_TEST_MAIN(TestSpravMethodicsDock, QApplication)
#include "tst_spravmethodicsdock.moc"
