#include "AlignmentUnits.h"
#include "data/GenericSettings.h"
#include "polygram/drawG.h"
#include "recording/AlignmentDlg.h"
#include "recording/AlignmentPlot.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QtTest>

using namespace AlignmentUnits;

namespace {

// An emulated unit behind the configured plug-in and a shown dialog on it.
struct DialogRun
{
    explicit DialogRun(const QString &fileName, int frameLimit = 100000)
        : dialog(nullptr, frameLimit, binFolder())
    {
        GenericSettings settings;
        settings.load();
        settings.sNameDriverDll = fileName;
        settings.save();
        answerFrames(unit, fileName);
        dialog.show();
    }

    EmulatedUnit unit;
    AlignmentDlg dialog;
};

}  // namespace

// The alignment dialog with its worker thread against emulated units.
class TestAlignmentDlg : public QObject
{
    Q_OBJECT

private:
    static QPushButton *button(AlignmentDlg &dialog, const QString &text)
    {
        for (QPushButton *candidate : dialog.findChildren<QPushButton *>()) {
            if (candidate->text() == text)
                return candidate;
        }
        return nullptr;
    }

    static QListView *list(AlignmentDlg &dialog) { return dialog.findChild<QListView *>(); }

    static QSpinBox *shiftBox(AlignmentDlg &dialog)
    {
        for (QSpinBox *box : dialog.findChildren<QSpinBox *>()) {
            if (box->minimum() < 0)
                return box;
        }
        return nullptr;
    }

    static bool idle(AlignmentDlg &dialog)
    {
        return !dialog.worker() && button(dialog, "Старт")->isEnabled() && !button(dialog, "Стоп")->isEnabled()
            && !list(dialog)->isEnabled() && !shiftBox(dialog)->isEnabled()
            && !dialog.findChild<QCheckBox *>()->isEnabled() && !button(dialog, "Загрузить деф.")->isEnabled();
    }

    // The share of the plot area in that colour as the X server shows it: nothing may lie over the dialog.
    static double shareOnScreen(AlignmentDlg &dialog, const QColor &colour)
    {
        auto *plot = dialog.findChild<AlignmentPlot *>();
        const QPoint at = plot->mapToGlobal(QPoint(0, 0));
        const QImage image = dialog.screen()->grabWindow(0, at.x(), at.y(), plot->width(), plot->height()).toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == colour;
        return double(count) / (image.width() * image.height());
    }

private slots:
    void acceptStoresTheAttachedUnitsCalibration()
    {
        const int mirelBefore = storedShift(mirel16, 0);
        DialogRun run("vugSensorVorkel16.so");
        EmulatedUnit &unit = run.unit;
        AlignmentDlg &dialog = run.dialog;
        QVERIFY(idle(dialog));
        QVERIFY(dialog.minimumWidth() >= 1000 && dialog.minimumHeight() >= 600);
        button(dialog, "Старт")->click();
        QVERIFY(!idle(dialog));
        QTRY_VERIFY(list(dialog)->model() && list(dialog)->model()->rowCount() > 0);
        QCOMPARE(list(dialog)->currentIndex().row(), 0);
        QVERIFY(!QApplication::overrideCursor());
        const int code = list(dialog)->currentIndex().data(Qt::UserRole + 1).toInt();

        // Both halves drawn: the baseline's band is the last one, in the left half.
        QTRY_VERIFY(QRect(drawG::lastBandRect).isValid());
        QCOMPARE(QRect(drawG::lastBandRect).left(), 0);

        shiftBox(dialog)->setValue(1234);
        const int frames = dialog.worker()->framesRead();
        QTRY_VERIFY(dialog.worker()->framesRead() > frames + 2);

        MessageBoxAnswerer answerer({QMessageBox::No, QMessageBox::Yes});
        QMetaObject::invokeMethod(&dialog, "onAccept");
        QCOMPARE(answerer.asked(), QStringList{"Вы действительно хотите завершить юстировку ?"});
        QVERIFY(dialog.worker());
        QVERIFY(storedShift(vorkel16, code) != 1234);

        QMetaObject::invokeMethod(&dialog, "onAccept");
        QCOMPARE(answerer.unexpected(), 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(idle(dialog));
        QCOMPARE(storedShift(vorkel16, code), 1234);
        QCOMPARE(storedShift(mirel16, 0), mirelBefore);
        QVERIFY(!unit.isOpen());
    }

    // The inversion is the shared display flag and stays; gain and shift are not stored.
    void cancelKeepsOnlyTheInversion()
    {
        DialogRun run("vugSensorVorkel16.so");
        AlignmentDlg &dialog = run.dialog;
        button(dialog, "Старт")->click();
        QTRY_VERIFY(list(dialog)->model() && list(dialog)->model()->rowCount() > 0);
        const int code = list(dialog)->currentIndex().data(Qt::UserRole + 1).toInt();
        DefChannel display;
        const bool inverted = *display.findByCode(code)->Inverse;
        const int before = storedShift(vorkel16, code);
        shiftBox(dialog)->setValue(before + 77);
        dialog.findChild<QCheckBox *>()->click();
        QCOMPARE(shiftBox(dialog)->value(), before + 77);
        dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(idle(dialog));
        QCOMPARE(*display.findByCode(code)->Inverse, !inverted);
        QCOMPARE(storedShift(vorkel16, code), before);
    }

    // The list a worker announced just before Stop went with the worker.
    void listAnnouncedBeforeStopIsDropped()
    {
        DialogRun run("vugSensorVorkel16.so");
        AlignmentDlg &dialog = run.dialog;
        button(dialog, "Старт")->click();
        QElapsedTimer clock;
        clock.start();
        while (!dialog.worker()->channelModel() && clock.elapsed() < 5000)
            QThread::msleep(5);
        QVERIFY(dialog.worker()->channelModel());
        button(dialog, "Стоп")->click();
        QCoreApplication::processEvents();
        QVERIFY(!list(dialog)->model() || list(dialog)->model()->rowCount() == 0);
        QVERIFY(idle(dialog));
    }

    void twelveBitUnitIsRefused()
    {
        DialogRun run("vugSensorVorkel.so", 100);
        EmulatedUnit &unit = run.unit;
        AlignmentDlg &dialog = run.dialog;
        MessageBoxAnswerer ok({QMessageBox::Ok});
        button(dialog, "Старт")->click();
        QTRY_COMPARE(ok.asked(), QStringList{"Поддерживается только для приборов от 14 бит и выше"});
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!list(dialog)->model() || list(dialog)->model()->rowCount() == 0);
        QVERIFY(!unit.isOpen());
        // Nothing runs: only Start can act.
        QTRY_VERIFY(idle(dialog));
    }

    // The plot area shows its background before Start and after Stop, the picture meanwhile.
    void plotAreaIsAlwaysPainted()
    {
        DialogRun run("vugSensorVorkel16.so");
        AlignmentDlg &dialog = run.dialog;
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_COMPARE(shareOnScreen(dialog, AlignmentPlot::Background), 1.0);
        button(dialog, "Старт")->click();
        QTRY_VERIFY(shareOnScreen(dialog, Qt::white) > 0.5);
        button(dialog, "Стоп")->click();
        QTRY_COMPARE(shareOnScreen(dialog, AlignmentPlot::Background), 1.0);
    }

    void silentUnitIsReported()
    {
        DialogRun run("vugSensorVorkel16.so");
        EmulatedUnit &unit = run.unit;
        AlignmentDlg &dialog = run.dialog;
        button(dialog, "Старт")->click();
        QTRY_VERIFY(dialog.worker()->framesRead() > 2);
        MessageBoxAnswerer ok({QMessageBox::Ok});
        unit.answer("go__", QByteArray());
        QTRY_COMPARE(ok.asked().size(), 1);
        QVERIFY(!unit.isOpen());
        button(dialog, "Стоп")->click();
        QVERIFY(idle(dialog));
    }

    void frameLimitEndsTheLoopAndStartBeginsAgain()
    {
        DialogRun run("vugSensorVorkel16.so", 5);
        EmulatedUnit &unit = run.unit;
        AlignmentDlg &dialog = run.dialog;
        button(dialog, "Старт")->click();
        QTRY_VERIFY(!unit.isOpen() && dialog.worker()->framesRead() == 5);
        QVERIFY(!idle(dialog));
        button(dialog, "Стоп")->click();
        button(dialog, "Старт")->click();
        QVERIFY(dialog.worker()->framesRead() < 5);
        QTRY_COMPARE(dialog.worker()->framesRead(), 5);
    }

    void stopIsPromptAndClosingStopsLikeCancel()
    {
        DialogRun run("vugSensorVorkel16.so");
        EmulatedUnit &unit = run.unit;
        AlignmentDlg &dialog = run.dialog;
        button(dialog, "Старт")->click();
        QElapsedTimer clock;
        clock.start();
        button(dialog, "Стоп")->click();
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(idle(dialog));
        QVERIFY(!unit.isOpen());

        button(dialog, "Старт")->click();
        QTRY_VERIFY(dialog.worker()->framesRead() > 1);
        dialog.close();
        QVERIFY(idle(dialog));
        QVERIFY(!unit.isOpen());
    }
};

VUG_TEST_MAIN(TestAlignmentDlg, QApplication)
#include "tst_alignmentdlg.moc"
