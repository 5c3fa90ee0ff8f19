#include "_BirthdayEdit.h"

#include <QKeyEvent>

namespace {
const QDate kFirstShown(1980, 1, 1);
}  // namespace

_BirthdayEdit::_BirthdayEdit(QWidget *parent)
    : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setSpecialValueText(tr("не указана"));
    setDate(minimumDate());
}

QDate _BirthdayEdit::birthday() const { return isUnset() ? QDate() : date(); }

void _BirthdayEdit::setBirthday(const QDate &date) { setDate(date.isValid() ? date : minimumDate()); }

bool _BirthdayEdit::isUnset() const { return date() == minimumDate(); }

void _BirthdayEdit::stepBy(int steps)
{
    if (isUnset() && steps > 0) {
        setDate(kFirstShown);
        return;
    }
    QDateEdit::stepBy(steps);
}

// The first digit starts a typed date in place of the special text. A section
// filled by its digits moves on by itself, so the separator typed after it is
// dropped: passed on, it would skip the section the examiner types next.
void _BirthdayEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const bool digit = !text.isEmpty() && text.at(0).isDigit();
    if (isUnset() && digit) {
        setDate(kFirstShown);
        setSelectedSection(QDateTimeEdit::DaySection);
    }
    if (m_movedOn && !text.isEmpty() && text.at(0).isPunct()) {
        m_movedOn = false;
        return;
    }
    const Section before = currentSection();
    QDateEdit::keyPressEvent(event);
    m_movedOn = digit && currentSection() != before;
}
