#include "_BirthdayEdit.h"

#include <QKeyEvent>

#include <algorithm>

namespace {
const QDate kFirstShown(1980, 1, 1);
}  // namespace

_BirthdayEdit::_BirthdayEdit(QWidget *parent)
    : _TypedDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setSpecialValueText(tr("не указана"));
    setDate(minimumDate());
}

QDate _BirthdayEdit::birthday() const { return isUnset() ? QDate() : date(); }

void _BirthdayEdit::setBirthday(const QDate &date) { setDate(date.isValid() ? date : minimumDate()); }

bool _BirthdayEdit::isUnset() const { return date() == minimumDate() || isBlank(); }

// Left to itself the field puts the old date back into an emptied text.
bool _BirthdayEdit::isBlank() const
{
    const QString shown = text();
    return std::none_of(shown.cbegin(), shown.cend(), [](QChar c) { return c.isDigit(); });
}

void _BirthdayEdit::stepBy(int steps)
{
    if (isUnset() && steps > 0) {
        setDate(kFirstShown);
        return;
    }
    _TypedDateEdit::stepBy(steps);
}

// The first digit starts a typed date in place of the special text.
void _BirthdayEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (isUnset() && !text.isEmpty() && text.at(0).isDigit()) {
        setDate(kFirstShown);
        setSelectedSection(QDateTimeEdit::DaySection);
    }
    _TypedDateEdit::keyPressEvent(event);
}

void _BirthdayEdit::focusOutEvent(QFocusEvent *event)
{
    if (isBlank())
        setDate(minimumDate());
    _TypedDateEdit::focusOutEvent(event);
}
