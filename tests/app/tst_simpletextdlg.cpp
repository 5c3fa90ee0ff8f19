#include "app/services/SimpleTextDlg.h"

#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Runs the dialog as the examination editor does: text in, exec, text out on 1.
QString editWith(SimpleTextDlg &dialog, const QString &before, QDialogButtonBox::StandardButton press)
{
    dialog.textEdit()->setPlainText(before);
    QTimer::singleShot(0, &dialog, [&dialog, press] {
        dialog.textEdit()->moveCursor(QTextCursor::End);
        QTest::keyClicks(dialog.textEdit(), QStringLiteral(" (edited)"));
        dialog.findChild<QDialogButtonBox *>()->button(press)->click();
    });
    QString text = before;
    if (dialog.exec() == 1)
        text = dialog.textEdit()->document()->toPlainText();
    return text;
}

} // namespace

class TestSimpleTextDlg : public QObject
{
    Q_OBJECT

private slots:
    void layoutAndTitle()
    {
        SimpleTextDlg dialog(QStringLiteral("Тест 1"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Воркел"));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
        QCOMPARE(dialog.findChild<QLabel *>()->text(), QStringLiteral("Тест 1:"));
        QCOMPARE(dialog.size(), QSize(600, 300));
        QVERIFY(!QApplication::overrideCursor());

        SimpleTextDlg unnamed(QString{});
        QCOMPARE(unnamed.findChild<QLabel *>()->text(), QStringLiteral(":"));
    }

    void okReturnsTheEditedTextAndCancelKeepsTheOld()
    {
        SimpleTextDlg dialog(QStringLiteral("Тест 1"));
        QCOMPARE(editWith(dialog, QStringLiteral("Комментарий"), QDialogButtonBox::Ok),
                 QStringLiteral("Комментарий (edited)"));
        QCOMPARE(dialog.result(), 1);

        SimpleTextDlg cancelled(QStringLiteral("Тест 1"));
        QCOMPARE(editWith(cancelled, QStringLiteral("Комментарий"), QDialogButtonBox::Cancel),
                 QStringLiteral("Комментарий"));
    }
};

VUG_TEST_MAIN(TestSimpleTextDlg, QApplication)
#include "tst_simpletextdlg.moc"
