#include "app/services/SettingsFields.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIntValidator>
#include <QLocale>

namespace {

const char *const kLoadedText = "loadedText";
const char *const kRefused = "refusedInput";

QLineEdit *fieldWith(const QString &text, QValidator *validator, QLineEdit *field)
{
    field->setValidator(validator);
    field->setText(text);
    field->setProperty(kLoadedText, text);
    QObject::connect(field, &QLineEdit::textEdited, field, [field] {
        field->setProperty(kRefused, false);
        field->setStyleSheet(QString());
        field->setToolTip(QString());
    });
    return field;
}

// What the field's validator takes, for the refused field's tool tip.
QString rangeText(const QLineEdit *field)
{
    QString low;
    QString high;
    if (const auto *whole = qobject_cast<const QIntValidator *>(field->validator())) {
        low = QString::number(whole->bottom());
        high = QString::number(whole->top());
    } else if (const auto *real = qobject_cast<const QDoubleValidator *>(field->validator())) {
        low = QString::number(real->bottom(), 'g', 6);
        high = QString::number(real->top(), 'g', 6);
    } else {
        return QString();
    }
    return QCoreApplication::translate("SettingsDlg", "Допустимы числа от %1 до %2 (дробная часть через точку)")
        .arg(low, high);
}

QLocale numberLocale()
{
    QLocale english(QLocale::English);
    // "1,5" must not pass as fifteen.
    english.setNumberOptions(QLocale::RejectGroupSeparator);
    return english;
}

// A typed decimal comma stays in the field, to be refused on OK, rather than
// being dropped so that "1,5" would read as fifteen.
class PointValidator : public QDoubleValidator
{
public:
    using QDoubleValidator::QDoubleValidator;

    State validate(QString &input, int &pos) const override
    {
        const State state = QDoubleValidator::validate(input, pos);
        if (state != Invalid || !input.contains(QLatin1Char(',')))
            return state;
        QString pointed = input;
        pointed.replace(QLatin1Char(','), QLatin1Char('.'));
        int pointedPos = pos;
        return QDoubleValidator::validate(pointed, pointedPos) == Invalid ? Invalid : Intermediate;
    }
};

}  // namespace

QGroupBox *SettingsFields::groupBox(const QString &title, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    group->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; } "));
    return group;
}

QCheckBox *SettingsFields::checkBox(const QString &text, bool checked, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setChecked(checked);
    return box;
}

QLineEdit *SettingsFields::intField(int value, int low, int high, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    return fieldWith(QString::number(value), new QIntValidator(low, high, field), field);
}

QLineEdit *SettingsFields::realField(double value, double low, double high, QDoubleValidator::Notation notation,
                                     QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    auto *validator = new PointValidator(low, high, 2, field);
    validator->setNotation(notation);
    validator->setLocale(numberLocale());
    return fieldWith(QString::number(value, 'g', 6), validator, field);
}

bool SettingsFields::isMarked(const QLineEdit *field) { return field->property(kRefused).toBool(); }

void SettingsFields::read(QLineEdit *field, int &target)
{
    if (acceptable(field))
        target = field->text().toInt();
}

void SettingsFields::read(QLineEdit *field, double &target)
{
    if (acceptable(field))
        target = numberLocale().toDouble(field->text());
}

bool SettingsFields::acceptable(QLineEdit *field)
{
    if (field->hasAcceptableInput())
        return true;
    if (field->text() == field->property(kLoadedText).toString())
        return false;
    field->setProperty(kRefused, true);
    field->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid red; }"));
    field->setToolTip(rangeText(field));
    m_refused << field;
    return false;
}
