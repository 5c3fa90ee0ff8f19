#include "_TypedDateEdit.h"

#include <QKeyEvent>
#include <QLineEdit>

_TypedDateEdit::_TypedDateEdit(QWidget *parent)
    : QDateEdit(parent)
{
}

bool _TypedDateEdit::isWholeTextSelected() const
{
    const QLineEdit *edit = lineEdit();
    return edit->hasSelectedText() && edit->selectedText() == edit->text();
}

// Left to itself the field refuses a digit that would stand for the whole
// text, and the day of the old date stays.
void _TypedDateEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const bool digit = !text.isEmpty() && text.at(0).isDigit();
    if (digit && isWholeTextSelected()) {
        setSelectedSection(sectionAt(0));
        m_movedOn = false;
    }
    const bool separator = !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isLetterOrNumber();
    if (m_movedOn && separator) {
        m_movedOn = false;
        return;
    }
    const Section before = currentSection();
    QDateEdit::keyPressEvent(event);
    m_movedOn = digit && currentSection() != before;
}
