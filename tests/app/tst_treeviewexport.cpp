#include "app/services/TreeViewExport.h"

#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>

#include <functional>

namespace {

// The workbook as openpyxl reads it: cells by "B3", widths by column letter.
QJsonObject readBack(const QString &path)
{
    QProcess reader;
    reader.start(QStringLiteral(VUG_PYTHON), {QStringLiteral(VUG_XLSX_READER), path});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0) {
        qWarning() << reader.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

QJsonObject cell(const QJsonObject &book, const char *name)
{
    return book[QStringLiteral("cells")].toObject()[QLatin1String(name)].toObject();
}

bool hasCell(const QJsonObject &book, const char *name)
{
    return book[QStringLiteral("cells")].toObject().contains(QLatin1String(name));
}

double width(const QJsonObject &book, const char *column)
{
    return book[QStringLiteral("widths")].toObject()[QLatin1String(column)].toDouble();
}

// Exports the view to path and reads the workbook back; empty when either failed.
QJsonObject exportAndReadBack(QTreeView &view, const QString &path)
{
    return exportTreeViewToExcel(&view, path) ? readBack(path) : QJsonObject();
}

void fillOneGroup(QStandardItemModel &model)
{
    model.setHorizontalHeaderLabels({"Тест"});
    model.appendRow(new QStandardItem("Первый"));
}

QList<QStandardItem *> row(const QList<QVariant> &values)
{
    QList<QStandardItem *> items;
    for (const QVariant &value : values) {
        auto *item = new QStandardItem;
        item->setData(value, Qt::DisplayRole);
        items << item;
    }
    return items;
}

} // namespace

class TestTreeViewExport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString file(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    // A temporary folder of its own: workbooks other programs make in the
    // same second never meet this test's.
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(file("tmp")));
        qputenv("TMPDIR", QFile::encodeName(file("tmp")));
    }

    void groupsHeaderWidthsAndBold()
    {
        QStandardItemModel model;
        model.setHorizontalHeaderLabels({"Тест", "Балл", "Примечание"});
        auto *first = new QStandardItem("Первый");
        first->appendRow(row({"Вопрос 1", "12.5", "Да"}));
        first->appendRow(row({"Вопрос 2", "7", "нет ответа"}));
        first->appendRow(row({"Вопрос 3", "abc", ""}));
        first->child(0)->appendRow(row({"внук", "99"}));
        model.appendRow(first);
        model.appendRow(new QStandardItem("Второй"));
        QTreeView view;
        view.setModel(&model);

        const QJsonObject book = exportAndReadBack(view, file("groups.xlsx"));
        QVERIFY(!book.isEmpty());

        QCOMPARE(cell(book, "A1")["value"].toString(), QString("Тест"));
        QCOMPARE(cell(book, "C1")["value"].toString(), QString("Примечание"));
        QVERIFY(cell(book, "A1")["bold"].toBool() && cell(book, "B1")["bold"].toBool());
        QVERIFY(width(book, "A") >= 50 && width(book, "A") < 51);
        QVERIFY(width(book, "B") >= 30 && width(book, "B") < 31);
        QVERIFY(width(book, "C") >= 30 && width(book, "C") < 31);

        QCOMPARE(cell(book, "A2")["value"].toString(), QString("Первый"));
        QVERIFY(cell(book, "A2")["bold"].toBool());
        QCOMPARE(cell(book, "A3")["value"].toString(), QString("Вопрос 1"));
        QVERIFY(!cell(book, "A3")["bold"].toBool());
        QCOMPARE(cell(book, "A5")["value"].toString(), QString("Вопрос 3"));
        QCOMPARE(cell(book, "C4")["value"].toString(), QString("нет ответа"));
        for (const char *name : {"A6", "B6", "C6"})
            QVERIFY2(!hasCell(book, name), name);
        QCOMPARE(cell(book, "A7")["value"].toString(), QString("Второй"));
        QVERIFY(cell(book, "A7")["bold"].toBool());
        // The grandchild is not exported.
        QCOMPARE(book["rows"].toInt(), 7);
    }

    void childValuesAreNumbersWhereTheyReadAsNumbers()
    {
        QStandardItemModel model;
        model.setHorizontalHeaderLabels({"Тест", "Значение"});
        auto *top = new QStandardItem;
        top->setData(5, Qt::DisplayRole);
        top->appendRow(row({"a", "12.5"}));
        top->appendRow(row({"b", "7"}));
        top->appendRow(row({"c", "семь"}));
        top->appendRow(row({"d", "12,5"}));
        top->appendRow(row({"e", "nan"}));
        top->appendRow(row({"f", "inf"}));
        top->appendRow(row({"g", 3.25}));
        model.appendRow(top);
        model.appendRow(new QStandardItem("12.5"));
        QTreeView view;
        view.setModel(&model);

        const QJsonObject book = exportAndReadBack(view, file("numbers.xlsx"));
        QVERIFY(!book.isEmpty());
        QCOMPARE(cell(book, "B3")["type"].toString(), QString("n"));
        QCOMPARE(cell(book, "B3")["value"].toDouble(), 12.5);
        QCOMPARE(cell(book, "B4")["type"].toString(), QString("n"));
        QCOMPARE(cell(book, "B4")["value"].toDouble(), 7.0);
        QCOMPARE(cell(book, "B5")["type"].toString(), QString("s"));
        QCOMPARE(cell(book, "B5")["value"].toString(), QString("семь"));
        QCOMPARE(cell(book, "B6")["type"].toString(), QString("s"));
        // No number exists for these in a workbook; they stay readable text.
        QCOMPARE(cell(book, "B7")["type"].toString(), QString("s"));
        QCOMPARE(cell(book, "B8")["type"].toString(), QString("s"));
        QCOMPARE(cell(book, "B9")["value"].toDouble(), 3.25);
        // Top-level values keep their own type: a number stays one, text stays text.
        QCOMPARE(cell(book, "A2")["type"].toString(), QString("n"));
        QCOMPARE(cell(book, "A2")["value"].toDouble(), 5.0);
        QCOMPARE(cell(book, "A11")["type"].toString(), QString("s"));
        QCOMPARE(cell(book, "A11")["value"].toString(), QString("12.5"));
    }

    void valuesStayUnderTheirHeaders()
    {
        // Column 0 hidden, column 1 with an empty header, column 3 without a header item.
        QStandardItemModel model(0, 5);
        model.setHorizontalHeaderItem(0, new QStandardItem("Имя"));
        model.setHorizontalHeaderItem(1, new QStandardItem(""));
        model.setHorizontalHeaderItem(2, new QStandardItem("Балл"));
        model.setHorizontalHeaderItem(4, new QStandardItem("Итог"));
        auto *top = new QStandardItem("Группа");
        top->appendRow(row({"скрыто", "пусто", "3", "без заголовка", "итог"}));
        model.appendRow(top);
        QTreeView view;
        view.setModel(&model);
        view.setColumnHidden(0, true);

        const QJsonObject book = exportAndReadBack(view, file("columns.xlsx"));
        QVERIFY(!book.isEmpty());
        QCOMPARE(cell(book, "A1")["value"].toString(), QString("Балл"));
        QCOMPARE(cell(book, "A3")["value"].toDouble(), 3.0);
        QCOMPARE(cell(book, "B1")["value"].toString(), QString("Итог"));
        QCOMPARE(cell(book, "B3")["value"].toString(), QString("итог"));
        QVERIFY(!hasCell(book, "C1") && !hasCell(book, "C3"));
        // Without model column 0 no sheet column is the wide one.
        QVERIFY(width(book, "A") < 31);
        QVERIFY(width(book, "B") < 31);
    }

    void overlongTextIsCutToTheCellLimit()
    {
        QStandardItemModel model;
        model.setHorizontalHeaderLabels({"Текст"});
        auto *top = new QStandardItem("Длинный");
        top->appendRow(new QStandardItem(QString(40000, QChar(0x44F))));
        model.appendRow(top);
        QTreeView view;
        view.setModel(&model);
        const QJsonObject book = exportAndReadBack(view, file("long.xlsx"));
        QVERIFY(!book.isEmpty());
        QCOMPARE(cell(book, "A3")["value"].toString(), QString(32767, QChar(0x44F)));
    }

    void nothingIsWrittenWithoutAModelOrAWritableFolder()
    {
        QTreeView view;
        QVERIFY(!exportTreeViewToExcel(&view, file("none.xlsx")));
        QVERIFY(!QFileInfo::exists(file("none.xlsx")));
        QVERIFY(!exportTreeViewToExcel(nullptr, file("none.xlsx")));

        QStandardItemModel model;
        fillOneGroup(model);
        view.setModel(&model);
        QVERIFY(!exportTreeViewToExcel(&view, file("missing-folder/none.xlsx")));
    }

    void theWorkbookIsOpenedFromTheTemporaryFolder()
    {
        QStandardItemModel model;
        fillOneGroup(model);
        QTreeView view;
        view.setModel(&model);

        UrlCatcher catcher;
        exportTreeViewToExcel(&view);

        QCOMPARE(catcher.urls.size(), 1);
        const QString path = catcher.urls.first().toLocalFile();
        QVERIFY(path.startsWith(QStandardPaths::writableLocation(QStandardPaths::TempLocation)));
        QVERIFY(path.endsWith(QStringLiteral(".xlsx")));
        QCOMPARE(cell(readBack(path), "A2")["value"].toString(), QString("Первый"));

        // A second export right away gets a file of its own.
        exportTreeViewToExcel(&view);
        QCOMPARE(catcher.urls.size(), 2);
        QVERIFY(catcher.urls[1] != catcher.urls[0]);
        QFile::remove(path);
        QFile::remove(catcher.urls[1].toLocalFile());
    }

    // The temporary folder is cleared at reboot: the user is asked where to keep it.
    void theUserChoosesWhereToKeepTheWorkbookWhenNothingOpensIt()
    {
        QStandardItemModel model;
        fillOneGroup(model);
        QTreeView view;
        view.setModel(&model);

        // The offscreen platform has no program to open files with.
        const QString chosen = file("kept.xlsx");
        QString proposed;
        QString shown;
        QString reason;
        QTimer::singleShot(0, [&] { answerReason(&reason, [&] { answerSaveDialog(chosen, &proposed, &shown); }); });
        exportTreeViewToExcel(&view);
        QVERIFY2(reason.startsWith(QStringLiteral("Не найдена программа, которая открыла бы таблицу.")),
                 qPrintable(reason));
        const QFileInfo proposedFile(proposed);
        QCOMPARE(proposedFile.absolutePath(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        QCOMPARE(shown.section('\n', -1), QDir::toNativeSeparators(chosen));
        QCOMPARE(cell(readBack(chosen), "A2")["value"].toString(), QString("Первый"));
        // The proposal bears the temporary file's name; that file is gone.
        const QDir temporary(QStandardPaths::writableLocation(QStandardPaths::TempLocation));
        QVERIFY(proposedFile.fileName().startsWith(QStringLiteral("Воркел - таблица")));
        QVERIFY(!temporary.exists(proposedFile.fileName()));
    }

private:
    // Saves at the question that tells why, then goes on.
    static void answerReason(QString *asked, const std::function<void()> &next)
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(20, [=] { answerReason(asked, next); });
            return;
        }
        *asked = box->text();
        QTimer::singleShot(0, next);
        box->button(QMessageBox::Save)->click();
    }

    static void answerSaveDialog(const QString &chosen, QString *proposed, QString *shown)
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(20, [=] { answerSaveDialog(chosen, proposed, shown); });
            return;
        }
        *proposed = dialog->selectedFiles().value(0);
        dialog->selectFile(chosen);
        QTimer::singleShot(0, [shown] { answerMessage(shown); });
        static_cast<QDialog *>(dialog)->accept();
    }

    static void answerMessage(QString *shown)
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(20, [shown] { answerMessage(shown); });
            return;
        }
        *shown = box->text();
        box->accept();
    }
};

VUG_TEST_MAIN(TestTreeViewExport, QApplication)
#include "tst_treeviewexport.moc"
