#include "MimeFormats.h"

#include "data/BinaryJson.h"
#include "data/InspectionTest.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QMessageBox>
#include <QMimeData>

namespace MimeFormats {

const QString methodicDragFormat = QStringLiteral("{842A4141-397E-4D57-AB4C-A3B7FA6EFDFD}");
const QString testClipboardFormat = QStringLiteral("{BF61A976-3633-47D4-A4CE-3F1B9D82FC31}");
const QString questionDragFormat = QStringLiteral("{41198882-C68A-4F06-B08B-8890E448C6D2}");
const QString questionClipboardFormat = QStringLiteral("{F59A9F92-C734-4E1A-A9C2-42CD23E0B3E7}");
const QString plainTextFormat = QStringLiteral("text/plain");

namespace {

QString formatsText(const char *text)
{
    return QCoreApplication::translate("MimeFormats", text);
}

// Payloads are read as C strings: whatever follows a zero byte is ignored.
QString textUpToNul(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromUtf8(bytes.constData(), nul < 0 ? bytes.size() : nul);
}

QByteArray utf8UpToNul(const QString &text)
{
    return QByteArray(text.toUtf8().constData());
}

bool looksLikeTest(const QJsonObject &object)
{
    return object.value(QStringLiteral("name")).isString() && object.value(QStringLiteral("themis")).isArray()
           && object.value(QStringLiteral("orders")).isArray();
}

QMimeData *testData(const QString &format, const InspectionTest &test)
{
    auto *mime = new QMimeData;
    mime->setData(format, encodeTest(test));
    return mime;
}

QMimeData *questionData(const QString &format, int kind, const QString &text)
{
    auto *mime = new QMimeData;
    mime->setData(format, encodeQuestion(kind, text));
    return mime;
}

// The dragged reference-book row, which the dock that started the drag deletes after a move.
QMimeData *withRowId(QMimeData *mime, int rowId)
{
    mime->setProperty("1", rowId);
    return mime;
}

QMimeData *withPlainText(QMimeData *mime, const QString &text)
{
    mime->setData(plainTextFormat, text.toUtf8());
    return mime;
}

}  // namespace

QByteArray encodeTest(const InspectionTest &test)
{
    InspectionTest copy = test;  // writing cleans the name in place
    QJsonObject object;
    copy.toJson(object);
    return BinaryJson::encode(object);
}

QString decodeTest(const QByteArray &bytes, InspectionTest &test)
{
    QJsonObject object;
    if (!BinaryJson::decode(bytes, object) || !looksLikeTest(object))
        return formatsText("Данные не содержат теста.");
    InspectionTest decoded;
    decoded.fromJson(object);
    const QString fault = decoded.planFault();
    if (!fault.isEmpty())
        return formatsText("Тест повреждён: %1.").arg(fault);
    test.fromJson(object);
    return QString();
}

bool acceptTest(const QByteArray &bytes, InspectionTest &test, QWidget *parent)
{
    const QString fault = decodeTest(bytes, test);
    if (fault.isEmpty())
        return true;
    QMessageBox::warning(parent, formatsText("Воркел"), fault);
    return false;
}

QByteArray encodeQuestion(int kind, const QString &text)
{
    return QByteArray::number(kind) + '\n' + utf8UpToNul(text);
}

bool decodeQuestion(const QByteArray &bytes, Question &question)
{
    const QStringList parts = textUpToNul(bytes).split(QLatin1Char('\n'));
    if (parts.size() != 2)
        return false;
    question.kind = parts[0].toInt();
    question.text = parts[1];
    return true;
}

Question decodePlainText(const QByteArray &bytes)
{
    return Question{-1, textUpToNul(bytes)};
}

bool readQuestion(const QMimeData *mime, const QString &format, Question &question)
{
    if (mime->hasFormat(format))
        return decodeQuestion(mime->data(format), question);
    if (!mime->hasFormat(plainTextFormat))
        return false;
    question = decodePlainText(mime->data(plainTextFormat));
    return true;
}

bool mapQuestKind(int code, InspectionTheme &question)
{
    const bool known = (code >= QuestionKind::Neutral && code <= QuestionKind::Test)
                       || QuestionKind::isInternational(code) || code == QuestionKind::Null;
    if (!known)
        return false;
    const InspectionTheme mapped(QString(), code);
    question.Type = mapped.Type;
    question.SubType = mapped.SubType;
    return true;
}

QMimeData *methodicsDockDrag(const InspectionTest &test, int rowId)
{
    return withRowId(testData(methodicDragFormat, test), rowId);
}

QMimeData *methodicsDockCopy(const InspectionTest &test)
{
    return testData(testClipboardFormat, test);
}

QMimeData *treeTestDrag(const InspectionTest &test)
{
    return testData(methodicDragFormat, test);
}

QMimeData *editorTestCopy(const InspectionTest &test)
{
    QString text = test.name + QLatin1Char('\n');
    for (const QVector<InspectionTheme> *list : {&test.themisNULL, &test.themis}) {
        for (const InspectionTheme &question : *list)
            text += question.Theme + QLatin1Char('\n');
    }
    return withPlainText(testData(testClipboardFormat, test), text);
}

QMimeData *questionsDockDrag(int kind, const QString &text, int rowId)
{
    return withRowId(questionData(questionDragFormat, kind, text), rowId);
}

QMimeData *questionsDockCopy(int kind, const QString &text)
{
    return withPlainText(questionData(questionClipboardFormat, kind, text), text);
}

QMimeData *treeQuestionDrag(int kind, const QString &text)
{
    return withPlainText(questionData(questionDragFormat, kind, text), text);
}

}  // namespace MimeFormats
