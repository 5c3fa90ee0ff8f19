#pragma once

#include <QDateEdit>

// A date field that takes a date typed over it as a whole: typing over a
// selection of the whole text starts at the first section, and the separator
// typed after a section that filled and moved on by itself is dropped, so the
// next section is not skipped.
class _TypedDateEdit : public QDateEdit
{
    Q_OBJECT
public:
    explicit _TypedDateEdit(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool isWholeTextSelected() const;

    // The last digit filled its section and moved to the next one.
    bool m_movedOn = false;
};
