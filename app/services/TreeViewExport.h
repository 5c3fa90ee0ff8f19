#pragma once

class QString;
class QTreeView;

// Exports what a tree view over a QStandardItemModel shows, its top-level
// rows each followed by their children, into a new workbook in the temporary
// folder and opens it with the desktop's program for spreadsheets. Where no
// program opens it, the user chooses where to keep it; where it cannot be
// written, the user is told. A view without such a model exports nothing.
void exportTreeViewToExcel(QTreeView *view);

// The same workbook written to path; false when nothing was written.
bool exportTreeViewToExcel(QTreeView *view, const QString &path);
