#include "app/services/TreeViewExport.h"

#include "app/services/XlsxSheet.h"
#include "data/WholeFile.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTreeView>
#include <QUrl>

#include <cmath>

namespace {

constexpr double kFirstColumnWidth = 50;
constexpr double kColumnWidth = 30;

QStandardItemModel *standardModel(const QTreeView *view)
{
    return view ? qobject_cast<QStandardItemModel *>(view->model()) : nullptr;
}

// Header and rows use this one choice, so every value lands under its own header.
QVector<int> exportedColumns(const QTreeView *view, const QStandardItemModel *model)
{
    QVector<int> columns;
    for (int c = 0; c < model->columnCount(); ++c) {
        const QStandardItem *header = model->horizontalHeaderItem(c);
        if (!view->isColumnHidden(c) && header && !header->text().isEmpty())
            columns << c;
    }
    return columns;
}

void writeHeader(XlsxSheet &sheet, const QStandardItemModel *model, const QVector<int> &columns)
{
    for (int k = 0; k < columns.size(); ++k) {
        const int c = columns[k];
        sheet.writeText(0, k, model->horizontalHeaderItem(c)->text(), true);
        sheet.setColumnWidth(k, c == 0 ? kFirstColumnWidth : kColumnWidth);
    }
}

bool isNumberType(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// A top-level value keeps its own type.
void writeAsStored(XlsxSheet &sheet, int row, int column, const QVariant &value, bool bold)
{
    if (isNumberType(value))
        sheet.writeNumber(row, column, value.toDouble(), bold);
    else
        sheet.writeText(row, column, value.toString(), bold);
}

// A child value is a number whenever its text reads as a finite one; "nan"
// and "inf" keep their own spelling as text.
void writeAsNumberWherePossible(XlsxSheet &sheet, int row, int column, const QVariant &value)
{
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    if (isNumber && std::isfinite(number))
        sheet.writeNumber(row, column, number, false);
    else
        sheet.writeText(row, column, value.toString(), false);
}

// Each top-level row, bold, then its children; an empty row between groups.
void writeBody(XlsxSheet &sheet, const QStandardItemModel *model, const QVector<int> &columns)
{
    int lastRow = 0;
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex parent = model->index(r, 0);
        writeAsStored(sheet, lastRow + 1, 0, parent.data(), true);
        const int children = model->rowCount(parent);
        const int childColumns = model->columnCount(parent);
        for (int j = 0; j < children; ++j) {
            for (int k = 0; k < columns.size(); ++k) {
                if (columns[k] < childColumns)
                    writeAsNumberWherePossible(sheet, lastRow + 2 + j, k, model->index(j, columns[k], parent).data());
            }
        }
        lastRow += 2 + children;
    }
}

// Whether the name is still taken by another file; a name that is free is
// taken here by making the file.
bool takenByAnother(const QString &path)
{
    QFile reserved(path);
    return !reserved.open(QIODevice::WriteOnly | QIODevice::NewOnly) && QFileInfo::exists(path);
}

// A name of its own, reserved by making the file: two exports in one second,
// from this program or another one running, never share a workbook.
QString newWorkbookPath()
{
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::TempLocation));
    const QString stem = QStringLiteral("Воркел - таблица %1")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
    QString path = folder.filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; takenByAnother(path); ++n)
        path = folder.filePath(QStringLiteral("%1 (%2).xlsx").arg(stem).arg(n));
    return path;
}

void tellUser(QTreeView *view, const QString &text, const QString &path)
{
    QMessageBox::information(view, QObject::tr("Воркел"), text.arg(QDir::toNativeSeparators(path)));
}

// A finished file put at path whole, or not at all: an older file there stays
// until the new one is complete. Empty when done, else why not.
QString copyWhole(const QString &from, const QString &path)
{
    QFile source(from);
    return source.open(QIODevice::ReadOnly) ? WholeFile::write(path, source.readAll()) : source.errorString();
}

// The temporary folder is cleared at reboot, so a workbook nothing opened is
// kept only where the user chooses; the choice starts in the Documents folder.
// The reason is told in a message of its own: a file dialog's title cuts it.
void keepWorkbookWhereTheUserChooses(QTreeView *view, const QString &temporary)
{
    const QString documentsPath = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documentsPath);
    const QDir documents(documentsPath);
    const bool save = QMessageBox::question(view, QObject::tr("Воркел"),
                                            QObject::tr("Не найдена программа, которая открыла бы таблицу.\n"
                                                        "Сохранить таблицу в файл?"),
                                            QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Save)
                      == QMessageBox::Save;
    const QString chosen = save ? QFileDialog::getSaveFileName(view, QObject::tr("Сохранить таблицу"),
                                                               documents.filePath(QFileInfo(temporary).fileName()),
                                                               QObject::tr("Книга Excel (*.xlsx)"))
                                : QString();
    if (chosen.isEmpty()) {
        QFile::remove(temporary);
        return;
    }
    const QString failure = QFileInfo(chosen) == QFileInfo(temporary) ? QString() : copyWhole(temporary, chosen);
    if (QFileInfo(chosen) != QFileInfo(temporary))
        QFile::remove(temporary);
    if (failure.isEmpty())
        tellUser(view, QObject::tr("Таблица сохранена в файле\n%1"), chosen);
    else
        tellUser(view, QObject::tr("Не удалось записать таблицу в файл\n%1") + QLatin1Char('\n') + failure, chosen);
}

} // namespace

bool exportTreeViewToExcel(QTreeView *view, const QString &path)
{
    const QStandardItemModel *model = standardModel(view);
    if (!model)
        return false;
    XlsxSheet sheet(path);
    if (!sheet.isOpen())
        return false;
    const QVector<int> columns = exportedColumns(view, model);
    writeHeader(sheet, model, columns);
    writeBody(sheet, model, columns);
    return sheet.save();
}

void exportTreeViewToExcel(QTreeView *view)
{
    if (!standardModel(view))
        return;
    const QString path = newWorkbookPath();
    if (!exportTreeViewToExcel(view, path)) {
        QFile::remove(path);
        tellUser(view, QObject::tr("Не удалось записать таблицу в файл\n%1"), path);
    }
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        keepWorkbookWhereTheUserChooses(view, path);
}
