#pragma once

#include "_TypedDateEdit.h"

// The questionnaire's birth date: its earliest date stands for a birthday never
// entered and shows "не указана"; typing or stepping from there starts at a
// usual date rather than at the special text, and a text emptied of its
// digits stands for no birthday again.
class _BirthdayEdit : public _TypedDateEdit
{
    Q_OBJECT
public:
    explicit _BirthdayEdit(QWidget *parent = nullptr);

    // Null while no date was entered.
    QDate birthday() const;
    void setBirthday(const QDate &date);

    void stepBy(int steps) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool isUnset() const;
    bool isBlank() const;
};
