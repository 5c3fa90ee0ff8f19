#include "SpravDockFixtures.h"
#include "editor/MimeFormats.h"
#include "editor/SpravItemDelegate.h"
#include "editor/SpravQuestionsDockWindow.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

using namespace SpravFixtures;
using namespace SpravDockFixtures;

namespace {

const QString kRussian = QStringLiteral("Российская система вопросов");
const QString kInternational = QStringLiteral("Международная система вопросов");

QString storedQuest(const QString &path, const QString &table, int id)
{
    return column(path, QStringLiteral("SELECT quest_name FROM %1 WHERE id=%2").arg(table).arg(id)).value(0).toString();
}

QVariantList questRows(const QString &path, const QString &table)
{
    return column(path, QStringLiteral("SELECT id || ':' || folder_id || ':' || quest_name FROM %1 ORDER BY id")
                            .arg(table));
}

int idOf(const QStandardItem *item)
{
    return item->data(SpravDB::IdRole).toInt();
}

int kindOf(const QStandardItem *item)
{
    return item->data(SpravDB::KindRole).toInt();
}

QColor colourOf(const QStandardItem *item)
{
    return item->foreground().color();
}

void setClipboard(const QString &format, const QByteArray &bytes)
{
    auto *data = new QMimeData;
    data->setData(format, bytes);
    QApplication::clipboard()->setMimeData(data);
}

}  // namespace

class TestSpravQuestionsDock : public QObject
{
    Q_OBJECT

    BookUnderTest m_book;
    const QString &m_path = m_book.path;
    int m_folder = 0;
    int m_question = 0;
    int m_usaFolder = 0;

    // A book with a Russian folder holding one question and an empty folder,
    // and an international folder.
    void makeBook()
    {
        SpravDB::bUSA = false;
        {
            SpravDB db;
            m_folder = db.insertFolderQuest(0, QStringLiteral("Кража"));
            m_question = db.insertQuest(m_folder, QStringLiteral("Вы взяли деньги?"), QuestionKind::Test);
            db.insertFolderQuest(0, QStringLiteral("Пустая"));
        }
        SpravDB::bUSA = true;
        {
            SpravDB db;
            m_usaFolder = db.insertFolderQuest(0, QStringLiteral("Theft"));
        }
    }

private slots:
    void init()
    {
        m_book.restart();
        makeBook();
    }

    void cleanup() { QCOMPARE(m_book.boxes->unexpected(), 0); }

    void constructedAsTheBookDock()
    {
        SpravQuestionsDockWindow dock;
        QCOMPARE(dock.windowTitle(), QStringLiteral("Справочник вопросов"));
        QCOMPARE(dock.objectName(), QStringLiteral("SpravQuestionsDockWindow"));
        QCOMPARE(dock.features(), QDockWidget::DockWidgetMovable);
        QVERIFY(!dock.view()->model());
        QCOMPARE(dock.view()->itemDelegate()->objectName(), QStringLiteral("spravQ"));
        QCOMPARE(dock.findChildren<QAction *>().size(), 30 + 1);  // and the dock's own view toggle
        QVERIFY(action(dock, QStringLiteral("Добавить  РЕЛЕВАНТНЫЙ вопрос (R)")));
        for (QAction *each : dock.findChildren<QAction *>())
            QVERIFY2(each == dock.toggleViewAction() || !each->icon().pixmap(16, 16).isNull(), qPrintable(each->text()));
    }

    // What the book could not show is told once, not at every refill.
    void aForeignBookOrLoopingFoldersAreToldOnce_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("told");
        QTest::newRow("trigger") << "CREATE TRIGGER wipe AFTER INSERT ON quest BEGIN DELETE FROM quest; END"
                                 << "не создаёт (trigger wipe)";
        QTest::newRow("looping folders") << "INSERT INTO folder_quest (id, folder_id, folder_name) VALUES "
                                            "(100, 101, 'a'), (101, 100, 'b')"
                                         << "не показаны папки (2)";
    }
    void aForeignBookOrLoopingFoldersAreToldOnce()
    {
        QFETCH(QString, statement);
        QFETCH(QString, told);
        QVERIFY(execute(m_path, {statement}));
        MessageBoxAnswerer &answerer = m_book.answer({QMessageBox::Ok});
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        dock.action_Refresh();
        QCOMPARE(answerer.asked().size(), 1);
        QVERIFY2(answerer.asked().first().contains(told), qPrintable(answerer.asked().first()));
        // Once the book is sound, refills tell nothing.
        QVERIFY(execute(m_path, {"DROP TRIGGER IF EXISTS wipe", "DELETE FROM folder_quest WHERE id >= 100"}));
        dock.action_Refresh();
        QCOMPARE(answerer.asked().size(), 1);
    }

    void fillsTheSetsShown()
    {
        SpravDB::bUSA = true;
        QVERIFY(execute(m_path, {"INSERT INTO quest_usa (folder_id, quest_name) VALUES (0, '2\nabc')"}));
        SpravQuestionsDockWindow dock;
        dock.onChangeRusUsaQuests(false, false);
        QCOMPARE(dock.model()->rowCount(), 0);

        dock.onChangeRusUsaQuests(true, false);
        QCOMPARE(shownTexts(dock), QStringList({kRussian, "Кража", "Вы взяли деньги?", "Пустая"}));
        QCOMPARE(idOf(dock.model()->item(0)), -1);
        QVERIFY(!dock.model()->item(0)->isEditable());

        QPointer<QAbstractItemModel> oldModel = dock.model();
        QPointer<QAbstractItemModel> oldProxy = dock.view()->model();
        QPointer<QItemSelectionModel> oldSelection = dock.view()->selectionModel();
        dock.onChangeRusUsaQuests(true, true);
        QVERIFY(!oldModel && !oldProxy && !oldSelection);
        QCOMPARE(shownTexts(dock), QStringList({kInternational, "Theft", "abc", kRussian, "Кража",
                                                "Вы взяли деньги?", "Пустая"}));
        QStandardItem *stored = find(dock.model(), QStringLiteral("abc"));
        QCOMPARE(kindOf(stored), QuestionKind::Test);
        QCOMPARE(idOf(stored->parent()), -2);
    }

    void sortsContainersFirstThenByCodeUnits()
    {
        SpravDB::bUSA = false;
        {
            SpravDB db;
            for (const char *text : {"яблоко", "apple", "Яблоко"})
                db.insertQuest(0, QString::fromUtf8(text), 0);
            db.insertFolderQuest(0, QStringLiteral("яя папка"));
        }
        SpravQuestionsDockWindow dock;
        dock.onChangeRusUsaQuests(true, false);
        QStringList top;
        const QModelIndex root = dock.view()->model()->index(0, 0);
        for (int row = 0; row < dock.view()->model()->rowCount(root); ++row)
            top << dock.view()->model()->index(row, 0, root).data().toString();
        QCOMPARE(top, QStringList({"Кража", "Пустая", "яя папка", "apple", "Яблоко", "яблоко"}));
    }

    void menusByItemAndSet()
    {
        SpravDB::bUSA = true;
        QVERIFY(execute(m_path, {"INSERT INTO quest_usa (folder_id, quest_name) VALUES (0, '104\nR text')"}));
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        const QStringList common = {"-", "Изменить ВОПРОС\tF2", "Удалить ВОПРОС\tDel", "-", "Создать ПАПКУ",
                                    "Изменить ПАПКУ\tF2", "Удалить ПАПКУ", "-", "Обновить"};
        const QStringList head = {"Копировать ВОПРОС в системный буфер\tCtrl+C",
                                  "Вставить ВОПРОС из системного буфера\tCtrl+V", "-"};

        bool marked = false;
        QVector<MenuEntry> menu = openMenu(dock, centreOf(dock, find(dock.model(), kRussian)), &marked);
        QVERIFY(marked);
        QCOMPARE(activePopupMenuId, quintptr(0));
        QCOMPARE(texts(menu), head + QStringList({"Добавить НУЛЕВОЙ вопрос", "Добавить НЕЙТРАЛЬНЫЙ вопрос",
                                                  "Добавить ПРОВЕРОЧНЫЙ вопрос", "Добавить КОНТРОЛЬНЫЙ вопрос"})
                                  + common);
        QVERIFY(entry(menu, "Создать ПАПКУ").enabled);
        QVERIFY(!entry(menu, "Изменить ПАПКУ\tF2").enabled);
        QVERIFY(!entry(menu, "Удалить ПАПКУ").enabled);
        QVERIFY(!entry(menu, "Удалить ВОПРОС\tDel").enabled);
        QVERIFY(entry(menu, "Добавить НУЛЕВОЙ вопрос").enabled);

        menu = openMenu(dock, centreOf(dock, find(dock.model(), "Кража")));
        QVERIFY(entry(menu, "Изменить ПАПКУ\tF2").enabled);
        QVERIFY(entry(menu, "Удалить ПАПКУ").enabled);

        menu = openMenu(dock, centreOf(dock, find(dock.model(), "R text")));
        QCOMPARE(texts(menu), head + QStringList({"ВВОДНЫЙ вопрос (P)", "ИРРЕЛЕВАНТНЫЙ (I)",
                                                  "КОНТРОЛЬНЫЙ вопрос (C)", "РЕЛЕВАНТНЫЙ вопрос (R)",
                                                  "ЖЕРТВЕННЫЙ РЕЛЕВАНТНЫЙ вопрос (SR)",
                                                  "СИМПТОМАТИЧЕСКИЙ вопрос (So)", "вопрос КОМПЛЕКСА ВИНЫ (GC)"})
                                  + common);
        QVERIFY(entry(menu, "РЕЛЕВАНТНЫЙ вопрос (R)").checked);
        QVERIFY(!entry(menu, "ВВОДНЫЙ вопрос (P)").checked);
        QVERIFY(!entry(menu, "Создать ПАПКУ").enabled);
        QVERIFY(entry(menu, "Удалить ВОПРОС\tDel").enabled);

        menu = openMenu(dock, QPoint(5, dock.view()->viewport()->height() - 5));
        QCOMPARE(texts(menu), head + QStringList("-") + common.mid(1));
        QVERIFY(!dock.view()->currentIndex().isValid());
        QVERIFY(!entry(menu, "Копировать ВОПРОС в системный буфер\tCtrl+C").enabled);
    }

    void nullChangeActionIsCheckedForQuestionsWithoutKind()
    {
        SpravDB::bUSA = false;
        QVERIFY(execute(m_path, {"INSERT INTO quest (folder_id, quest_name) VALUES (0, 'без вида')",
                                 "INSERT INTO quest (folder_id, quest_name) VALUES (0, '10000\nнулевой')"}));
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        QVector<MenuEntry> menu = openMenu(dock, centreOf(dock, find(dock.model(), "без вида")));
        QVERIFY(entry(menu, "НУЛЕВОЙ вопрос").checked);
        menu = openMenu(dock, centreOf(dock, find(dock.model(), "нулевой")));
        for (const MenuEntry &each : menu)
            QVERIFY2(!each.checked, qPrintable(each.text));
    }

    void addsAndChangesKinds()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        select(dock, find(dock.model(), kRussian));
        dock.onAddQuestAsP();
        QStandardItem *added = dock.currentItem();
        QCOMPARE(added->text(), QStringLiteral("Проверочниый вопрос"));
        QCOMPARE(added->parent()->text(), kRussian);
        SpravDB::bUSA = false;
        QCOMPARE(column(m_path, QStringLiteral("SELECT folder_id || ':' || quest_name FROM quest WHERE id=%1")
                                    .arg(idOf(added))),
                 QVariantList({"0:2\nПроверочниый вопрос"}));

        select(dock, find(dock.model(), "Theft"));
        dock.onAddQuest_GC();
        QCOMPARE(storedQuest(m_path, "quest_usa", idOf(dock.currentItem())), QStringLiteral("107\nНовый вопрос (GC)"));

        select(dock, added);
        dock.onMakeQuest_SR();
        QCOMPARE(kindOf(added), int(QuestionKind::IntSR));
        QCOMPARE(colourOf(added), QColor(0, 0, 127));
        QCOMPARE(added->text(), QStringLiteral("Проверочниый вопрос"));
        QCOMPARE(storedQuest(m_path, "quest", idOf(added)), QStringLiteral("105\nПроверочниый вопрос"));

        // The add actions need a container.
        const int rows = questRows(m_path, "quest").size();
        dock.onAddQuestAsN();
        QCOMPARE(questRows(m_path, "quest").size(), rows);
    }

    void markersArePaintedInTheKindColourBeforeTheText()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        QStandardItem *question = find(dock.model(), "Вы взяли деньги?");
        centreOf(dock, question);
        const QRect rect = dock.view()->visualRect(viewIndex(dock, question));
        const int marker = dock.view()->fontMetrics().horizontalAdvance("000");
        // Which columns of the row hold pixels of the kind colour.
        auto colouredColumns = [&]() {
            const QImage image = dock.view()->viewport()->grab().toImage();
            QVector<bool> columns(image.width());
            for (int x = 0; x < image.width(); ++x)
                for (int y = rect.top(); y <= rect.bottom(); ++y)
                    columns[x] = columns[x] || image.pixelColor(x, y) == QColor(127, 0, 0);
            return columns;
        };
        // A blank text leaves only the marker: inside its column.
        question->setText(QStringLiteral(" "));
        QVector<bool> columns = colouredColumns();
        QVERIFY(columns.mid(rect.left(), marker).contains(true));
        QVERIFY(!columns.mid(rect.left() + marker).contains(true));
        // The text starts after the marker's column.
        question->setText(QStringLiteral("ЖЖЖ"));
        question->setData(-1, SpravDB::KindRole);
        question->setForeground(QColor(127, 0, 0));
        columns = colouredColumns();
        QVERIFY(!columns.mid(rect.left(), marker).contains(true));
        QVERIFY(columns.mid(rect.left() + marker).contains(true));
    }

    void copiesAQuestionOnly()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        select(dock, find(dock.model(), "Кража"));
        dock.action_Copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        select(dock, find(dock.model(), "Вы взяли деньги?"));
        dock.action_Copy();
        const QMimeData *clip = QApplication::clipboard()->mimeData();
        QCOMPARE(clip->data(MimeFormats::questionClipboardFormat), QStringLiteral("2\nВы взяли деньги?").toUtf8());
        QCOMPARE(clip->text(), QStringLiteral("Вы взяли деньги?"));
        QVERIFY(!clip->hasFormat(MimeFormats::questionDragFormat));
    }

    void storedTextWithBreaksTravelsOnOneLine()
    {
        SpravDB::bUSA = false;
        QVERIFY(execute(m_path, {"INSERT INTO quest (id, folder_id, quest_name) VALUES (50, 0, '1\nстрока 1\nстрока 2')"}));
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        select(dock, find(dock.model(), "строка 1\nстрока 2"));
        dock.action_Copy();
        QCOMPARE(QApplication::clipboard()->mimeData()->data(MimeFormats::questionClipboardFormat),
                 QStringLiteral("1\nстрока 1 строка 2").toUtf8());
        QScopedPointer<QMimeData> drag(dock.view()->prepareDrag());
        MimeFormats::Question question;
        QVERIFY(MimeFormats::decodeQuestion(drag->data(MimeFormats::questionDragFormat), question));
        QCOMPARE(question.text, QStringLiteral("строка 1 строка 2"));
        QCOMPARE(drag->property("1").toInt(), 50);
    }

    void pastesOntoContainersAndQuestions()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        QStandardItem *question = find(dock.model(), "Вы взяли деньги?");
        select(dock, question);
        QApplication::clipboard()->setText(QStringLiteral("Вы видели деньги?"));
        dock.action_Paste();
        QCOMPARE(question->text(), QStringLiteral("Вы видели деньги?"));
        QCOMPARE(kindOf(question), int(QuestionKind::Test));
        QCOMPARE(storedQuest(m_path, "quest", m_question), QStringLiteral("2\nВы видели деньги?"));

        setClipboard(MimeFormats::questionClipboardFormat, QByteArray("103\nnew text"));
        dock.action_Paste();
        QCOMPARE(question->text(), QStringLiteral("new text"));
        QCOMPARE(kindOf(question), int(QuestionKind::IntC));
        QCOMPARE(colourOf(question), QColor(0, 0, 127));
        QCOMPARE(storedQuest(m_path, "quest", m_question), QStringLiteral("103\nnew text"));

        // A malformed question payload is refused even with plain text beside it.
        auto *bad = new QMimeData;
        bad->setData(MimeFormats::questionClipboardFormat, QByteArray("1\na\nb"));
        bad->setText(QStringLiteral("plain"));
        QApplication::clipboard()->setMimeData(bad);
        dock.action_Paste();
        QCOMPARE(storedQuest(m_path, "quest", m_question), QStringLiteral("103\nnew text"));

        QStandardItem *folder = find(dock.model(), "Пустая");
        select(dock, folder);
        QApplication::clipboard()->setText(QStringLiteral("первая строка\r\nвторая\nтретья"));
        dock.action_Paste();
        QStandardItem *pasted = folder->child(0);
        QCOMPARE(pasted->text(), QStringLiteral("первая строка вторая третья"));
        QCOMPARE(kindOf(pasted), -1);
        QCOMPARE(colourOf(pasted), QColor(127, 127, 127));
        QCOMPARE(dock.currentItem(), pasted);
        QCOMPARE(storedQuest(m_path, "quest", idOf(pasted)), QStringLiteral("-1\nпервая строка вторая третья"));

        // Another program's text ends at its first NUL byte.
        select(dock, find(dock.model(), "Theft"));
        setClipboard(QStringLiteral("text/plain"), QByteArray("abc\0def", 7));
        dock.action_Paste();
        QCOMPARE(storedQuest(m_path, "quest_usa", idOf(dock.currentItem())), QStringLiteral("-1\nabc"));

        // After a refresh everything pasted is read back as shown.
        dock.action_Refresh();
        QVERIFY(find(dock.model(), "первая строка вторая третья"));
        QVERIFY(find(dock.model(), "new text"));
    }

    void editsInPlaceOnOneLine()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        auto *delegate = qobject_cast<SpravItemDelegate *>(dock.view()->itemDelegate());
        QLineEdit editor;
        QStandardItem *question = find(dock.model(), "Вы взяли деньги?");
        editor.setText(QStringLiteral("Вы\tвзяли\nденьги\r?"));
        delegate->setModelData(&editor, dock.view()->model(), viewIndex(dock, question));
        QCOMPARE(editor.text(), QStringLiteral("Вывзялиденьги?"));
        QCOMPARE(question->text(), QStringLiteral("Вывзялиденьги?"));
        QCOMPARE(storedQuest(m_path, "quest", m_question), QStringLiteral("2\nВывзялиденьги?"));

        QStandardItem *folder = find(dock.model(), "Пустая");
        editor.setText(QStringLiteral("Полная"));
        delegate->setModelData(&editor, dock.view()->model(), viewIndex(dock, folder));
        QCOMPARE(column(m_path, "SELECT folder_name FROM folder_quest ORDER BY id"), QVariantList({"Кража", "Полная"}));
    }

    void foldersAddAndDeleteOnlyWhenEmpty()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        select(dock, find(dock.model(), kInternational));
        dock.action_AddFolder();
        QStandardItem *added = dock.currentItem();
        QCOMPARE(added->text(), QStringLiteral("Новая папка"));
        QCOMPARE(column(m_path, QStringLiteral("SELECT folder_id FROM folder_quest_usa WHERE id=%1").arg(idOf(added))),
                 QVariantList{0});
        select(dock, find(dock.model(), "Theft"));
        dock.action_AddFolder();
        QCOMPARE(column(m_path, QStringLiteral("SELECT folder_id FROM folder_quest_usa WHERE id=%1")
                                    .arg(idOf(dock.currentItem()))),
                 QVariantList{m_usaFolder});

        MessageBoxAnswerer &answerer = m_book.answer({QMessageBox::Ok});
        select(dock, find(dock.model(), "Кража"));
        dock.action_DeleteFolder();
        QCOMPARE(answerer.asked(), QStringList("Удалять можно только пустые папки."));
        QVERIFY(find(dock.model(), "Кража"));
        QCOMPARE(count(m_path, "folder_quest"), 2);

        // Delete and Ctrl+C on a folder do nothing; the root is never removed.
        dock.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dock));
        dock.view()->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(dock.view(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(dock.view(), Qt::Key_Delete);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        QCOMPARE(count(m_path, "folder_quest"), 2);
        select(dock, find(dock.model(), kRussian));
        dock.action_DeleteFolder();
        QVERIFY(find(dock.model(), kRussian));

        select(dock, find(dock.model(), "Пустая"));
        dock.action_DeleteFolder();
        QVERIFY(!find(dock.model(), "Пустая"));
        QCOMPARE(count(m_path, "folder_quest"), 1);
        QCOMPARE(answerer.unexpected(), 0);
    }

    void shortcutsCopyAndDeleteAQuestion()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        dock.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dock));
        select(dock, find(dock.model(), "Вы взяли деньги?"));
        dock.view()->setFocus();
        QTest::keyClick(dock.view(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->mimeData()->hasFormat(MimeFormats::questionClipboardFormat));
        QTest::keyClick(dock.view(), Qt::Key_Delete);
        QVERIFY(!find(dock.model(), "Вы взяли деньги?"));
        QCOMPARE(count(m_path, "quest"), 0);
    }

    void dragWithinTheDockMoves()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        QStandardItem *question = find(dock.model(), "Вы взяли деньги?");
        select(dock, question);
        QScopedPointer<QMimeData> data(dock.view()->prepareDrag());
        QCOMPARE(data->data(MimeFormats::questionDragFormat), QStringLiteral("2\nВы взяли деньги?").toUtf8());
        QCOMPARE(data->property("1").toInt(), m_question);

        QStandardItem *target = find(dock.model(), "Theft");
        const DragOutcome outcome = dragTo(dock, centreOf(dock, target), data.data());
        QVERIFY(outcome.dropped);
        QCOMPARE(outcome.moveAction, Qt::MoveAction);
        QCOMPARE(outcome.frame, dock.view()->visualRect(viewIndex(dock, target)));
        QVERIFY(dock.view()->dropFrame().isNull());
        SpravDB::bUSA = false;
        QCOMPARE(count(m_path, "quest"), 0);
        const QVariantList moved = questRows(m_path, "quest_usa");
        QCOMPARE(moved.size(), 1);
        QCOMPARE(moved.first().toString(), QStringLiteral("%1:%2:2\nВы взяли деньги?").arg(dock.currentItem()->data(SpravDB::IdRole).toInt()).arg(m_usaFolder));
        QCOMPARE(dock.currentItem()->parent(), target);
        QCOMPARE(find(dock.model(), "Кража")->rowCount(), 0);
    }

    void dropsFromElsewhereCopyOntoContainersOnly()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        QScopedPointer<QMimeData> data(MimeFormats::questionsDockDrag(104, QStringLiteral("R"), m_question));
        QStandardItem *folder = find(dock.model(), "Пустая");
        DragOutcome outcome = dragTo(dock, centreOf(dock, folder), data.data());
        QVERIFY(outcome.dropped);
        QCOMPARE(outcome.moveAction, Qt::CopyAction);
        QCOMPARE(count(m_path, "quest"), 2);
        QCOMPARE(kindOf(folder->child(0)), 104);

        // Onto a question, onto empty space, or of another format: refused.
        outcome = dragTo(dock, centreOf(dock, find(dock.model(), "Вы взяли деньги?")), data.data());
        QVERIFY(outcome.entered && !outcome.movable && outcome.frame.isNull());
        outcome = dragTo(dock, QPoint(5, dock.view()->viewport()->height() - 5), data.data());
        QVERIFY(outcome.entered && !outcome.movable);
        QMimeData other;
        other.setData(MimeFormats::methodicDragFormat, QByteArray("x"));
        QVERIFY(!dragTo(dock, centreOf(dock, folder), &other).entered);
        QCOMPARE(count(m_path, "quest"), 2);

        QMimeData plain;
        plain.setText(QStringLiteral("строка\nещё строка"));
        QVERIFY(dragTo(dock, centreOf(dock, folder), &plain).dropped);
        QCOMPARE(dock.currentItem()->text(), QStringLiteral("строка ещё строка"));
        QCOMPARE(kindOf(dock.currentItem()), -1);
    }

    void dropFrameIsPainted()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        QScopedPointer<QMimeData> data(MimeFormats::questionsDockDrag(0, QStringLiteral("q"), 1));
        QWidget *viewport = dock.view()->viewport();
        const QPoint pos = centreOf(dock, find(dock.model(), "Кража"));
        QDragEnterEvent enter(pos, Qt::CopyAction, data.data(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(pos, Qt::CopyAction, data.data(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        const QRect frame = dock.view()->dropFrame();
        QVERIFY(!frame.isNull());
        const QImage image = viewport->grab().toImage();
        for (int inset = 1; inset <= 3; ++inset)
            QCOMPARE(image.pixelColor(frame.left() + inset, frame.center().y()), QColor(Qt::black));
        QDragLeaveEvent leave;
        QApplication::sendEvent(viewport, &leave);
        QVERIFY(dock.view()->dropFrame().isNull());
    }

    void refusedWritesChangeNothing()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        SpravFixtures::WriteLock lock(m_path);
        const QByteArray before = fileBytes(m_path);
        QStandardItem *question = find(dock.model(), "Вы взяли деньги?");
        QStandardItem *folder = find(dock.model(), "Пустая");
        MessageBoxAnswerer &answerer = m_book.answer({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok,
                                     QMessageBox::Ok, QMessageBox::Ok});

        select(dock, folder);
        dock.onAddQuestAsC();
        dock.action_AddFolder();
        QCOMPARE(folder->rowCount(), 0);
        select(dock, question);
        dock.onMakeQuestAsN();
        QCOMPARE(kindOf(question), int(QuestionKind::Test));
        QCOMPARE(colourOf(question), QColor(127, 0, 0));
        QLineEdit editor;
        editor.setText(QStringLiteral("другой текст"));
        dock.view()->itemDelegate()->setModelData(&editor, dock.view()->model(), viewIndex(dock, question));
        QCOMPARE(question->text(), QStringLiteral("Вы взяли деньги?"));
        dock.action_DeleteQuest();
        QVERIFY(find(dock.model(), "Вы взяли деньги?"));

        // A move whose copy is refused keeps its source.
        QScopedPointer<QMimeData> data(dock.view()->prepareDrag());
        dragTo(dock, centreOf(dock, folder), data.data());
        QVERIFY(find(dock.model(), "Вы взяли деньги?"));
        QCOMPARE(folder->rowCount(), 0);

        QCOMPARE(answerer.asked().size(), 6);
        QVERIFY(answerer.asked().first().contains(m_path));
        QCOMPARE(answerer.unexpected(), 0);
        QCOMPARE(fileBytes(m_path), before);
    }

    void bookThatIsNoDatabaseIsTold()
    {
        SpravQuestionsDockWindow dock;
        showBoth(dock);
        const QByteArray garbage = QByteArray("no database here\n").repeated(100);
        {
            QFile file(m_path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(garbage);
        }
        MessageBoxAnswerer &answerer = m_book.answer({QMessageBox::Ok});
        select(dock, find(dock.model(), "Кража"));
        dock.onAddQuestAsN();
        QCOMPARE(answerer.asked().size(), 1);
        QCOMPARE(find(dock.model(), "Кража")->rowCount(), 1);
        QCOMPARE(fileBytes(m_path), garbage);
    }
};

VUG_TEST_MAIN(TestSpravQuestionsDock, QApplication)
#include "tst_spravquestionsdock.moc"
