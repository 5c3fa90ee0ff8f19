#pragma once

#include <QDateEdit>

// The questionnaire's birth date: its earliest date stands for a birthday never
// entered and shows "не указана"; typing or stepping from there starts at a
// usual date rather than at the special text.
class _BirthdayEdit : public QDateEdit
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

private:
    bool isUnset() const;

    // The last digit filled its section and moved to the next one.
    bool m_movedOn = false;
};
