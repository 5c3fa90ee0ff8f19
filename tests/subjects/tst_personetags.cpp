#include "data/FileChooser.h"
#include "data/SpravDB.h"
#include "resources/VugResources.h"
#include "subjects/PersoneSearchDlg.h"
#include "subjects/PersoneSearchMatch.h"
#include "subjects/PersoneTagsWidget.h"
#include "subjects/SubjectPackage.h"
#include "subjects/TagTreeBounds.h"
#include "subjects/TagTreeText.h"
#include "tests/data/SpravFixtures.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QValidator>

#include <sys/stat.h>

namespace {

QAction *action(PersoneTagsWidget &tab, const QString &text)
{
    for (QAction *candidate : tab.editActions()) {
        if (candidate->text().startsWith(text))
            return candidate;
    }
    return nullptr;
}

QString storedTags()
{
    SpravDB sprav;
    QString text;
    sprav.readTags(text);
    return text;
}

void storeTags(const QString &text)
{
    SpravDB sprav;
    QCOMPARE(sprav.writeTags(text), SpravDB::Result::Done);
}

// Lines of count keys, each in folders of its own MaxTagDepth deep: MaxTagDepth
// items a key. ids, when given, gets the subject's key list.
QString deepKeyLines(int count, const QString &name, QString *ids = nullptr)
{
    QString lines;
    for (int n = 0; n < count; ++n) {
        const QUuid id = QUuid::createUuid();
        lines += tagLine(id, false, QStringLiteral("%1%2/").arg(name).arg(n).repeated(MaxTagDepth - 1) + name);
        if (ids)
            *ids += id.toString() + '\t';
    }
    return lines;
}

// Adds a key below the current item and names it.
QModelIndex addKey(PersoneTagsWidget &tab, const QString &name)
{
    action(tab, "Добавить ключ")->trigger();
    const QModelIndex added = tab.treeView()->currentIndex();
    tab.model()->setData(added, name);
    return added;
}

QModelIndex addFolder(PersoneTagsWidget &tab, const QString &name, bool control)
{
    if (control)
        QTest::keyPress(tab.treeView(), Qt::Key_Control, Qt::ControlModifier);
    action(tab, "Добавить папку")->trigger();
    if (control)
        QTest::keyRelease(tab.treeView(), Qt::Key_Control, Qt::NoModifier);
    const QModelIndex added = tab.treeView()->currentIndex();
    tab.model()->setData(added, name);
    return added;
}

void setChecked(PersoneTagsWidget &tab, const QString &path, bool checked)
{
    const QStringList parts = path.split('/');
    QModelIndex index;
    for (const QString &part : parts) {
        const QModelIndexList found = tab.model()->match(tab.model()->index(0, 0, index), Qt::DisplayRole, part, 1,
                                                         Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(path));
        index = found.first();
    }
    tab.model()->setData(index, checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

void switchView(PersoneTagsWidget &tab)
{
    tab.showTagsChecked()->click();
}

}  // namespace

class TestPersoneTags : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void keysExportedDeletedAndImportedComeBackIdentical();
    void eachSubjectKeepsItsOwnMarks();
    void unknownKeysSurviveAcceptAndViewSwitch();
    void keysTheBookLacksAreShownAndFound_data();
    void keysTheBookLacksAreShownAndFound();
    void importedSubjectIsFoundByKeysTheBookLacks_data();
    void importedSubjectIsFoundByKeysTheBookLacks();
    void checkedViewListsTheTickedKeysAndLocksEditing();
    void unusableReferenceBookIsNotOverwritten();
    void failedWriteKeepsTheDialogOpen();
    void deleteAsksFirst();
    void foldersGoToTheTopOnlyWithControl();
    void editorRefusesSlashTabAndLineBreaks();
    void importTellsWhatItCouldNotRead();
    void importAddsNoKeysPastTheBounds();
    void bookPastTheBoundsIsShownWithoutItsTree_data();
    void bookPastTheBoundsIsShownWithoutItsTree();

private:
    QTemporaryDir *m_dir = nullptr;
    QStringList m_answers;
    QList<FileChooser::Request> m_requests;
};

void TestPersoneTags::initTestCase()
{
    initVugResources();
    FileChooser::setChooser([this](const FileChooser::Request &request) {
        m_requests << request;
        return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    });
}

void TestPersoneTags::init()
{
    m_dir = new QTemporaryDir;
    SpravDB::sPathFileSprav = m_dir->filePath("sprav.sqmz");
    m_answers.clear();
    m_requests.clear();
}

void TestPersoneTags::cleanup()
{
    SpravDB::sPathFileSprav.clear();
    delete m_dir;
}

void TestPersoneTags::keysExportedDeletedAndImportedComeBackIdentical()
{
    PersoneTagsWidget tab;
    tab.loadTagModel(QString());
    addFolder(tab, "Города", true);
    addKey(tab, "Москва");
    addKey(tab, "Казань");
    addFolder(tab, "Районы", false);   // beside the keys, inside "Города"
    addKey(tab, "Центр");
    tab.treeView()->setCurrentIndex(QModelIndex());
    addKey(tab, "Без папки");
    setChecked(tab, "Города/Москва", true);
    QString before = tagTreeText(tab.model());
    QCOMPARE(before.count('\n'), 4);
    QVERIFY(before.contains("\t1\tГорода/Москва\n"));
    QVERIFY(before.contains("\t0\tГорода/Районы/Центр\n"));

    m_answers << m_dir->filePath("keys");
    action(tab, "Экспорт")->trigger();
    QCOMPARE(m_requests.last().caption, QString("Выбор файла для экспорта ключей"));
    QCOMPARE(m_requests.last().filter, QString("*.kqmz"));
    QVERIFY(QFile::exists(m_dir->filePath("keys.kqmz")));

    MessageBoxAnswerer answerer({QMessageBox::Yes, QMessageBox::Yes});
    while (tab.model()->rowCount() > 0) {
        tab.treeView()->setCurrentIndex(tab.model()->index(0, 0));
        action(tab, "Удалить")->trigger();
    }
    QCOMPARE(answerer.asked().size(), 2);

    m_answers << m_dir->filePath("keys.kqmz");
    action(tab, "Импорт")->trigger();
    QCOMPARE(m_requests.last().caption, QString("Выбор файла для ипорта ключей"));
    QCOMPARE(m_requests.last().parent, nullptr);
    // The import sorts every level by name; its ticks are the subject's, who had none.
    before.replace("\t1\t", "\t0\t");
    QString sorted;
    for (const char *path : {"Без папки", "Города/Казань", "Города/Москва", "Города/Районы/Центр"})
        sorted += QRegularExpression("[^\n]*\t" + QRegularExpression::escape(QString(path)) + "\n").match(before).captured();
    QCOMPARE(tagTreeText(tab.model()), sorted);

    QString subject;
    QVERIFY(tab.saveTags(subject));
    QCOMPARE(storedTags(), sorted);
    QCOMPARE(answerer.unexpected(), 0);
}

void TestPersoneTags::eachSubjectKeepsItsOwnMarks()
{
    const QUuid one = QUuid::createUuid();
    const QUuid two = QUuid::createUuid();
    storeTags(one.toString() + "\t0\tПапка/Первый\n" + two.toString() + "\t0\tВторой\n");
    const QString otherSubject = two.toString() + '\t';

    PersoneTagsWidget first;
    first.loadTagModel(QString());
    setChecked(first, "Папка/Первый", true);
    QString firstTags;
    QVERIFY(first.saveTags(firstTags));
    QCOMPARE(firstTags, one.toString() + '\t');

    PersoneTagsWidget other;
    other.loadTagModel(otherSubject);
    QCOMPARE(tagTreeText(other.model()), one.toString() + "\t0\tПапка/Первый\n" + two.toString() + "\t1\tВторой\n");

    PersoneTagsWidget again;
    again.loadTagModel(firstTags);
    QVERIFY(tagTreeText(again.model()).startsWith(one.toString() + "\t1\t"));
}

void TestPersoneTags::unknownKeysSurviveAcceptAndViewSwitch()
{
    const QUuid known = QUuid::createUuid();
    const QUuid unknown = QUuid::createUuid();
    storeTags(known.toString() + "\t0\tИзвестный\n");
    PersoneTagsWidget tab;
    tab.loadTagModel(unknown.toString() + '\t' + known.toString() + '\t');
    switchView(tab);
    switchView(tab);
    QString tags;
    QVERIFY(tab.saveTags(tags));
    QCOMPARE(tags, known.toString() + '\t' + unknown.toString() + '\t');
}

void TestPersoneTags::keysTheBookLacksAreShownAndFound_data()
{
    QTest::addColumn<QString>("keptPath");  // as the subject file names the key
    QTest::addColumn<QString>("shownPath");
    const QUuid id("{0c1d2e3f-4a5b-6c7d-8e9f-a0b1c2d3e4f5}");
    QTest::newRow("named by the subject file") << "Место работы/Завод" << "Место работы/Завод";
    QTest::newRow("identifier only") << "" << "Ключи не из справочника/" + id.toString();
}

// A subject brought from another computer: the book here lacks its key.
void TestPersoneTags::keysTheBookLacksAreShownAndFound()
{
    QFETCH(QString, keptPath);
    QFETCH(QString, shownPath);
    const QUuid id("{0c1d2e3f-4a5b-6c7d-8e9f-a0b1c2d3e4f5}");
    const QString local = QUuid::createUuid().toString() + "\t0\tМесто работы/Склад\n";
    storeTags(local);
    const QString line = id.toString() + "\t1\t" + shownPath + '\n';
    PersoneTagsWidget tab;
    tab.loadTagModel(id.toString() + '\t', keptPath.isEmpty() ? "" : id.toString() + "\t1\t" + keptPath + '\n');
    QCOMPARE(tagTreeText(tab.model()), local + line);
    const QModelIndex shown = tab.model()->match(tab.model()->index(0, 0), TagIdRole, id, 1, Qt::MatchRecursive)[0];
    QVERIFY(!shown.data(Qt::ToolTipRole).toString().isEmpty());

    QString tags;
    QString lines;
    QVERIFY(tab.saveTags(tags, &lines));
    QCOMPARE(tags, id.toString() + '\t');
    QCOMPARE(lines, line);
    PersoneSearchDlg::_Conditions conditions;
    PersoneSearchDlg search(nullptr, &conditions);
    const QScopedPointer<QStandardItemModel> book(search.loadTagModel());
    QVERIFY(tagTextIds(tagTreeText(book.data())).contains(id));
}

void TestPersoneTags::importedSubjectIsFoundByKeysTheBookLacks_data()
{
    QTest::addColumn<QString>("keptPath");
    QTest::addColumn<QString>("shownPath");  // "{id}" stands for the key's identifier; empty: no key added
    QTest::newRow("named by the subject file") << "Место работы/Завод" << "Место работы/Завод";
    QTest::newRow("the book's key of the same path") << "Место работы/Склад" << "";
    QTest::newRow("identifier only") << "" << "Ключи не из справочника/{id}";
    QTest::newRow("deeper than a tree shows") << QString("п/").repeated(MaxTagDepth) + "к"
                                              << "Ключи не из справочника/{id}";
}

// Imported into a store whose book lacks the subject's key: a search can choose the key at once.
void TestPersoneTags::importedSubjectIsFoundByKeysTheBookLacks()
{
    QFETCH(QString, keptPath);
    QFETCH(QString, shownPath);
    const QUuid id = QUuid::createUuid();
    shownPath.replace("{id}", id.toString());
    const QUuid localId = QUuid::createUuid();
    const QString local = localId.toString() + "\t0\tМесто работы/Склад\n";
    const bool joins = shownPath.isEmpty();
    const QUuid found = joins ? localId : id;
    storeTags(local);
    const QString subject = m_dir->filePath("Петров.qmz");
    StoreFixtures::makeSubjectFile(subject);
    InspectionPerson person;
    person.Tags = id.toString() + '\t';
    person.TagPaths = id.toString() + "\t1\t" + keptPath + '\n';
    QCOMPARE(Inspection(subject).savePerson(person), StoreResult::Ok);
    const auto replace = [](const QString &) { return true; };
    const QString package = SubjectPackage::exportSubject(subject, m_dir->path(), replace).package;
    const QString store = m_dir->filePath("new");
    QVERIFY(QDir().mkpath(store));

    for (int round = 0; round < 2; ++round) {  // a second import adds nothing
        const SubjectPackage::ImportResult read = SubjectPackage::importPackage(package, store, replace);
        QCOMPARE(read.addedKeys, round || joins ? QStringList() : QStringList{shownPath});
        QCOMPARE(read.joinedKeys, joins ? QStringList{keptPath} : QStringList());
        QCOMPARE(read.report().contains("ключами справочника с тем же путём"), joins);
        QCOMPARE(storedTags(), joins ? local : local + id.toString() + "\t0\t" + shownPath + '\n');
    }
    InspectionPerson imported;
    Inspection(store + "/Петров.qmz").loadPerson(imported);
    QCOMPARE(imported.Tags, found.toString() + '\t');
    PersoneSearchDlg::_Conditions conditions;
    PersoneSearchDlg search(nullptr, &conditions);
    auto *book = qobject_cast<QStandardItemModel *>(search.findChild<QTreeView *>()->model());
    const QModelIndexList key = book->match(book->index(0, 0), TagIdRole, found, 1, Qt::MatchRecursive);
    QCOMPARE(key.size(), 1);
    book->setData(key[0], Qt::Checked, Qt::CheckStateRole);
    search.accept();
    conditions.bUseTags = true;  // the only condition
    conditions.bUseSearch = false;
    QCOMPARE(checkSubjectFile(conditions, store + "/Петров.qmz"), SubjectCheck::Match);
}

void TestPersoneTags::checkedViewListsTheTickedKeysAndLocksEditing()
{
    const QUuid a = QUuid::createUuid();
    const QUuid b = QUuid::createUuid();
    storeTags(a.toString() + "\t0\tП/А\n" + b.toString() + "\t0\tП/Б\n");
    PersoneTagsWidget tab;
    QSignalSpy okEnabled(&tab, &PersoneTagsWidget::acceptEnabledChanged);
    tab.loadTagModel(a.toString() + '\t' + b.toString() + '\t');

    switchView(tab);
    QCOMPARE(tab.model()->rowCount(), 2);
    QCOMPARE(tab.model()->item(0)->text(), QString("П/А"));
    for (QAction *edit : tab.editActions())
        QVERIFY(!edit->isEnabled());
    QCOMPARE(okEnabled.takeLast().at(0).toBool(), false);

    tab.model()->item(1)->setCheckState(Qt::Unchecked);
    switchView(tab);
    QCOMPARE(tagTreeText(tab.model()), a.toString() + "\t1\tП/А\n" + b.toString() + "\t0\tП/Б\n");
    for (QAction *edit : tab.editActions())
        QVERIFY(edit->isEnabled());
    QCOMPARE(okEnabled.takeLast().at(0).toBool(), true);
    QString tags;
    QVERIFY(tab.saveTags(tags));
    QCOMPARE(tags, a.toString() + '\t');
}

void TestPersoneTags::unusableReferenceBookIsNotOverwritten()
{
    QFile book(SpravDB::sPathFileSprav);
    QVERIFY(book.open(QIODevice::WriteOnly));
    const QByteArray bytes("это не база данных, а текст\n");
    book.write(bytes);
    book.close();
    const QUuid kept = QUuid::createUuid();

    PersoneTagsWidget tab;
    tab.loadTagModel(kept.toString() + '\t');
    addKey(tab, "Новый ключ");
    MessageBoxAnswerer answerer({QMessageBox::Ok});
    QString tags;
    QVERIFY(tab.saveTags(tags));
    QCOMPARE(answerer.asked().size(), 1);
    QVERIFY(tags.contains(kept.toString()));
    QVERIFY(book.open(QIODevice::ReadOnly));
    QCOMPARE(book.readAll(), bytes);
}

void TestPersoneTags::failedWriteKeepsTheDialogOpen()
{
    storeTags(QStringLiteral("-"));
    PersoneTagsWidget tab;
    tab.loadTagModel(QString());
    addKey(tab, "Ключ");
    SpravFixtures::WriteLock lock(SpravDB::sPathFileSprav);
    MessageBoxAnswerer answerer({QMessageBox::Ok});
    QString tags = "как было";
    QVERIFY(!tab.saveTags(tags));
    QCOMPARE(tags, QString("как было"));
    QCOMPARE(answerer.asked().size(), 1);
}

void TestPersoneTags::deleteAsksFirst()
{
    PersoneTagsWidget tab;
    tab.loadTagModel(QString());
    addFolder(tab, "Папка", true);
    addKey(tab, "Ключ");
    tab.treeView()->setCurrentIndex(tab.model()->index(0, 0));
    MessageBoxAnswerer answerer({QMessageBox::No, QMessageBox::Yes});
    action(tab, "Удалить")->trigger();
    QCOMPARE(tab.model()->rowCount(), 1);
    QCOMPARE(answerer.asked().first(),
             QString("Перед удалением рекомендуем сделать Экспорт ключей для возможного последующего "
                     "восстановления.\nВы хотите продолжить удаление ?"));
    action(tab, "Удалить")->trigger();
    QCOMPARE(tab.model()->rowCount(), 0);
    // An empty tree is stored as such.
    QString tags;
    QVERIFY(tab.saveTags(tags));
    QCOMPARE(storedTags(), QString());
}

void TestPersoneTags::foldersGoToTheTopOnlyWithControl()
{
    PersoneTagsWidget tab;
    tab.loadTagModel(QString());
    // On an empty tree the top is the only place.
    const QModelIndex top = addFolder(tab, "Верх", false);
    QCOMPARE(tab.model()->rowCount(), 1);
    addFolder(tab, "Внутри", false);
    QCOMPARE(tab.model()->rowCount(top), 1);
    addFolder(tab, "Снова верх", true);
    QCOMPARE(tab.model()->rowCount(), 2);
    QVERIFY(isTagFolder(tab.model()->index(1, 0)));
    tab.treeView()->setCurrentIndex(QModelIndex());
    action(tab, "Добавить папку")->trigger();
    QCOMPARE(tab.model()->rowCount(), 2);
}

void TestPersoneTags::editorRefusesSlashTabAndLineBreaks()
{
    PersoneTagsWidget tab;
    tab.loadTagModel(QString());
    const QModelIndex key = addKey(tab, "Ключ");
    tab.show();
    action(tab, "Изменить")->trigger();
    auto *editor = tab.treeView()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->clear();
    QTest::keyClicks(editor, "A/B");
    QCOMPARE(editor->text(), QString("AB"));
    for (QString name : {"a\tb", "a\nb", "a/b"}) {
        int position = 0;
        QCOMPARE(editor->validator()->validate(name, position), QValidator::Invalid);
    }
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(key.data().toString(), QString("AB"));
}

void TestPersoneTags::importTellsWhatItCouldNotRead()
{
    PersoneTagsWidget tab;
    tab.loadTagModel(QString());
    addKey(tab, "Остаётся");
    const QString shown = tagTreeText(tab.model());
    MessageBoxAnswerer answerer({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok,
                                 QMessageBox::Ok});

    // Missing, a FIFO that would block the read, too large to be a key file.
    const QString fifo = m_dir->filePath("fifo.kqmz");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile large(m_dir->filePath("large.kqmz"));
    QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(MaxTagFileBytes + 1));
    large.close();
    for (const QString &path : {m_dir->filePath("нет такого.kqmz"), fifo, large.fileName()}) {
        m_answers << path;
        action(tab, "Импорт")->trigger();
        QCOMPARE(tagTreeText(tab.model()), shown);
    }
    QVERIFY2(answerer.asked().last().contains("МБ"), qPrintable(answerer.asked().last()));

    QFile binary(m_dir->filePath("binary.kqmz"));
    QVERIFY(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("\xFF\xFE\x01\x02\x80\n\x90\x91", 8));
    binary.close();
    m_answers << binary.fileName();
    action(tab, "Импорт")->trigger();
    QCOMPARE(tagTreeText(tab.model()), shown);

    QFile mixed(m_dir->filePath("mixed.kqmz"));
    QVERIFY(mixed.open(QIODevice::WriteOnly));
    const QUuid id = QUuid::createUuid();
    mixed.write(QByteArray("\x00 до конца строки\n", 31));  // the keys after it stay
    mixed.write(("две\tчасти\n" + id.toString() + "\t0\tЯ/Ключ\n\xC0\xC1\n").toUtf8());
    mixed.close();
    m_answers << mixed.fileName();
    action(tab, "Импорт")->trigger();
    QCOMPARE(tagTreeText(tab.model()), id.toString() + "\t0\tЯ/Ключ\n");
    QCOMPARE(answerer.asked().size(), 5);
    QVERIFY2(answerer.asked().last().contains("3"), qPrintable(answerer.asked().last()));
    QCOMPARE(storedTags(), QString());
}

// Two packages of 105 000 keys each, 64 folders deep, made the book's key
// text 190 MB; any questionnaire then took minutes and gigabytes, or crashed.
void TestPersoneTags::importAddsNoKeysPastTheBounds()
{
    const int half = TagTreeBounds::MaxItems / MaxTagDepth / 2 + 1;
    const auto replace = [](const QString &) { return true; };
    QStringList reports;
    for (const QString name : {"Петров", "Сидоров"}) {
        const QString subject = m_dir->filePath(name + ".qmz");
        StoreFixtures::makeSubjectFile(subject);
        InspectionPerson person;
        person.TagPaths = deepKeyLines(half, name, &person.Tags);
        QCOMPARE(Inspection(subject).savePerson(person), StoreResult::Ok);
        const QString package = SubjectPackage::exportSubject(subject, m_dir->path(), replace).package;
        QVERIFY(QDir().mkpath(m_dir->filePath("new")));
        const SubjectPackage::ImportResult read = SubjectPackage::importPackage(package, m_dir->filePath("new"), replace);
        QCOMPARE(read.addedKeys.size(), reports.isEmpty() ? half : 0);
        reports << read.report();
    }
    QVERIFY2(reports[1].contains("не добавлены"), qPrintable(reports[1]));
    QVERIFY(TagTreeBounds::problem(storedTags()).isEmpty());
}

void TestPersoneTags::bookPastTheBoundsIsShownWithoutItsTree_data()
{
    QTest::addColumn<int>("keys");
    QTest::addColumn<bool>("shown");
    QTest::newRow("at the bound") << TagTreeBounds::MaxItems / MaxTagDepth << true;
    QTest::newRow("past the bound") << TagTreeBounds::MaxItems / MaxTagDepth + 1 << false;
}

// The questionnaire and the search build the book's tree; past the bounds
// they open without it, say why, and leave the book as it was.
void TestPersoneTags::bookPastTheBoundsIsShownWithoutItsTree()
{
    QFETCH(int, keys);
    QFETCH(bool, shown);
    const QString book = deepKeyLines(keys, "п");
    storeTags(book);
    const PeakMemory memory;
    {
        PersoneTagsWidget tab;
        tab.loadTagModel(QString());
        QCOMPARE(tab.model()->rowCount(), shown ? keys : 1);
        MessageBoxAnswerer answerer;  // the book is not written back: told when saving
        QString tags;
        QVERIFY(tab.saveTags(tags));
        QCOMPARE(answerer.asked().size(), shown ? 0 : 1);
    }
    QVERIFY2(memory.growthBytes() < 200 << 20, qPrintable(QString::number(memory.growthBytes() >> 20)));
    QCOMPARE(storedTags(), book);
    PersoneSearchDlg::_Conditions conditions;
    PersoneSearchDlg search(nullptr, &conditions);
    const QAbstractItemModel *tree = search.findChild<QTreeView *>()->model();
    QCOMPARE(tree->rowCount(), shown ? keys : 1);
    QCOMPARE(tree->index(0, 0).data().toString().contains("дерево не показано"), !shown);
}

VUG_TEST_MAIN(TestPersoneTags, QApplication)
#include "tst_personetags.moc"
