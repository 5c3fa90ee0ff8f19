#include "data/FileChooser.h"
#include "data/SpravDB.h"
#include "resources/VugResources.h"
#include "subjects/PersoneSearchDlg.h"
#include "subjects/TagTreeText.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeView>

using Conditions = PersoneSearchDlg::_Conditions;

namespace {

const QUuid KeyA("{11111111-2222-3333-4444-555555555555}");
const QUuid KeyB("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}");

// The six row switches, top to bottom: text, sex, birth, keys, examination, folder.
QList<QCheckBox *> switches(PersoneSearchDlg &dialog)
{
    QList<QCheckBox *> boxes;
    for (QCheckBox *box : dialog.findChildren<QCheckBox *>()) {
        if (box->text().isEmpty())
            boxes << box;
    }
    return boxes;
}

template <class T>
T *withText(PersoneSearchDlg &dialog, const QString &text)
{
    for (T *widget : dialog.findChildren<T *>()) {
        if (widget->text().startsWith(text))
            return widget;
    }
    return nullptr;
}

QLineEdit *searchEdit(PersoneSearchDlg &dialog)
{
    return dialog.findChildren<QLineEdit *>().first();
}

QTreeView *tagTree(PersoneSearchDlg &dialog)
{
    return dialog.findChild<QTreeView *>();
}

void ok(PersoneSearchDlg &dialog)
{
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
}

void cancel(PersoneSearchDlg &dialog)
{
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
}

}  // namespace

class TestPersoneSearchDlg : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void firstOpenShowsTheDefaults();
    void lastAcceptedValuesComeBack();
    void cancelLeavesTheRecordAsItWas();
    void neitherSexIsStoredAsZero();
    void invalidPatternIsRefused();
    void helpIsReadOnceAndToggled();
    void helpPageFollowsTheLanguage();
    void checkedKeysViewShowsNamesAndCarriesUnticking();
    void folderChooserFillsTheRootFolder();

private:
    QTemporaryDir m_dir;
};

void TestPersoneSearchDlg::initTestCase()
{
    initVugResources();
    SpravDB::sPathFileSprav = m_dir.filePath("sprav.sqmz");
    SpravDB sprav;
    QCOMPARE(sprav.writeTags(KeyA.toString() + "\t0\tГорода/Москва\n" + KeyB.toString() + "\t0\tВодитель\n"),
             SpravDB::Result::Done);
}

void TestPersoneSearchDlg::firstOpenShowsTheDefaults()
{
    Conditions c;
    PersoneSearchDlg dialog(nullptr, &c);
    QCOMPARE(dialog.size(), QSize(800, 600));
    QCOMPARE(dialog.windowTitle(), QString("Условие для поиска"));
    const QList<QCheckBox *> rows = switches(dialog);
    QCOMPARE(rows.size(), 6);
    QVERIFY(rows[0]->isChecked());
    for (int row = 1; row < 6; ++row)
        QVERIFY(!rows[row]->isChecked());
    QVERIFY(searchEdit(dialog)->isEnabled());
    QVERIFY(!withText<QRadioButton>(dialog, "Мужской")->isEnabled());
    QVERIFY(withText<QRadioButton>(dialog, "Мужской")->isChecked());
    QVERIFY(!tagTree(dialog)->isEnabled());
    QVERIFY(!withText<QPushButton>(dialog, "...")->isEnabled());
    QVERIFY(withText<QPushButton>(dialog, "?")->isEnabled());
    QVERIFY(withText<QRadioButton>(dialog, "Использовать логику логического умножения")->isChecked());
    rows[3]->click();
    QVERIFY(tagTree(dialog)->isEnabled());
}

void TestPersoneSearchDlg::lastAcceptedValuesComeBack()
{
    Conditions c;
    QRect where;
    {
        PersoneSearchDlg dialog(nullptr, &c);
        dialog.show();
        dialog.setGeometry(120, 140, 700, 650);
        searchEdit(dialog)->setText("иванов|петров");
        for (QCheckBox *box : switches(dialog))
            box->click();
        withText<QRadioButton>(dialog, "Женский")->setChecked(true);
        withText<QRadioButton>(dialog, "Использовать логику логического сложения")->setChecked(true);
        QList<QDateEdit *> dates = dialog.findChildren<QDateEdit *>();
        dates[0]->setDate(QDate(1970, 2, 3));
        dates[1]->setDate(QDate(1999, 4, 5));
        dates[2]->setDate(QDate(2024, 1, 2));
        dates[3]->setDate(QDate(2024, 3, 4));
        tagTree(dialog)->model()->setData(tagTree(dialog)->model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
        where = dialog.geometry();
        ok(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(c.sSearch, QString("иванов|петров"));
    QVERIFY(!c.bUseSearch && c.bUseSex && c.bUseBirth && c.bUseTags && c.bUseInspection && c.bUseRootFolder);
    QCOMPARE(c.iSex, 2);
    QVERIFY(!c.bAnd);
    QCOMPARE(c.dateBirthFrom, QDate(1970, 2, 3));
    QCOMPARE(c.dateInspectionTo.date(), QDate(2024, 3, 4));
    QCOMPARE(c.sTags, KeyB.toString() + '\t');

    PersoneSearchDlg again(nullptr, &c);
    // Where it was left, not lower by its frame.
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.geometry(), where);
    QCOMPARE(searchEdit(again)->text(), c.sSearch);
    QVERIFY(withText<QRadioButton>(again, "Женский")->isChecked());
    QVERIFY(withText<QRadioButton>(again, "Использовать логику логического сложения")->isChecked());
    QCOMPARE(again.findChildren<QDateEdit *>()[1]->date(), QDate(1999, 4, 5));
    QVERIFY(!switches(again)[0]->isChecked() && switches(again)[5]->isChecked());
    QCOMPARE(tagTree(again)->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
}

void TestPersoneSearchDlg::cancelLeavesTheRecordAsItWas()
{
    Conditions c;
    c.sTags = KeyA.toString() + '\t';
    PersoneSearchDlg dialog(nullptr, &c);
    switches(dialog)[3]->click();
    searchEdit(dialog)->setText("другое");
    QCheckBox *onlyChecked = withText<QCheckBox>(dialog, "Показать только отмеченные теги");
    onlyChecked->click();
    tagTree(dialog)->model()->setData(tagTree(dialog)->model()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    onlyChecked->click();
    cancel(dialog);
    QCOMPARE(c.sTags, KeyA.toString() + '\t');
    QVERIFY(c.sSearch.isEmpty());
    QVERIFY(!c.bUseTags);
}

void TestPersoneSearchDlg::neitherSexIsStoredAsZero()
{
    Conditions c;
    c.iSex = 0;
    PersoneSearchDlg dialog(nullptr, &c);
    QVERIFY(!withText<QRadioButton>(dialog, "Мужской")->isChecked());
    QVERIFY(!withText<QRadioButton>(dialog, "Женский")->isChecked());
    c.iSex = 5;
    ok(dialog);
    QCOMPARE(c.iSex, 0);
}

void TestPersoneSearchDlg::invalidPatternIsRefused()
{
    Conditions c;
    PersoneSearchDlg dialog(nullptr, &c);
    dialog.show();
    searchEdit(dialog)->setText("(незакрытая");
    MessageBoxAnswerer answerer({QMessageBox::Ok});
    ok(dialog);
    QCOMPARE(answerer.asked().size(), 1);
    QVERIFY(answerer.asked().first().contains("missing closing parenthesis"));
    QVERIFY(dialog.isVisible());
    QVERIFY(c.sSearch.isEmpty());
    // Not searched by, not checked.
    switches(dialog)[0]->click();
    ok(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(c.sSearch, QString("(незакрытая"));
}

void TestPersoneSearchDlg::helpIsReadOnceAndToggled()
{
    Conditions c;
    PersoneSearchDlg dialog(nullptr, &c);
    dialog.show();
    auto *help = withText<QPushButton>(dialog, "?");
    auto *browser = dialog.findChild<QTextBrowser *>();
    QVERIFY(!browser->isVisible());
    help->click();
    QVERIFY(browser->isVisible());
    QVERIFY(help->isChecked());
    QVERIFY(browser->toPlainText().contains("регулярное выражение"));
    QCOMPARE(browser->geometry().topLeft(), searchEdit(dialog)->mapTo(&dialog, QPoint(0, searchEdit(dialog)->height() - 1)));
    QCOMPARE(browser->height(), 400);
    help->click();
    QVERIFY(!browser->isVisible());
    QVERIFY(!help->isChecked());
    browser->setPlainText("прочитано");
    help->click();
    QVERIFY(browser->isVisible());
    QCOMPARE(browser->toPlainText(), QString("прочитано"));
}

void TestPersoneSearchDlg::helpPageFollowsTheLanguage()
{
    const QString russian = VugImages::path(QStringLiteral("regexp.html"));
    QVERIFY(QFile::exists(russian));
    for (const char *code : {"ru", "en", "kz", "es"})
        QCOMPARE(PersoneSearchDlg::helpPage(code), russian);
}

void TestPersoneSearchDlg::checkedKeysViewShowsNamesAndCarriesUnticking()
{
    Conditions c;
    c.bUseTags = true;
    c.sTags = KeyA.toString() + '\t' + KeyB.toString() + '\t';
    PersoneSearchDlg dialog(nullptr, &c);
    QCheckBox *onlyChecked = withText<QCheckBox>(dialog, "Показать только отмеченные теги");
    onlyChecked->click();
    QAbstractItemModel *flat = tagTree(dialog)->model();
    QCOMPARE(flat->rowCount(), 2);
    QCOMPARE(flat->index(0, 0).data().toString(), QString("Москва"));
    QCOMPARE(flat->index(1, 0).data().toString(), QString("Водитель"));
    flat->setData(flat->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    onlyChecked->click();
    auto *tree = qobject_cast<QStandardItemModel *>(tagTree(dialog)->model());
    QCOMPARE(tagTreeText(tree), KeyA.toString() + "\t0\tГорода/Москва\n" + KeyB.toString() + "\t1\tВодитель\n");
    ok(dialog);
    QCOMPARE(c.sTags, KeyB.toString() + '\t');
}

void TestPersoneSearchDlg::folderChooserFillsTheRootFolder()
{
    QList<FileChooser::Request> requests;
    FileChooser::setChooser([&requests](const FileChooser::Request &request) {
        requests << request;
        return requests.size() == 1 ? QString("/выбранная/папка") : QString();
    });
    Conditions c;
    c.sRootFolder = "/начало";
    PersoneSearchDlg dialog(nullptr, &c);
    switches(dialog)[5]->click();
    QPushButton *select = withText<QPushButton>(dialog, "...");
    select->click();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].caption, QString("Выбор корневой папки для поиска"));
    QCOMPARE(requests[0].directory, QString("/начало"));
    QCOMPARE(requests[0].kind, FileChooser::Kind::ExistingDirectory);
    select->click();  // cancelled: the text stays
    ok(dialog);
    QCOMPARE(c.sRootFolder, QString("/выбранная/папка"));
    FileChooser::setChooser({});
}

VUG_TEST_MAIN(TestPersoneSearchDlg, QApplication)
#include "tst_personesearchdlg.moc"
