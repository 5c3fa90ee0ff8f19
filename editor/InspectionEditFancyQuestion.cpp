// The examiner's notes on questions and tests: the test talk's answers,
// pictures and flags for the second monitor, comments, and the test's video.
#include "InspectionEditFancy.h"
#include "InspectionTreeView.h"
#include "app/services/SimpleTextDlg.h"
#include "data/FileChooser.h"
#include "data/FileManager.h"
#include "data/InspectionMedia.h"

#include <QBuffer>
#include <QDialog>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

// The desktop's dialogs match patterns by letter case.
const char *const kPictureFilter =
    "*.bmp *.jpg *.jpeg *.gif *.tiff *.tif *.png *.BMP *.JPG *.JPEG *.GIF *.TIFF *.TIF *.PNG";

const QSize kPictureView(640, 480);

}  // namespace

void InspectionEditFancy::action_TestTalkYes() { setTestTalk(true); }
void InspectionEditFancy::action_TestTalkNo() { setTestTalk(false); }

void InspectionEditFancy::setTestTalk(bool yes)
{
    const QModelIndex current = m_tree->currentIndex();
    Inspection::_Test *test = testOf(current);
    if (!test || test->recorded || !isQuestionItem(current))
        return;
    test->theme(current.data(Qt::UserRole + 1).toInt()).Answer = yes ? 1 : 0;
    const QModelIndex next = current.sibling(current.row() + 1, 0);
    if (next.isValid())
        m_tree->setCurrentIndex(next);
    m_tree->viewport()->update();
    if (saveTest(test))
        updateActions();
}

void InspectionEditFancy::action_AttachPhoto()
{
    Inspection::_Theme *question = editableQuestion();
    if (!question)
        return;
    const QString file = FileChooser::getOpenFileName(nullptr, tr("Выбор фотографии"), QString(),
                                                      QString::fromLatin1(kPictureFilter));
    if (file.isEmpty())
        return;
    QImageReader reader(file);
    const QImage image = reader.read();
    if (image.isNull()) {
        QMessageBox::warning(this, tr("Воркел"),
                             tr("Не удалось прочитать изображение %1:\n%2").arg(file, reader.errorString()));
        return;
    }
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    image.save(&jpeg, "JPG");
    question->PhotoImage4 = jpeg.data();
    saveAndRefill(currentTest());
}

void InspectionEditFancy::action_ViewPhoto()
{
    const Inspection::_Test *test = currentTest();
    if (!test || !isQuestionItem(m_contextIndex))
        return;
    QImage image;
    image.loadFromData(test->theme(m_contextIndex.data(Qt::UserRole + 1).toInt()).PhotoImage4);
    if (image.isNull())
        return;
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Воркел"));
    dialog.setWindowFlags(dialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(&dialog);
    label->setAlignment(Qt::AlignCenter);
    label->setScaledContents(true);
    label->setPixmap(QPixmap::fromImage(image.scaled(kPictureView, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    layout->addWidget(label);
    dialog.exec();
}

void InspectionEditFancy::action_DeletePhoto()
{
    Inspection::_Theme *question = editableQuestion();
    if (!question)
        return;
    question->PhotoImage4.clear();
    saveAndRefill(currentTest());
}

void InspectionEditFancy::action_ShowQuestToSecontMonitor()
{
    Inspection::_Theme *question = editableQuestion();
    if (!question)
        return;
    question->ShowQuestToSecondMonitor = !question->ShowQuestToSecondMonitor;
    saveAndRefill(currentTest());
}

void InspectionEditFancy::action_ShowAllQuestionsSecondMonitor()
{
    Inspection::_Test *test = editableTest();
    if (!test)
        return;
    test->ShowAllQuestSecondMonitor = !test->ShowAllQuestSecondMonitor;
    saveAndRefill(test);
}

void InspectionEditFancy::onTestComments()
{
    Inspection::_Test *test = currentTest();
    if (!test)
        return;
    const QUuid id = test->id;
    SimpleTextDlg dialog(test->name, this);
    dialog.textEdit()->setPlainText(test->Comments);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The subject may have been read anew while the dialog was open.
    test = m_inspection.testWithId(id);
    if (!test)
        return;
    test->Comments = dialog.textEdit()->toPlainText();
    saveAndRefill(test);
}

void InspectionEditFancy::action_ShowFileAVI()
{
    const Inspection::_Test *test = currentTest();
    if (!test)
        return;
    const QString video = InspectionMedia::testVideoPath(m_inspection, *test);
    if (!FileManager::showItem(video))
        QMessageBox::warning(this, tr("Воркел"), tr("Не удалось показать файл видео-аудио записи:\n%1").arg(video));
}
