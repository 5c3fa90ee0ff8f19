#include "SubjectClipboard.h"

#include "data/BinaryJson.h"
#include "data/Inspection.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QMimeData>

namespace SubjectClipboard {

const QString subjectFormat = QStringLiteral("{3694C749-ADCA-48DB-8C23-1DF977AADEF3}");

namespace {

const QString kTestsKey = QStringLiteral("tests");

}  // namespace

QMimeData *mimeOf(const QString &subjectPath)
{
    Inspection subject;
    subject.load(subjectPath);
    QJsonArray tests;
    QString listing;
    for (Inspection::_Test &test : subject.tests) {
        QJsonObject structure;
        test.toJson(structure);
        tests.append(structure);
        listing += test.orderText();
    }
    const QByteArray payload = BinaryJson::encode({{kTestsKey, tests}});
    if (payload.isEmpty())
        return nullptr;
    auto *data = new QMimeData;
    data->setData(subjectFormat, payload);
    data->setText(listing);
    return data;
}

bool copyTests(const QString &subjectPath)
{
    QMimeData *data = mimeOf(subjectPath);
    if (!data)
        return false;
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    return true;
}

bool hasTests()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && !data->data(subjectFormat).isEmpty();
}

PasteResult pasteTests(const QMimeData *data, const QString &subjectPath, int *added, SubjectBounds::Excess *excess)
{
    if (added)
        *added = 0;
    if (excess)
        *excess = SubjectBounds::Excess::None;
    const auto tooMany = [excess](SubjectBounds::Excess bound) {
        if (excess)
            *excess = bound;
        return PasteResult::TooMany;
    };
    const QByteArray payload = data ? data->data(subjectFormat) : QByteArray();
    if (payload.isEmpty())
        return PasteResult::Nothing;
    QJsonObject object;
    if (!BinaryJson::decode(payload, object) || !object.value(kTestsKey).isArray())
        return PasteResult::Malformed;
    const QJsonArray elements = object.value(kTestsKey).toArray();
    if (elements.size() > MaxPastedTests)
        return tooMany(SubjectBounds::Excess::Tests);
    QVector<Inspection::_Test> tests;
    tests.reserve(elements.size());
    // The payload alone first: no test past the bounds is ever built.
    SubjectBounds bounds;
    for (const QJsonValue &element : elements) {
        if (!element.isObject())
            return PasteResult::Malformed;
        const SubjectBounds::Excess past = bounds.count(element.toObject());
        if (past != SubjectBounds::Excess::None)
            return tooMany(past);
        Inspection::_Test test{QString()};
        test.fromJson(element.toObject());
        tests.append(test);
    }
    if (!QFileInfo(subjectPath).isFile())
        return PasteResult::NotStored;
    // Then beside the tests the subject holds, as its next load reads them.
    Inspection subject;
    const StoreResult loaded = subject.load(subjectPath);
    if (loaded != StoreResult::Ok && loaded != StoreResult::Damaged)
        return PasteResult::NotStored;
    const SubjectBounds::Excess past = SubjectBounds::excessOf(subject.tests, tests);
    if (past != SubjectBounds::Excess::None)
        return tooMany(past);
    if (subject.saveNewTestStructs(tests) != StoreResult::Ok)
        return PasteResult::NotStored;
    if (added)
        *added = tests.size();
    return PasteResult::Pasted;
}

}  // namespace SubjectClipboard
