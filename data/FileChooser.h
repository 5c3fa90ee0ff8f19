#pragma once

#include <QFileDialog>
#include <QString>
#include <functional>

class QWidget;

// Every file dialog of the program goes through here, so tests can answer the
// dialog without a window: they install their own chooser and get back the
// request the program made.
namespace FileChooser {

enum class Kind { OpenFile, SaveFile, ExistingDirectory };

struct Request {
    Kind kind = Kind::OpenFile;
    QWidget* parent = nullptr;
    QString caption;
    QString directory;
    QString filter;
    QFileDialog::Options options;
};

// Returns the chosen path, or an empty string when the user cancelled.
using Chooser = std::function<QString(const Request&)>;

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& directory = QString(),
                        const QString& filter = QString(), QFileDialog::Options options = {});
QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory = QString(),
                        const QString& filter = QString(), QFileDialog::Options options = {});
QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& directory = QString(),
                             QFileDialog::Options options = QFileDialog::ShowDirsOnly);

// Replaces the dialogs; an empty chooser brings the real dialogs back.
void setChooser(Chooser chooser);

} // namespace FileChooser
