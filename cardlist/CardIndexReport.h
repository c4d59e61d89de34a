#pragma once

#include "controls/ReportPreview.h"

#include <QPageLayout>
#include <QString>
#include <QtGlobal>

#include <array>
#include <vector>

class DataSource;
class MemTable;
class QPainter;
class QWidget;

// The card index: a ruled table of the persons the card list shows, one line per person under a
// row of column titles. The template is data (bands and memos with their sizes in report units
// of 1/96 inch); rows are read from the card table once per showing; pagination depends on the
// row count only; painting draws one page on any device.

// Report units per millimetre: the template's sizes are in 1/96 inch.
inline constexpr double ReportUnitsPerMm = 96.0 / 25.4;

// How a memo comes by its text.
enum class MemoContent {
    FixedText, // the memo's own text (the column titles)
    FieldText, // the display text of dataField, as the card grid shows it
    SexText, // "муж" for a SEX value of 1 or more, otherwise "жен"
};

struct ReportMemo
{
    QString name;
    double left = 0; // report units, relative to the band
    double top = 0;
    double width = 0;
    double height = 0;
    // As written in the template; FieldText and SexText memos are evaluated through content.
    QString text;
    MemoContent content = MemoContent::FixedText;
    QString dataField; // FieldText only
    Qt::Alignment alignment = Qt::AlignLeft;
    QString fontFamily;
    int fontHeight = 0; // negative: the character height in pixels at 96 dpi
    double frameWidth = 0; // a solid black line on all four sides
    double insetX = 0; // text offset from the left and right edges
    double insetY = 0; // text offset from the top and bottom edges
};

enum class BandKind { Header, MasterData };

struct ReportBand
{
    QString name;
    BandKind kind = BandKind::MasterData;
    double top = 0; // the design position; the output stacks bands from the printable top
    double height = 0;
    double width = 0;
    std::vector<ReportMemo> memos;
};

struct ReportTemplate
{
    QString dataSetName;
    QPageLayout pageLayout;
    ReportBand header; // printed once, directly before the first data row
    ReportBand masterData; // once per data row; neither band grows
};

// The card index template: A4 portrait, 10 mm margins, Header1 (6 mm) and MasterData1 (5 mm)
// with Memo5..Memo8 and Memo1..Memo4.
const ReportTemplate &cardIndexTemplate();

// One page of the output: the rows it holds and whether the column titles stand above them.
struct ReportPage
{
    qsizetype firstRow = 0;
    qsizetype rowCount = 0;
    bool hasHeader = false;

    friend bool operator==(const ReportPage &, const ReportPage &) = default;
};

// How many rows a page takes: the first page also holds the header band.
struct ReportPagination
{
    // Heights in report units. A page holds at least one row, even where the paper is too
    // short for it: it is clipped rather than paginated forever.
    ReportPagination(double printableHeight, double headerHeight, double rowHeight);

    qsizetype firstPageRows = 1;
    qsizetype laterPageRows = 1;

    // An empty report still has one (blank) page: printers and the preview need a page.
    qsizetype pageCount(qsizetype rows) const;
    ReportPage page(qsizetype rows, qsizetype index) const;
    std::vector<ReportPage> pages(qsizetype rows) const;
};

// The pages for rows data rows of the card index template on its own page layout.
std::vector<ReportPage> paginate(qsizetype rows);

// The printed text of a SEX value. An empty SEX reads as 0 and prints "жен".
QString sexText(int sex);

class CardIndexReport final : public ReportDocument
{
public:
    static constexpr std::size_t ColumnCount = 4;
    using Row = std::array<QString, ColumnCount>; // the texts of MasterData1's memos, in order

    explicit CardIndexReport(const ReportTemplate &reportTemplate = cardIndexTemplate());

    // Reads the visible rows of the table in their order, replacing what an earlier preparing
    // read. The table's cursor is not moved: the user keeps the place in the list.
    void prepare(const MemTable &table);
    const std::vector<Row> &rows() const { return m_rows; }
    const ReportTemplate &reportTemplate() const { return m_template; }
    ReportPagination pagination() const;

    QPageLayout pageLayout() const override { return m_pageLayout; }
    void setPageLayout(const QPageLayout &layout) override;
    int pageCount() const override;
    void paintPage(int page, QPainter &painter) const override;

private:
    ReportTemplate m_template;
    QPageLayout m_pageLayout;
    std::vector<Row> m_rows;
};

// What "Печать картотеки" does: prepares the card index anew from the data source's table and
// shows it in the preview; returns when the preview closes.
void showCardIndexReport(QWidget *parent, const DataSource &source);
