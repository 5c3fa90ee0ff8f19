// The editing operations behind the editor's actions: tests, presentations and
// questions added, changed, reordered, deleted, copied, pasted and undone.
// Every edit is saved at once with an undo state.
#include "InspectionEditFancy.h"
#include "InspectionTreeView.h"
#include "MimeFormats.h"
#include "SubjectGrowth.h"
#include "data/InspectionMedia.h"
#include "data/ReadRefusal.h"
#include "data/SharedHelpers.h"
#include "data/WaitCursor.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QStandardItemModel>

#include <algorithm>

namespace {

constexpr int kIndexRole = Qt::UserRole + 1;

bool isRegular(int question) { return question >= 0 && question < QuestionKind::Null; }

// Presentation g without its marker and entries; the later ones move down by one.
void removePresentation(Inspection::_Test &test, int g)
{
    auto &orders = test.orders;
    orders.erase(std::remove_if(orders.begin(), orders.end(),
                                [g](const Inspection::_Order &entry) { return entry.Group == g; }),
                 orders.end());
    for (Inspection::_Order &entry : orders) {
        if (entry.Group > g)
            --entry.Group;
    }
    if (orders.size() == 1) {
        orders.clear();
        test.themis.clear();
        test.themisNULL.clear();
    }
}

// Removes a question and its entries; the entries of the questions after it in
// its list move down by one.
void removeQuestion(Inspection::_Test &test, int question)
{
    const bool isNull = question >= QuestionKind::Null;
    const int listEnd = isNull ? QuestionKind::Null + test.themisNULL.size() : QuestionKind::Null;
    const int subType = test.theme(question).SubType;
    if (isNull)
        test.themisNULL.removeAt(question - QuestionKind::Null);
    else
        test.themis.removeAt(question);
    auto &orders = test.orders;
    orders.erase(std::remove_if(orders.begin(), orders.end(),
                                [question](const Inspection::_Order &entry) { return entry.Theme == question; }),
                 orders.end());
    for (Inspection::_Order &entry : orders) {
        if (entry.Theme > question && entry.Theme < listEnd)
            --entry.Theme;
    }
    // Its own kind closes up, so no number is left out.
    if (QuestionKind::isInternational(subType))
        test.renumberThemes(subType);
    if (test.themis.isEmpty() && test.themisNULL.isEmpty())
        orders.clear();
}

// The regular questions in the order presentation g shows them; questions it
// misses follow in their old order. Every plan entry follows its question.
void reorderAsPresentation(Inspection::_Test &test, int g)
{
    const int count = test.themis.size();
    QVector<int> newIndex(count, -1);
    QVector<Inspection::_Theme> reordered;
    const auto take = [&](int old) {
        if (old >= 0 && old < count && newIndex[old] < 0) {
            newIndex[old] = reordered.size();
            reordered.append(test.themis[old]);
        }
    };
    for (const Inspection::_Order &entry : test.orders) {
        if (entry.Group == g)
            take(entry.Theme);
    }
    for (int old = 0; old < count; ++old)
        take(old);
    for (Inspection::_Order &entry : test.orders) {
        if (entry.Theme >= 0 && entry.Theme < count)
            entry.Theme = qint16(newIndex[entry.Theme]);
    }
    QHash<int, int> numbers;
    for (Inspection::_Theme &question : reordered) {
        if (QuestionKind::isInternational(question.SubType))
            question.Number = qint16(++numbers[question.SubType]);
    }
    test.themis = reordered;
}

}  // namespace

// --- helpers ---

// A recorded test is read-only: deleting its questions would leave its marks
// pointing at other questions.
Inspection::_Test *InspectionEditFancy::editableTest()
{
    Inspection::_Test *test = testOf(m_contextIndex);
    return test && !test->recorded ? test : nullptr;
}

Inspection::_Theme *InspectionEditFancy::editableQuestion()
{
    Inspection::_Test *test = editableTest();
    if (!test || !isQuestionItem(m_contextIndex))
        return nullptr;
    const int question = m_contextIndex.data(kIndexRole).toInt();
    const bool exists = question >= QuestionKind::Null ? question - QuestionKind::Null < test->themisNULL.size()
                                                       : question >= 0 && question < test->themis.size();
    return exists ? &test->theme(question) : nullptr;
}

bool InspectionEditFancy::saveTest(Inspection::_Test *test)
{
    const auto save = [this, test] { return m_inspection.saveTestStruct(test, true); };
    return keepsEdit(save(), save);
}

void InspectionEditFancy::saveAndRefill(Inspection::_Test *test)
{
    if (!saveTest(test))
        return;
    reloadTree(true, test);
    updateActions();
}

bool InspectionEditFancy::confirm(const QString &question)
{
    return QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void InspectionEditFancy::announceInspection()
{
    m_announcedTests = m_inspection.tests.size();
    emit notifyChangePersone(m_inspection.path, &m_inspection);
}

void InspectionEditFancy::selectTestChild(int testRow, int row, int column)
{
    QAbstractItemModel *model = m_tree->model();
    if (!model)
        return;
    const QModelIndex testItem = model->index(testRow, 0);
    const QModelIndex child = model->index(row, column, testItem);
    if (!child.isValid())
        return;
    m_tree->expand(testItem);
    m_tree->setCurrentIndex(child);
}

// --- tests ---

void InspectionEditFancy::action_AddTest()
{
    if (!isOpen())
        return;
    const Inspection::_Test added(tr("Новый тест"));
    if (!SubjectGrowth::allows(this, m_inspection, added, tr("тест не добавлен")))
        return;
    m_inspection.appendTest(added);
    if (!saveTest(&m_inspection.tests.last()))
        return;
    reloadTree(true, nullptr);
    m_tree->setCurrentIndex(m_tree->model()->index(m_inspection.tests.size() - 1, 0));
    announceInspection();
    updateActions();
}

void InspectionEditFancy::action_Delete()
{
    m_contextIndex = m_tree->currentIndex();
    Inspection::_Test *test = editableTest();
    if (!test)
        return;
    // A copy: the test itself may be gone once the question is answered.
    const QUuid id = test->id;
    if (isQuestionItem(m_contextIndex))
        deleteQuestionItem(id, m_contextIndex);
    else
        deleteTestItem(m_contextIndex);
    m_contextIndex = m_tree->currentIndex();
    updateActions();
}

void InspectionEditFancy::deleteTestItem(const QModelIndex &item)
{
    // The subject may be read anew while a question is open: the test is
    // held by its id, its row as long as the tree keeps it.
    const Inspection::_Test *asked = m_inspection.test(item.data(kIndexRole).toInt());
    if (!asked)
        return;
    const QUuid id = asked->id;
    const QPersistentModelIndex row(item);
    if (!confirm(tr("Вы действительно хотите удалить тест '%0' ?").arg(item.data().toString())))
        return;
    const auto remove = [this, id] { return m_inspection.deleteTest(id); };
    if (m_inspection.indexOfTest(id) < 0 || settle(remove(), remove) != SaveRefusal::Outcome::Saved)
        return;
    // The video goes once its test is out of the file; one that cannot go to
    // the Trash stays where it is and is named.
    const Inspection::_Test &test = m_inspection.tests[m_inspection.indexOfTest(id)];
    const bool hasMedia = QFileInfo(InspectionMedia::mediaFolder(m_inspection)).isDir();
    const QString video = hasMedia ? InspectionMedia::testVideoPath(m_inspection, test) : QString();
    if (hasMedia && !InspectionMedia::moveToTrash(video))
        QMessageBox::warning(this, tr("Воркел"),
                             tr("Тест удалён, но его видеозапись не удалось переместить в корзину:\n%1").arg(video));
    m_inspection.undoHistory.remove(id);
    m_inspection.tests.removeAt(m_inspection.indexOfTest(id));
    if (row.isValid())
        m_tree->model()->removeRow(row.row());
    reloadTree(true, nullptr);
    announceInspection();
}

void InspectionEditFancy::deleteQuestionItem(const QUuid &id, const QModelIndex &item)
{
    const int question = item.data(kIndexRole).toInt();
    if (!confirm(tr("Вы действительно хотите удалить вопрос '%0' ?").arg(item.data().toString())))
        return;
    Inspection::_Test *test = m_inspection.testWithId(id);
    if (!test || test->recorded)
        return;
    removeQuestion(*test, question);
    saveAndRefill(test);
}

void InspectionEditFancy::action_DeletePoligramme()
{
    const QModelIndex item = m_contextIndex;
    Inspection::_Test *test = testOf(item);
    if (!test || isQuestionItem(item))
        return;
    const QUuid id = test->id;
    if (!confirm(tr("Вы действительно хотите удалить полиграмму для теста '%0' ?").arg(item.data().toString())))
        return;
    const WaitCursor wait;
    // Marks moved in the review are kept before the file is read anew.
    if (settleMovedMarks() != SaveRefusal::Outcome::Saved)
        return;
    const auto deleteData = [this, id] { return m_inspection.deleteTestData(id); };
    if (!m_inspection.testWithId(id) || settle(deleteData(), deleteData) != SaveRefusal::Outcome::Saved)
        return;
    // The video goes only with its recording.
    if (const Inspection::_Test *emptied = m_inspection.testWithId(id))
        InspectionMedia::removeTestVideo(m_inspection, *emptied);
    ReadRefusal::settle(this, m_inspection.path, tr("тесты обследуемого после удаления полиграммы"),
                        [this] { return m_inspection.reread(); });
    // Loading sorts the tests anew: rows kept from before would show other tests.
    m_contextIndex = QModelIndex();
    reloadTree(false, nullptr);
    m_tree->setShowExtraInfo(m_showExtraInfo);
    m_tree->viewport()->update();
    announceInspection();
    updateActions();
}

// --- presentations ---

void InspectionEditFancy::action_AddGroup()
{
    const QModelIndex current = m_tree->currentIndex();
    Inspection::_Test *test = testOf(current);
    if (!test || test->recorded)
        return;
    // The refill rebuilds the test's rows: the position is kept as numbers.
    const int testRow = testRowOf(current);
    const int column = qMax(current.column(), 0);
    const auto addPresentation = [](Inspection::_Test &grown) { grown.addPresentation(); };
    if (!SubjectGrowth::grow(this, m_inspection, *test, addPresentation, tr("предъявление не добавлено")))
        return;
    saveAndRefill(test);
    m_tree->setShowExtraInfo(m_showExtraInfo);
    selectTestChild(testRow, test->themis.size() - 1, column);
    updateActions();
}

void InspectionEditFancy::action_DeleteGroup()
{
    Inspection::_Test *test = editableTest();
    if (!test || !isQuestionItem(m_contextIndex))
        return;
    const QUuid id = test->id;
    const int g = m_contextIndex.column() + 1;
    if (!confirm(tr("Вы действительно хотите удалить группу '%0' ?").arg(romanNumeral(g))))
        return;
    test = m_inspection.testWithId(id);
    if (!test || test->recorded)
        return;
    if (!test->orders.isEmpty())
        removePresentation(*test, g);
    saveAndRefill(test);
}

// --- questions ---

void InspectionEditFancy::addQuest(const QString &text, int kind)
{
    const WaitCursor wait;
    const QModelIndex current = m_tree->currentIndex();
    Inspection::_Test *test = testOf(current);
    if (test && !test->recorded) {
        const int testRow = testRowOf(current);
        const auto addQuestion = [&](Inspection::_Test &grown) { grown.addTheme(text, kind, -1, -1); };
        if (SubjectGrowth::grow(this, m_inspection, *test, addQuestion, tr("вопрос не добавлен"))) {
            saveAndRefill(test);
            selectTestChild(testRow, test->themis.size() + test->themisNULL.size() - 1, 0);
        }
    }
    updateActions();
}

void InspectionEditFancy::action_AddQuest0() { addQuest(tr("Нулевой вопрос"), QuestionKind::Null); }
void InspectionEditFancy::action_AddQuestN() { addQuest(tr("Нейтральный вопрос"), QuestionKind::Neutral); }
void InspectionEditFancy::action_AddQuestC() { addQuest(tr("Контрольный вопрос"), QuestionKind::Control); }
void InspectionEditFancy::action_AddQuestP() { addQuest(tr("Проверочный вопрос"), QuestionKind::Test); }
void InspectionEditFancy::onAddQuest_USA_P() { addQuest(tr("Вводный вопрос"), QuestionKind::IntP); }
void InspectionEditFancy::onAddQuest_USA_I() { addQuest(tr("Иррелевантный вопрос"), QuestionKind::IntI); }
void InspectionEditFancy::onAddQuest_USA_C() { addQuest(tr("Контрольный вопрос"), QuestionKind::IntC); }
void InspectionEditFancy::onAddQuest_USA_R() { addQuest(tr("Релевантный вопрос"), QuestionKind::IntR); }
void InspectionEditFancy::onAddQuest_USA_SR() { addQuest(tr("Жертвенный вопрос"), QuestionKind::IntSR); }
void InspectionEditFancy::onAddQuest_USA_So() { addQuest(tr("Симптоматический вопрос"), QuestionKind::IntSo); }
void InspectionEditFancy::onAddQuest_USA_GC() { addQuest(tr("Вопрос комплекса вины"), QuestionKind::IntGC); }

void InspectionEditFancy::changeQuestKind(int kind)
{
    Inspection::_Test *test = editableTest();
    const int question = m_contextIndex.data(kIndexRole).toInt();
    if (!test || !isQuestionItem(m_contextIndex) || !isRegular(question) || question >= test->themis.size())
        return;
    Inspection::_Theme &theme = test->themis[question];
    if (!MimeFormats::mapQuestKind(kind, theme))
        return;
    if (QuestionKind::isInternational(kind)) {
        // Last of its kind: numbered after all others, then closed up.
        theme.Number = qint16(test->countThemesOfSubType(theme.SubType) + 1);
        test->renumberAllThemes();
    }
    saveAndRefill(test);
}

void InspectionEditFancy::action_ChangeQuestN() { changeQuestKind(QuestionKind::Neutral); }
void InspectionEditFancy::action_ChangeQuestC() { changeQuestKind(QuestionKind::Control); }
void InspectionEditFancy::action_ChangeQuestP() { changeQuestKind(QuestionKind::Test); }
void InspectionEditFancy::action_ChangeQuest_UsaP() { changeQuestKind(QuestionKind::IntP); }
void InspectionEditFancy::action_ChangeQuest_UsaI() { changeQuestKind(QuestionKind::IntI); }
void InspectionEditFancy::action_ChangeQuest_UsaC() { changeQuestKind(QuestionKind::IntC); }
void InspectionEditFancy::action_ChangeQuest_UsaR() { changeQuestKind(QuestionKind::IntR); }
void InspectionEditFancy::action_ChangeQuest_UsaSR() { changeQuestKind(QuestionKind::IntSR); }
void InspectionEditFancy::action_ChangeQuest_UsaSo() { changeQuestKind(QuestionKind::IntSo); }
void InspectionEditFancy::action_ChangeQuest_UsaGC() { changeQuestKind(QuestionKind::IntGC); }

void InspectionEditFancy::action_ReorderQuests()
{
    Inspection::_Test *test = editableTest();
    if (!test || !isQuestionItem(m_contextIndex))
        return;
    reorderAsPresentation(*test, m_contextIndex.column() + 1);
    saveAndRefill(test);
}

// --- clipboard ---

void InspectionEditFancy::action_Copy()
{
    const Inspection::_Test *test = currentTest();
    if (!test)
        return;
    if (isQuestionItem(m_contextIndex))
        QApplication::clipboard()->setText(test->theme(m_contextIndex.data(kIndexRole).toInt()).Theme);
    else
        QApplication::clipboard()->setMimeData(MimeFormats::editorTestCopy(*test));
    updateActions();
}

void InspectionEditFancy::action_Paste()
{
    if (!isOpen())
        return;
    const WaitCursor wait;
    if (isQuestionItem(m_contextIndex))
        pasteLines(m_contextIndex);
    else
        pasteTest();
    updateActions();
}

void InspectionEditFancy::pasteTest()
{
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    const QByteArray payload = mime ? mime->data(MimeFormats::testClipboardFormat) : QByteArray();
    Inspection::_Test pasted;
    if (payload.isEmpty() || !MimeFormats::acceptTest(payload, pasted, this)
        || !SubjectGrowth::allows(this, m_inspection, pasted, tr("вставка не выполнена")))
        return;
    m_inspection.appendTest(pasted);
    if (!saveTest(&m_inspection.tests.last()))
        return;
    reloadTree(true, nullptr);
    announceInspection();
}

void InspectionEditFancy::pasteLines(const QModelIndex &item)
{
    Inspection::_Test *test = testOf(item);
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    if (!test || test->recorded || !mime)
        return;
    const QStringList lines = QString::fromUtf8(mime->data(MimeFormats::plainTextFormat))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    static const QRegularExpression breaks(QStringLiteral("[\n\t\r]"));
    for (int i = 0; i < lines.size(); ++i) {
        const QModelIndex target = item.sibling(item.row() + i, item.column());
        if (!target.isValid())
            break;
        test->theme(target.data(kIndexRole).toInt()).Theme = QString(lines[i]).remove(breaks);
    }
    saveAndRefill(test);
}

// --- undo ---

void InspectionEditFancy::onUndo()
{
    Inspection::_Test *test = currentTest();
    if (!test || test->recorded)
        return;
    const WaitCursor wait;
    const auto step = [this, test] { return m_inspection.stepUndo(test, -1); };
    if (!keepsEdit(step(), step))
        return;
    reloadTree(true, test);
    updateActions();
}

void InspectionEditFancy::onRedo()
{
    Inspection::_Test *test = currentTest();
    if (!test || test->recorded)
        return;
    const WaitCursor wait;
    const auto step = [this, test] { return m_inspection.stepUndo(test, 1); };
    if (!keepsEdit(step(), step))
        return;
    reloadTree(true, test);
    updateActions();
}
