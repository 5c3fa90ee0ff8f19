#include "app/services/SimpleTextDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

// Keeps the wait cursor up while the dialog is built, however construction ends.
struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

SimpleTextDlg::SimpleTextDlg(const QString &caption, QWidget *parent)
    : QDialog(parent)
{
    const WaitCursor wait;
    setWindowTitle(QObject::tr("Воркел"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(caption + QStringLiteral(":"), this));
    m_text = new QPlainTextEdit(this);
    layout->addWidget(m_text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SimpleTextDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SimpleTextDlg::reject);

    resize(600, 300);
}

void SimpleTextDlg::accept()
{
    done(1);
}
