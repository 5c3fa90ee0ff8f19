#include "DataFolderCheck.h"

#include "data/GenericSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("DataFolderCheck", text); }

QMessageBox::StandardButton ask(QWidget *parent, const QString &folder)
{
    QMessageBox box(QMessageBox::Warning, tr("Воркел"),
                    tr("Папка данных «%1» не найдена.\nВозможно, не подключён сетевой диск или съёмный носитель.")
                        .arg(QDir::toNativeSeparators(folder)),
                    QMessageBox::Yes | QMessageBox::Open | QMessageBox::Close, parent);
    box.button(QMessageBox::Yes)->setText(tr("Создать папку"));
    box.button(QMessageBox::Open)->setText(tr("Выбрать другую…"));
    box.button(QMessageBox::Close)->setText(tr("Выйти"));
    box.setDefaultButton(QMessageBox::Open);
    return QMessageBox::StandardButton(box.exec());
}

}  // namespace

DataFolderCheck::Outcome DataFolderCheck::ensure(QWidget *parent, GenericSettings &settings,
                                                 const ChooseFolder &choose)
{
    if (QFileInfo(settings.sRootFolder).isDir())
        return Ready;
    if (settings.sRootFolder == GenericSettings::defaultRootFolder() && QDir().mkpath(settings.sRootFolder))
        return Ready;
    while (!QFileInfo(settings.sRootFolder).isDir()) {
        switch (ask(parent, settings.sRootFolder)) {
        case QMessageBox::Yes:
            if (!QDir().mkpath(settings.sRootFolder))
                QMessageBox::warning(parent, tr("Воркел"),
                                     tr("Не удалось создать папку «%1».")
                                         .arg(QDir::toNativeSeparators(settings.sRootFolder)));
            break;
        case QMessageBox::Open: {
            const QString chosen = choose(parent, settings.sRootFolder);
            if (chosen.isEmpty())
                break;
            settings.sRootFolder = chosen;
            settings.save();
            break;
        }
        default:
            return Quit;
        }
    }
    return Ready;
}

QString DataFolderCheck::chooseWithDialog(QWidget *parent, const QString &current)
{
    return QFileDialog::getExistingDirectory(parent, tr("Папка данных"), QFileInfo(current).absolutePath());
}
