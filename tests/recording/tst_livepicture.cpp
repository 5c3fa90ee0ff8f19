#include "polygram/drawG.h"
#include "recording/LivePicture.h"
#include "recording/SweepPacing.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/support/ImageCompare.h"
#include "tests/support/TestHome.h"

#include <QPainter>

// The kept live picture against a whole drawPolygram pass at the same
// position, through ticks of a recording and the changes that redraw it.
class TestLivePicture : public QObject
{
    Q_OBJECT

private:
    static constexpr int Length = 6000;
    // Points of the baseline-filtered curves lying at a pixel boundary move
    // by a pixel as the filter's mean follows the recording, a few a round.
    static constexpr int StrayPixels = 24;

    // A recording's buffers, filled up to the position as the reader does.
    struct Recording {
        PolygramFixture fixture;
        QVector<QVector<qint16>> recorded;
        drawG painter{&fixture.test, 1000};
        LivePicture picture;
        int n = 0;
        const QSize size{800, 500};

        Recording()
        {
            fixture.fill(Length);
            for (int code = 0; code < ChannelCode::Count; ++code) {
                QVector<qint16> &samples = *fixture.test.samples(code);
                recorded << samples;
                // As long as the reader's: the baseline filter's mean drifts as slowly.
                samples.fill(0, PolygramFixture::kHour);
            }
        }
        void advanceTo(int position)
        {
            for (int code = 0; code < ChannelCode::Count; ++code)
                std::copy(recorded[code].begin() + n, recorded[code].begin() + position,
                          fixture.test.samples(code)->begin() + n);
            n = position;
        }
        QImage white() const
        {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            return image;
        }
        // The round at n; empty when its picture matches the one drawn whole
        // at n and each sub-frame shows its offset within a pixel.
        QString compareRound()
        {
            const SweepPacing row = SweepPacing::of(painter.timeScale);
            const float lastOffset = (row.subFrames - 1) * row.step;
            picture.update(painter, size, n, lastOffset);
            for (int k = 0; k < row.subFrames; ++k) {
                const float shown = picture.shownOffset(k * row.step);
                if (shown < k * row.step || shown >= k * row.step + 1)
                    return QStringLiteral("n %1 sub-frame %2 shows offset %3").arg(n).arg(k).arg(shown);
            }
            LivePicture fresh;
            fresh.update(painter, size, n, lastOffset);
            QImage kept = white();
            QImage whole = white();
            {
                QPainter frame(&kept);
                picture.draw(frame, lastOffset);
                QPainter pass(&whole);
                fresh.draw(pass, lastOffset);
            }
            const int apart = pixelsApart(kept, whole);
            return apart > StrayPixels ? QStringLiteral("n %1: %2 pixels apart").arg(n).arg(apart) : QString();
        }
    };

    // Ticks one position at a time; rounds draw only the newest columns but
    // where a mark's interval ends.
    static void tick(Recording &recording, int ticks)
    {
        int whole = 0;
        for (int i = 0; i < ticks; ++i) {
            recording.advanceTo(recording.n + 1);
            const QString apart = recording.compareRound();
            QVERIFY2(apart.isEmpty(), qPrintable(apart));
            whole += recording.picture.drewWhole();
        }
        QVERIFY(whole <= 1);
    }

    // After a change the next round draws the whole picture, which matches.
    static void afterChange(Recording &recording)
    {
        recording.advanceTo(recording.n + 1);
        const QString apart = recording.compareRound();
        QVERIFY2(apart.isEmpty(), qPrintable(apart));
        QVERIFY(recording.picture.drewWhole());
    }

private slots:
    void keptPictureEqualsTheWholePass()
    {
        Recording recording;
        // Marks only up to the position: the last one is the one Backspace removes.
        for (QVector<InspectionLabel> *marks : {&recording.fixture.test.labels, &recording.fixture.test.labelsNULL})
            marks->erase(std::remove_if(marks->begin(), marks->end(),
                                        [](const InspectionLabel &mark) { return mark.TickQEnd >= 1150; }),
                         marks->end());
        recording.advanceTo(1200);
        afterChange(recording);
        tick(recording, 30);

        // A channel dragged on the screen.
        recording.fixture.test.channel(ChannelCode::GSR).Offset += 40;
        afterChange(recording);
        tick(recording, 5);

        // Backspace.
        recording.fixture.test.removeLastLabel();
        afterChange(recording);
        tick(recording, 5);

        recording.painter.timeScale = 4000;
        afterChange(recording);
        tick(recording, 20);
        recording.advanceTo(4500);
        afterChange(recording);
        tick(recording, 20);

        recording.painter.timeScale = 2750;
        afterChange(recording);
        tick(recording, 20);
    }
};

VUG_TEST_MAIN(TestLivePicture, QGuiApplication)
#include "tst_livepicture.moc"
