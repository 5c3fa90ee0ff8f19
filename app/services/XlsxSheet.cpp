#include "app/services/XlsxSheet.h"

#include <QFile>

#include <xlsxwriter.h>

#include <cmath>

namespace {

// Characters in one cell, as spreadsheet programs accept them.
constexpr int kMaxCellText = 32767;

} // namespace

XlsxSheet::XlsxSheet(const QString &path)
    : m_book(workbook_new(QFile::encodeName(path).constData()))
{
    if (!m_book)
        return;
    m_sheet = workbook_add_worksheet(m_book, nullptr);
    m_bold = workbook_add_format(m_book);
    if (m_bold)
        format_set_bold(m_bold);
    else
        m_sheet = nullptr;
}

XlsxSheet::~XlsxSheet()
{
    save();
}

void XlsxSheet::setColumnWidth(int column, double width)
{
    if (m_sheet)
        worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr);
}

void XlsxSheet::writeText(int row, int column, const QString &text, bool bold)
{
    if (m_sheet)
        worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column),
                               text.left(kMaxCellText).toUtf8().constData(), format(bold));
}

void XlsxSheet::writeNumber(int row, int column, double value, bool bold)
{
    if (!std::isfinite(value))
        writeText(row, column, QString::number(value), bold);
    else if (m_sheet)
        worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value, format(bold));
}

bool XlsxSheet::save()
{
    if (!m_book)
        return false;
    const lxw_error result = workbook_close(m_book);
    const bool written = m_sheet && result == LXW_NO_ERROR;
    m_book = nullptr;
    m_sheet = nullptr;
    m_bold = nullptr;
    return written;
}
