#pragma once

// Subject files as a scoring or subject test needs them, written through the
// store: tests with a question of every kind, a plan of several presentations,
// marks, synthetic samples on every channel, points and metric values, the
// pre-test conversation and photos. Grows from the store fixtures.
#include "tests/data/StoreFixtures.h"

#include <QImage>

namespace ExaminationBuilder {

// A parameter identity for measured values that the builder writes.
inline QUuid metricParameter()
{
    return QUuid(QStringLiteral("{5b0c6f1e-2d7a-4c39-8e41-7f6a2b9d0c13}"));
}

// A test with one question of each kind (neutral, control, test, the seven
// international kinds and a null question), the same plan in each of
// presentations groups and, with ticks > 0, samples and one mark per planned
// question, 60 ticks apart.
inline Inspection::_Test everyKindTest(const QString &name, int presentations, int ticks, int seed = 1)
{
    Inspection::_Test test = StoreFixtures::recordedTest(name, ticks, seed);
    test.themis.clear();
    test.themisNULL.clear();
    test.orders.clear();
    test.labels.clear();
    test.labelsNULL.clear();
    test.labelsForRestore.clear();
    const int kinds[] = {QuestionKind::Neutral, QuestionKind::Control, QuestionKind::Test,  QuestionKind::IntP,
                         QuestionKind::IntI,    QuestionKind::IntC,    QuestionKind::IntR,  QuestionKind::IntSR,
                         QuestionKind::IntSo,   QuestionKind::IntGC,   QuestionKind::Null};
    for (int kind : kinds)
        test.addTheme(QStringLiteral("Вопрос вида %1").arg(kind), kind, 1, -1);
    const QVector<InspectionOrder> first = test.orders.mid(1);
    for (int group = 2; group <= presentations; ++group) {
        for (InspectionOrder entry : first) {
            entry.Group = qint16(group);
            test.orders.append(entry);
        }
    }
    if (ticks <= 0)
        return test;
    int tick = 10;
    for (const InspectionOrder &entry : test.orders) {
        if (!entry.isQuestion())
            continue;
        Inspection::_Label mark;
        mark.Group = entry.Group;
        mark.Theme = entry.Theme;
        mark.TickQStart = tick;
        mark.TickQEnd = tick + 20;
        mark.TickAStart = tick + 25;
        mark.TickAEnd = tick + 30;
        test.appendLabel(mark);
        tick = qMin(tick + 60, ticks - 31);
    }
    return test;
}

// Points in the three scales and one measured value for every ordinary
// question of every presentation, each told apart by its numbers.
inline void score(Inspection::_Test &test, int presentations)
{
    for (int group = 1; group <= presentations; ++group) {
        for (int quest = 0; quest < test.themis.size(); ++quest) {
            Inspection::_BallValuation points;
            points.iGroup = group;
            points.iQuest = quest;
            points.GSRPar = (group + quest) % 7 - 3;
            points.FPGPar = (group * quest) % 3 - 1;
            points.nRG = (group + 2 * quest) % 3;
            test.valuationBall_3210123[group][quest] = points;
            test.valuationBall_101[group][quest] = points;
            test.valuationBall_012[group][quest] = points;
            Inspection::_MetricValuation value;
            value.iGroup = group;
            value.iQuest = quest;
            value.uidParam = metricParameter();
            value.ptStart_x = quest;
            value.ptEnd_x = quest + 10;
            value.nValue = 100 * group + quest;
            test.valuationMetric[group][quest][value.uidParam] = value;
        }
    }
    test.valuationBall_ChannelK[1] = 0.5f;
    test.valuationBall_GroupsDisabled.insert(presentations);
}

// Writes a subject file with those tests (structure, recording when it has
// samples, scores), the pre-test text and the photos; returns its path.
inline QString writeSubject(const QString &path, QVector<Inspection::_Test> tests, const QString &preTestText = {},
                            const QVector<QImage> &photos = {})
{
    Inspection subject(path);
    subject.tests = tests;
    for (Inspection::_Test &test : subject.tests) {
        subject.saveTestStruct(&test);
        if (test.samplesLoaded())
            subject.saveRecording(&test);
        subject.saveBallValuation(&test);
        subject.saveMetricValuation(&test);
    }
    if (subject.saveTestStruct(nullptr) != StoreResult::Ok)
        return QString();
    subject.preTestText = preTestText;
    if (!preTestText.isEmpty())
        subject.savePreTestConversation();
    if (!photos.isEmpty())
        subject.savePhotos(photos);
    return path;
}

}  // namespace ExaminationBuilder
