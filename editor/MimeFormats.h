#pragma once

#include <QByteArray>
#include <QString>

struct InspectionTest;
struct InspectionTheme;
class QMimeData;
class QWidget;

// The program's own clipboard and drag formats: a whole test as binary JSON,
// or one question as the UTF-8 text "<kind>\n<text>". Any program can write
// them, so every reader decodes defensively.
namespace MimeFormats {

extern const QString methodicDragFormat;
extern const QString testClipboardFormat;
extern const QString questionDragFormat;
extern const QString questionClipboardFormat;
extern const QString plainTextFormat;

// One question as it travels: a kind code (-1 for none) and its text.
struct Question {
    int kind = -1;
    QString text;
};

// --- tests ---
QByteArray encodeTest(const InspectionTest &test);
// Fills test (which keeps its own identifier) from a payload; returns why the
// payload was refused, or an empty text. A refused payload leaves test as it was.
QString decodeTest(const QByteArray &bytes, InspectionTest &test);
// decodeTest, telling a refusal in a warning titled "Воркел".
bool acceptTest(const QByteArray &bytes, InspectionTest &test, QWidget *parent);

// --- questions ---
QByteArray encodeQuestion(int kind, const QString &text);
// False unless the text splits into exactly two lines; a kind that is no number reads as 0.
bool decodeQuestion(const QByteArray &bytes, Question &question);
// Plain text from any program: the whole text, kind -1.
Question decodePlainText(const QByteArray &bytes);
// The question of a private format, else of the plain text; false when the
// private payload is malformed or neither is there.
bool readQuestion(const QMimeData *mime, const QString &format, Question &question);

// The kind and sub-kind a dropped kind code gives a question of a test; false
// (question unchanged) for a code that names no kind, -1 included.
bool mapQuestKind(int code, InspectionTheme &question);

// --- what each writer puts on the clipboard or into a drag ---
QMimeData *methodicsDockDrag(const InspectionTest &test, int rowId);
QMimeData *methodicsDockCopy(const InspectionTest &test);
QMimeData *treeTestDrag(const InspectionTest &test);
// With the plain text: the name, then each null and each regular question, one a line.
QMimeData *editorTestCopy(const InspectionTest &test);
QMimeData *questionsDockDrag(int kind, const QString &text, int rowId);
QMimeData *questionsDockCopy(int kind, const QString &text);
QMimeData *treeQuestionDrag(int kind, const QString &text);

}  // namespace MimeFormats
