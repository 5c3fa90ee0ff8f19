// Reads a subject file the way the program does and prints, for each test, its
// plan and its recorded marks, each with its answer's start, as one JSON line
// each; the main-road test compares them with what the examiner built and recorded.
#include "data/Inspection.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: mainroad_check SUBJECT_FILE\n";
        return 2;
    }
    Inspection inspection;
    if (inspection.load(QString::fromLocal8Bit(argv[1])) != StoreResult::Ok)
        return 1;
    for (Inspection::_Test &test : inspection.tests) {
        if (test.recorded && inspection.loadRecording(&test) != StoreResult::Ok)
            return 1;
        QJsonArray plan;
        for (const Inspection::_Order &entry : test.orders)
            plan.append(QJsonArray{entry.Theme, entry.Group});
        QJsonArray marks;
        for (const Inspection::_Label &mark : test.labels)
            marks.append(QJsonArray{mark.Theme, mark.Group, mark.TickQStart, mark.TickQEnd, mark.TickAStart});
        QJsonArray questions;
        for (const QVector<Inspection::_Theme> *list : {&test.themisNULL, &test.themis}) {
            for (const Inspection::_Theme &question : *list)
                questions.append(question.Theme);
        }
        const QJsonObject line{{"name", test.name},
                               {"recorded", test.recorded},
                               {"planFault", test.planFault()},
                               {"plan", plan},
                               {"marks", marks},
                               {"questions", questions},
                               {"samples", test.dataGSR.size()}};
        QTextStream(stdout) << QJsonDocument(line).toJson(QJsonDocument::Compact) << '\n';
    }
    return 0;
}
