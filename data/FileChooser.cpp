#include "data/FileChooser.h"

namespace FileChooser {
namespace {

Chooser& installed()
{
    static Chooser chooser;
    return chooser;
}

QString showDialog(const Request& r)
{
    switch (r.kind) {
    case Kind::OpenFile:
        return QFileDialog::getOpenFileName(r.parent, r.caption, r.directory, r.filter, nullptr, r.options);
    case Kind::SaveFile:
        return QFileDialog::getSaveFileName(r.parent, r.caption, r.directory, r.filter, nullptr, r.options);
    case Kind::ExistingDirectory:
        return QFileDialog::getExistingDirectory(r.parent, r.caption, r.directory, r.options);
    }
    return QString();
}

QString choose(const Request& r)
{
    return installed() ? installed()(r) : showDialog(r);
}

} // namespace

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& directory, const QString& filter,
                        QFileDialog::Options options)
{
    return choose({Kind::OpenFile, parent, caption, directory, filter, options});
}

QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory, const QString& filter,
                        QFileDialog::Options options)
{
    return choose({Kind::SaveFile, parent, caption, directory, filter, options});
}

QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& directory,
                             QFileDialog::Options options)
{
    return choose({Kind::ExistingDirectory, parent, caption, directory, QString(), options});
}

void setChooser(Chooser chooser)
{
    installed() = std::move(chooser);
}

} // namespace FileChooser
