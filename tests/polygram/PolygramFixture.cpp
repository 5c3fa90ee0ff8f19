#include "PolygramFixture.h"

#include "data/ChannelBindings.h"

#include <QtMath>

#include <random>

namespace {

constexpr int kQuestions = 10;  // a presentation: nine questions and a null one
constexpr int kMarkSpacing = 200;

double wave(double t, double period) { return std::sin(2 * M_PI * t / period); }

qint16 sampleOf(int code, int tick, std::mt19937 &random)
{
    const double t = tick * 0.05;
    std::uniform_int_distribution<int> noise(-300, 300);
    switch (code) {
    case ChannelCode::GSR:
        return qint16(1000 * wave(t, 120) + 400 * wave(t, 17));
    case ChannelCode::GSR_C:
        return qint16(800 + 300 * wave(t, 60));
    case ChannelCode::RG_LO:
        return qint16(1500 * wave(t, 4));
    case ChannelCode::RG_HI:
        return qint16(1200 * wave(t + 0.4, 4));
    case ChannelCode::PG:
        return qint16(1200 * wave(t, 0.8) + 800 * wave(t, 90));
    case ChannelCode::AD:
        return qint16(1000 * wave(t, 0.8) + 600 * wave(t, 40));
    case ChannelCode::TGM:
        return qint16(1150 + 100 * wave(t, 20));
    case ChannelCode::ADVANCED:
        return qint16(900 * wave(t, 3.3) + 700 * wave(t, 70));
    case ChannelCode::AD2:
        return qint16((tick % 1200) - 600);
    case ChannelCode::RG_DIFF:
        return qint16(1200 * wave(t + 0.4, 4) - 1500 * wave(t, 4));
    default:  // tremor and the microphones
        return qint16(noise(random));
    }
}

void addQuestions(Inspection::_Test &test)
{
    const int kinds[kQuestions - 1] = {QuestionKind::Neutral, QuestionKind::Control, QuestionKind::Test,
                                       QuestionKind::Neutral, QuestionKind::Test,    QuestionKind::Control,
                                       QuestionKind::IntR,    QuestionKind::Test,    QuestionKind::Neutral};
    for (int i = 0; i < kQuestions - 1; ++i) {
        Inspection::_Theme question(QStringLiteral("Вопрос %1?").arg(i + 1), kinds[i]);
        question.Number = qint16(i + 1);
        question.Answer = qint16(i % 3 - 1);
        test.themis.append(question);
    }
    test.addNullTheme(QStringLiteral("Пауза"));
}

void addMarks(Inspection::_Test &test, int ticks)
{
    for (int k = 0; (k + 1) * kMarkSpacing <= ticks; ++k) {
        Inspection::_Label mark;
        mark.Group = qint16(k / kQuestions + 1);
        mark.Theme = qint16(k % kQuestions == kQuestions - 1 ? 10000 : k % kQuestions);
        mark.TickQStart = k * kMarkSpacing + 100;
        mark.TickQEnd = mark.TickQStart + 60;
        mark.TickAStart = mark.TickQEnd + 10;
        mark.TickAEnd = mark.TickAStart + 15;
        test.appendLabel(mark);
    }
}

}  // namespace

PolygramFixture::PolygramFixture()
    : looks(channelsUI())
{
    for (int code = 0; code < ChannelCode::Count; ++code)
        looks[code] = ChannelUI::defaults(code);
    bindChannelSettings(test, false);
}

void PolygramFixture::fillOneHour()
{
    fill(kHour);
}

void PolygramFixture::addNoise(int amplitude)
{
    std::mt19937 random(29);
    std::uniform_int_distribution<int> noise(-amplitude, amplitude);
    for (int code = 0; code < ChannelCode::Count; ++code)
        for (qint16 &sample : *test.samples(code))
            sample = qint16(qBound(-32768, sample + noise(random), 32767));
}

void PolygramFixture::fill(int ticks)
{
    std::mt19937 random(17);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        QVector<qint16> &samples = *test.samples(code);
        samples.resize(ticks);
        for (int i = 0; i < ticks; ++i)
            samples[i] = sampleOf(code, i, random);
        Inspection::_Channel &record = test.channel(code);
        record.KodDrv = code + 1;
        record.Amplify = 40;
        // Stacked from the top in display order; Offset counts from the bottom.
        record.Offset = 500.0 * (ChannelCode::Count - looks[code].nChannelPos - 0.5) / ChannelCode::Count;
        looks[code].bEnable = true;
    }
    looks[ChannelCode::PG].bEnableFilter = true;
    looks[ChannelCode::ADVANCED].bEnableFilter = true;
    looks[ChannelCode::AD].bEnableFilter2 = true;
    addQuestions(test);
    addMarks(test, ticks);
    test.ia.nIALength = 5;
    test.recorded = true;
}
