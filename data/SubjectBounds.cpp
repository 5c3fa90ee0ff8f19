#include "SubjectBounds.h"

#include "BinaryJson.h"
#include "InspectionDataType.h"
#include "InspectionStore.h"

#include <QJsonArray>

bool SubjectBounds::admit(const QJsonObject &structure)
{
    const auto count = [&structure](const char *key) {
        return structure.value(QLatin1String(key)).toArray().size();
    };
    const int questions = count("themis");
    const int nullQuestions = count("themisNULL");
    const int entries = count("orders");
    const qint64 records = m_records + questions + nullQuestions + entries;
    if (m_tests >= InspectionStore::kMaxTests || questions > InspectionStore::kMaxQuestions
        || nullQuestions > InspectionStore::kMaxQuestions || entries > InspectionStore::kMaxPlanEntries
        || records > InspectionStore::kMaxRecords)
        return false;
    ++m_tests;
    m_records = records;
    return true;
}

bool SubjectBounds::forEachStructure(InspectionStore &store, const StructureVisitor &visit)
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
            visit(row.testId, structure);
        else
            decoded = false;
    });
    return intact && decoded;
}
