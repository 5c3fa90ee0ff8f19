#include "_InspectionTreeView_StyledItemDelegate.h"

#include "InspectionTreeView.h"
#include "QuestionDrop.h"
#include "data/QuestTypeColor.h"
#include "data/QuestionKindName.h"
#include "resources/VugResources.h"

#include <QLineEdit>
#include <QPainter>

namespace {

constexpr int kIndexRole = Qt::UserRole + 1;

bool isQuestionItem(const QModelIndex &index) { return index.parent().isValid(); }

// Width of the caption cell at a question's left, and of one extra-information field.
int captionWidth(const QFontMetrics &metrics) { return metrics.horizontalAdvance(QStringLiteral("00000")); }
int fieldWidth(const QFontMetrics &metrics) { return metrics.horizontalAdvance(QStringLiteral("0000")); }

QString questionCaption(const InspectionTheme &question, int index)
{
    const int letterKind = question.SubType >= 0 ? question.SubType : question.Type;
    const QByteArray letter = questionKindName(letterKind).toUtf8();
    if (QuestionKind::isInternational(question.SubType))
        return QString::asprintf("%s%.1d", letter.constData(), int(question.Number));
    return QString::asprintf("%.2d %s", index + 1, letter.constData());
}

QString pictureMark(bool picture, bool secondMonitor)
{
    if (picture && secondMonitor)
        return QStringLiteral("ФВ");
    if (picture)
        return QStringLiteral("Ф");
    return secondMonitor ? QStringLiteral("В") : QString();
}

}  // namespace

_InspectionTreeView_StyledItemDelegate::_InspectionTreeView_StyledItemDelegate(Inspection *inspection,
                                                                               QObject *parent)
    : QStyledItemDelegate(parent), m_inspection(inspection)
{
    initVugResources();
}

InspectionTest *_InspectionTreeView_StyledItemDelegate::testOf(const QModelIndex &index) const
{
    const QModelIndex testIndex = isQuestionItem(index) ? index.parent() : index;
    return m_inspection ? m_inspection->test(testIndex.data(kIndexRole).toInt()) : nullptr;
}

void _InspectionTreeView_StyledItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                                   const QModelIndex &index) const
{
    const InspectionTest *test = testOf(index);
    if (!isQuestionItem(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        if (test && !test->Comments.isEmpty())
            paintCommentPicture(painter, option);
        return;
    }
    if (!test || index.column() >= test->lastGroup())
        return;
    const int theme = index.data(kIndexRole).toInt();
    const int shift = captionWidth(option.fontMetrics);
    if (theme < QuestionKind::Null) {
        const InspectionTheme &question = test->theme(theme);
        painter->save();
        painter->setPen(questTypeColor(question.Type));
        painter->drawText(QRect(option.rect.left(), option.rect.top(), shift, option.rect.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, questionCaption(question, theme));
        painter->restore();
    }
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(option.rect.left() + shift);
    QStyledItemDelegate::paint(painter, shifted, index);
    if (m_showExtraInfo)
        paintExtraInfo(painter, option, *test, theme);
}

// The comment picture at the right end of the row, a square of the row's height.
void _InspectionTreeView_StyledItemDelegate::paintCommentPicture(QPainter *painter,
                                                                 const QStyleOptionViewItem &option) const
{
    const int side = option.rect.height();
    const QRect square(option.rect.right() + 1 - side, option.rect.top(), side, side);
    painter->drawPixmap(square, VugImages::pixmap(QStringLiteral("Comment-icon.png")));
}

void _InspectionTreeView_StyledItemDelegate::paintExtraInfo(QPainter *painter, const QStyleOptionViewItem &option,
                                                            const InspectionTest &test, int theme) const
{
    const InspectionTheme &question = test.theme(theme);
    const int width = fieldWidth(option.fontMetrics);
    const QRect answerField(option.rect.right() + 1 - width, option.rect.top(), width, option.rect.height());
    const QRect markField = answerField.translated(-width, 0);
    painter->save();
    painter->setPen(Qt::black);
    if (question.Answer == 1 || question.Answer == 0)
        painter->drawText(answerField, Qt::AlignRight | Qt::AlignVCenter, question.Answer == 1 ? tr("Да") : tr("Нет"));
    painter->setPen(Qt::magenta);
    const bool secondMonitor = test.ShowAllQuestSecondMonitor || question.ShowQuestToSecondMonitor;
    painter->drawText(markField, Qt::AlignLeft | Qt::AlignVCenter,
                      pictureMark(!question.PhotoImage4.isEmpty(), secondMonitor));
    painter->restore();
}

void _InspectionTreeView_StyledItemDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                                          const QModelIndex &index) const
{
    if (isQuestionItem(index))
        editQuestion(editor, model, index);
    else
        renameTest(editor, model, index);
}

void _InspectionTreeView_StyledItemDelegate::renameTest(QWidget *editor, QAbstractItemModel *model,
                                                        const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    InspectionTest *test = testOf(index);
    if (!line || !test || line->text().isEmpty())
        return;
    test->name = line->text();
    if (auto *view = qobject_cast<InspectionTreeView *>(parent()))
        view->saveTest(test);
    model->setData(index, test->headerText(), Qt::EditRole);
}

void _InspectionTreeView_StyledItemDelegate::editQuestion(QWidget *editor, QAbstractItemModel *model,
                                                          const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    InspectionTest *test = testOf(index);
    if (!line || !test)
        return;
    const int theme = index.data(kIndexRole).toInt();
    QString text = line->text();
    if (theme < QuestionKind::Null) {
        text = QuestionDrop::singleLine(text);
        line->setText(text);
    }
    // Every column that shows the question; later columns catch up at the next fill.
    for (int column = 0; column < 10; ++column) {
        for (int row = 0; row < 100; ++row) {
            const QModelIndex cell = model->index(row, column, index.parent());
            if (!cell.isValid() || cell.data(kIndexRole).toInt() != theme)
                continue;
            model->setData(cell, text, Qt::DisplayRole);
            model->setData(cell, text, Qt::ToolTipRole);
            break;
        }
    }
    test->theme(theme).Theme = text;
    if (auto *view = qobject_cast<InspectionTreeView *>(parent())) {
        view->saveTest(test);
        emit view->changeTest(test);
    }
}

void _InspectionTreeView_StyledItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                                  const QModelIndex &index) const
{
    if (!isQuestionItem(index)) {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        return;
    }
    editor->setGeometry(option.rect.adjusted(captionWidth(option.fontMetrics), 0, 0, 0));
}
