#include "InspectionTestNames.h"

#include "InspectionStore.h"
#include "SubjectBounds.h"

namespace InspectionTestNames {

StoreResult read(const QString &subjectPath, QVector<InspectionTest> &tests)
{
    InspectionStore store(subjectPath, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.refusal().isEmpty() ? store.openFailure() : StoreResult(StoreResult::Refused, store.refusal());
    const bool intact = SubjectBounds::forEachStructure(store, [&tests](const QString &rowId,
                                                                        const QJsonObject &structure) {
        InspectionTest test;
        test.setIdFromRow(rowId);
        // The name read as the whole test reads it.
        test.fromJson({{QStringLiteral("name"), structure.value(QStringLiteral("name"))}});
        tests.append(test);
    });
    return store.outcome(intact, StoreResult::Damaged);
}

}  // namespace InspectionTestNames
