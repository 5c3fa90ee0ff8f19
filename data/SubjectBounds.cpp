#include "SubjectBounds.h"

#include "BinaryJson.h"
#include "InspectionDataType.h"
#include "InspectionStore.h"
#include "InspectionTest.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("SubjectBounds", text); }

}  // namespace

SubjectBounds::Excess SubjectBounds::count(const QJsonObject &structure)
{
    const auto size = [&structure](const char *key) {
        return structure.value(QLatin1String(key)).toArray().size();
    };
    Extent extent;
    extent.questions = size("themis");
    extent.nullQuestions = size("themisNULL");
    extent.entries = size("orders");
    return count(extent);
}

SubjectBounds::Excess SubjectBounds::count(const Extent &extent)
{
    const qint64 records = m_records + extent.questions + extent.nullQuestions + extent.entries;
    Excess excess = Excess::None;
    if (m_tests >= InspectionStore::kMaxTests)
        excess = Excess::Tests;
    else if (extent.questions > InspectionStore::kMaxQuestions)
        excess = Excess::Questions;
    else if (extent.nullQuestions > InspectionStore::kMaxQuestions)
        excess = Excess::NullQuestions;
    else if (extent.entries > InspectionStore::kMaxPlanEntries)
        excess = Excess::PlanEntries;
    else if (records > InspectionStore::kMaxRecords)
        excess = Excess::Records;
    if (excess == Excess::None) {
        ++m_tests;
        m_records = records;
    }
    return excess;
}

SubjectBounds::Extent SubjectBounds::extentOf(const InspectionTest &test)
{
    Extent extent;
    extent.questions = test.themis.size();
    extent.nullQuestions = test.themisNULL.size();
    extent.entries = test.orders.size();
    return extent;
}

SubjectBounds::Excess SubjectBounds::excessOf(const QVector<InspectionTest> &held,
                                              const QVector<InspectionTest> &changed)
{
    QHash<QUuid, const InspectionTest *> replacing;
    for (const InspectionTest &test : changed)
        replacing.insert(test.id, &test);
    SubjectBounds bounds;
    Excess excess = Excess::None;
    for (int i = 0; i < held.size() && excess == Excess::None; ++i) {
        const InspectionTest *replaced = replacing.take(held[i].id);
        excess = bounds.count(extentOf(replaced ? *replaced : held[i]));
    }
    // What no held test stood for is added.
    for (int i = 0; i < changed.size() && excess == Excess::None; ++i) {
        if (replacing.contains(changed[i].id))
            excess = bounds.count(extentOf(changed[i]));
    }
    return excess;
}

QString SubjectBounds::refusal(Excess excess, const QString &outcome)
{
    QString bound;
    switch (excess) {
    case Excess::None:
        return QString();
    case Excess::Tests:
        bound = tr("Обследуемый может содержать не более %1 тестов").arg(InspectionStore::kMaxTests);
        break;
    case Excess::Questions:
        bound = tr("Тест может содержать не более %1 вопросов").arg(InspectionStore::kMaxQuestions);
        break;
    case Excess::NullQuestions:
        bound = tr("Тест может содержать не более %1 нулевых вопросов").arg(InspectionStore::kMaxQuestions);
        break;
    case Excess::PlanEntries:
        bound = tr("Все предъявления теста вместе могут содержать не более %1 строк (вопросов и заголовков "
                   "предъявлений)")
                    .arg(InspectionStore::kMaxPlanEntries);
        break;
    case Excess::Records:
        bound = tr("Все тесты обследуемого вместе могут содержать не более %1 вопросов и строк предъявлений")
                    .arg(InspectionStore::kMaxRecords);
        break;
    }
    return bound + QStringLiteral(": ") + outcome + QLatin1Char('.');
}

bool SubjectBounds::forEachStructure(InspectionStore &store, const StructureVisitor &visit)
{
    return forEachStructure(store, FingerprintedVisitor([&visit](const QString &rowId, const QJsonObject &structure,
                                                                 quint64) { visit(rowId, structure); }));
}

bool SubjectBounds::forEachStructure(InspectionStore &store, const FingerprintedVisitor &visit)
{
    SubjectBounds bounds;
    bool decoded = true;
    // Each row decoded as it comes: rows of a file from elsewhere may each be
    // as large as the format allows.
    const bool intact = store.forEachRow(InspectionDataType::Struct, [&](const InspectionStore::Row &row) {
        QJsonObject document;
        const bool read = BinaryJson::decode(row.data, document);
        const QJsonObject structure = document.value(QStringLiteral("struct")).toObject();
        if (read && bounds.admit(structure))
            visit(row.testId, structure, InspectionStore::fingerprintOf(row.data));
        else
            decoded = false;
    });
    return intact && decoded;
}
