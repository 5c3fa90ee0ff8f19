#pragma once

#include <QDoubleValidator>
#include <QLineEdit>

class QCheckBox;
class QGroupBox;

// The controls of the settings pages, and the reading of their number fields on OK.
// A text the validator does not accept (empty, half typed, out of range) never
// reaches the settings: a field still showing what was loaded keeps the loaded
// value, a field the examiner changed is refused and marked.
class SettingsFields
{
public:
    // A group box with its title in bold.
    static QGroupBox *groupBox(const QString &title, QWidget *parent);
    static QCheckBox *checkBox(const QString &text, bool checked, QWidget *parent);
    static QLineEdit *intField(int value, int low, int high, QWidget *parent);
    static QLineEdit *realField(double value, double low, double high, QDoubleValidator::Notation notation,
                                QWidget *parent);
    // Whether OK refused the field's text; cleared when the examiner edits it.
    static bool isMarked(const QLineEdit *field);

    void read(QLineEdit *field, int &target);
    void read(QLineEdit *field, double &target);
    // The fields refused so far, in the order they were read.
    const QList<QLineEdit *> &refused() const { return m_refused; }
    QLineEdit *firstRefused() const { return m_refused.value(0); }

private:
    // True when the text may be taken; otherwise marks the field when it was
    // changed, its tool tip saying the range it takes.
    bool acceptable(QLineEdit *field);

    QList<QLineEdit *> m_refused;
};
