#include "BenchExamination.h"

#include <cmath>

qint16 reactingSample(const BenchTestShape &shape, int code, int tick, int n)
{
    const int span = shape.span();
    const int question = tick / span % shape.questions;
    const int sinceEnd = tick % span - span / 3;
    const bool reacts = shape.kind(question) == QuestionKind::Control && sinceEnd >= 0 && sinceEnd < 200;
    const double reaction = reacts ? std::sin(M_PI * sinceEnd / 200.0) : 0.0;
    const auto wave = [tick](int period) { return std::sin(2.0 * M_PI * tick / period); };
    switch (code) {
    case ChannelCode::PG:
    case ChannelCode::AD:
        return qint16(std::lround(300.0 * (1.0 - 0.4 * reaction) * wave(18) + 0.01 * tick));
    case ChannelCode::RG_LO:
    case ChannelCode::RG_HI:
        return qint16(std::lround(350.0 * (1.0 - 0.5 * reaction) * wave(80 + 7 * n)));
    case ChannelCode::GSR:
        return qint16(std::lround(800.0 + 250.0 * reaction + 100.0 * wave(4000) + n));
    default:
        return 0;
    }
}

Inspection::_Test recordedTest(int n, const BenchTestShape &shape)
{
    Inspection::_Test test(QStringLiteral("Тест %1").arg(n));
    for (int q = 0; q < shape.questions; ++q)
        test.addTheme(QStringLiteral("Вопрос номер %1?").arg(q), shape.kind(q), 1, -1);
    for (int code = 0; code < 13; ++code) {
        QVector<qint16> &samples = *test.samples(code);
        samples.resize(shape.ticks);
        for (int i = 0; i < shape.ticks; ++i)
            samples[i] = shape.sample(shape, code, i, n);
        test.channel(code).KodDrv = code + 1;
    }
    test.TimeMM.resize(shape.ticks);
    for (int i = 0; i < shape.ticks; ++i)
        test.TimeMM[i] = 50 * i;
    const int span = shape.span();
    for (int p = 0; p < shape.presentations; ++p) {
        for (int q = 0; q < shape.questions; ++q) {
            Inspection::_Label mark;
            mark.Group = qint16(p + 1);
            mark.Theme = qint16(q);
            mark.TickQStart = (p * shape.questions + q) * span;
            mark.TickQEnd = mark.TickQStart + span / 3;
            mark.TickAStart = mark.TickQEnd + 2;
            mark.TickAEnd = mark.TickAStart + 10;
            test.appendLabel(mark);
        }
    }
    test.ia = shape.interval;
    test.recorded = true;
    test.DateTimeRecorded = QDateTime(QDate(2024, 3, 5), QTime(9, n));
    return test;
}
