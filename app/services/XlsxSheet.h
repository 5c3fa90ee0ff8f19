#pragma once

#include <QString>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A new .xlsx workbook with one sheet. Rows and columns count from 0; the
// file is written by save (or, unsaved, by the destructor).
class XlsxSheet
{
public:
    explicit XlsxSheet(const QString &path);
    ~XlsxSheet();
    XlsxSheet(const XlsxSheet &) = delete;
    XlsxSheet &operator=(const XlsxSheet &) = delete;

    bool isOpen() const { return m_sheet != nullptr; }
    void setColumnWidth(int column, double width);
    // Text longer than a cell can hold is cut to the cell's limit.
    void writeText(int row, int column, const QString &text, bool bold);
    // Infinite or NaN values are written as their text: the format has no number for them.
    void writeNumber(int row, int column, double value, bool bold);
    // True when the file was written.
    bool save();

private:
    lxw_format *format(bool bold) const { return bold ? m_bold : nullptr; }

    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_bold = nullptr;
};
