#include "cardlist/CardIndexReport.h"

#include "carddata/DataSource.h"
#include "carddata/MemTable.h"
#include "controls/ReportPreview.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Sizes in the template are millimetres written in report units with five decimals; a row that
// fits to within this much still fits.
constexpr double FitTolerance = 1e-3;

ReportMemo memo(const QString &name, double left, double top, double width, const QString &text,
                MemoContent content, const QString &dataField, Qt::Alignment alignment)
{
    ReportMemo m;
    m.name = name;
    m.left = left;
    m.top = top;
    m.width = width;
    m.height = 18.89765;
    m.text = text;
    m.content = content;
    m.dataField = dataField;
    m.alignment = alignment;
    m.fontFamily = QStringLiteral("Arial");
    m.fontHeight = -13;
    m.frameWidth = 1;
    m.insetX = 2;
    m.insetY = 1;
    return m;
}

ReportTemplate makeCardIndexTemplate()
{
    ReportTemplate t;
    t.dataSetName = QStringLiteral("Картотека");
    t.pageLayout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                               QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);

    t.header.name = QStringLiteral("Header1");
    t.header.kind = BandKind::Header;
    t.header.top = 18.89765;
    t.header.height = 22.67718;
    t.header.width = 718.1107;
    const auto fixed = MemoContent::FixedText;
    t.header.memos = {
        memo(QStringLiteral("Memo5"), 0, 3.77953, 313.70099, QStringLiteral("ФИО"), fixed, {},
             Qt::AlignHCenter),
        memo(QStringLiteral("Memo6"), 313.70099, 3.77953, 120.94496,
             QStringLiteral("Дата рождения"), fixed, {}, Qt::AlignHCenter),
        memo(QStringLiteral("Memo7"), 434.64595, 3.77953, 94.48825, QStringLiteral("Пол"), fixed,
             {}, Qt::AlignHCenter),
        memo(QStringLiteral("Memo8"), 529.1342, 3.77953, 188.9765, QStringLiteral("Гражданство"),
             fixed, {}, Qt::AlignHCenter),
    };

    t.masterData.name = QStringLiteral("MasterData1");
    t.masterData.kind = BandKind::MasterData;
    t.masterData.top = 64.25201;
    t.masterData.height = 18.89765;
    t.masterData.width = 718.1107;
    const auto field = MemoContent::FieldText;
    t.masterData.memos = {
        memo(QStringLiteral("Memo1"), 0, 0, 313.70099, QStringLiteral("[Картотека.\"FIO\"]"), field,
             QStringLiteral("FIO"), Qt::AlignLeft),
        memo(QStringLiteral("Memo2"), 313.70099, 0, 120.94496,
             QStringLiteral("[Картотека.\"DATA_BORN\"]"), field, QStringLiteral("DATA_BORN"),
             Qt::AlignHCenter),
        memo(QStringLiteral("Memo3"), 434.64595, 0, 94.48825,
             QStringLiteral("[IIF(<Картотека.\"SEX\">=1,'муж','жен')]"), MemoContent::SexText,
             QStringLiteral("SEX"), Qt::AlignHCenter),
        memo(QStringLiteral("Memo4"), 529.1342, 0, 188.9765,
             QStringLiteral("[Картотека.\"GRAGDANSTVO\"]"), field, QStringLiteral("GRAGDANSTVO"),
             Qt::AlignHCenter),
    };
    return t;
}

// Draws bands in the device's own pixels: report units scale by the device's resolution, so
// the same page comes out alike on the screen, a printer and a PDF.
class BandPainter
{
public:
    explicit BandPainter(QPainter &painter)
        : m_painter(painter)
        , m_scaleX(painter.device()->logicalDpiX() / 96.0)
        , m_scaleY(painter.device()->logicalDpiY() / 96.0)
    { }

    void paint(const ReportBand &band, double top, const CardIndexReport::Row *row)
    {
        for (std::size_t i = 0; i < band.memos.size(); ++i) {
            const ReportMemo &m = band.memos[i];
            const bool fromRow = m.content != MemoContent::FixedText && row && i < row->size();
            paintMemo(m, top, fromRow ? (*row)[i] : m.text);
        }
    }

private:
    QRectF toDevice(double left, double top, double width, double height) const
    {
        return QRectF(left * m_scaleX, top * m_scaleY, width * m_scaleX, height * m_scaleY);
    }

    void useFont(const ReportMemo &m)
    {
        if (m_metrics && m.fontFamily == m_fontFamily && m.fontHeight == m_fontHeight)
            return;
        m_fontFamily = m.fontFamily;
        m_fontHeight = m.fontHeight;
        QFont font(m.fontFamily);
        font.setStyleHint(QFont::SansSerif);
        // The height is the character height in pixels at 96 dpi; points follow any device.
        font.setPointSizeF(std::abs(m.fontHeight) * 72.0 / 96.0);
        m_painter.setFont(font);
        m_metrics.emplace(m_painter.font(), m_painter.device());
    }

    void paintMemo(const ReportMemo &m, double bandTop, const QString &text)
    {
        const QRectF frame = toDevice(m.left, bandTop + m.top, m.width, m.height);
        if (m.frameWidth > 0) {
            m_painter.setPen(QPen(Qt::black, m.frameWidth * m_scaleY, Qt::SolidLine, Qt::SquareCap,
                                  Qt::MiterJoin));
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawRect(frame);
        }
        if (text.isEmpty())
            return;
        useFont(m);
        m_painter.setPen(Qt::black);
        const QRectF box = frame.adjusted(m.insetX * m_scaleX, m.insetY * m_scaleY,
                                          -m.insetX * m_scaleX, -m.insetY * m_scaleY);
        const qreal advance = m_metrics->horizontalAdvance(text);
        if (advance <= box.width() && m_metrics->height() <= frame.height()) {
            // One line that fits: the quick way, as most cells are.
            qreal x = box.left();
            if (m.alignment & Qt::AlignHCenter)
                x += (box.width() - advance) / 2;
            else if (m.alignment & Qt::AlignRight)
                x = box.right() - advance;
            m_painter.drawText(QPointF(x, box.top() + m_metrics->ascent()), text);
            return;
        }
        // Longer text wraps inside the cell and is cut at its frame; the band does not grow.
        m_painter.save();
        m_painter.setClipRect(frame, Qt::IntersectClip);
        m_painter.drawText(
            box, int(m.alignment | Qt::AlignTop) | Qt::TextWordWrap | Qt::TextDontClip, text);
        m_painter.restore();
    }

    QPainter &m_painter;
    const double m_scaleX;
    const double m_scaleY;
    QString m_fontFamily;
    int m_fontHeight = 0;
    std::optional<QFontMetricsF> m_metrics;
};

} // namespace

const ReportTemplate &cardIndexTemplate()
{
    static const ReportTemplate t = makeCardIndexTemplate();
    return t;
}

ReportPagination::ReportPagination(double printableHeight, double headerHeight, double rowHeight)
{
    if (rowHeight <= 0)
        return;
    const auto fit = [rowHeight](double height) {
        return std::max<qsizetype>(1, qsizetype(std::floor(height / rowHeight + FitTolerance)));
    };
    firstPageRows = fit(printableHeight - headerHeight);
    laterPageRows = fit(printableHeight);
}

qsizetype ReportPagination::pageCount(qsizetype rows) const
{
    if (rows <= firstPageRows)
        return 1;
    return 1 + (rows - firstPageRows + laterPageRows - 1) / laterPageRows;
}

ReportPage ReportPagination::page(qsizetype rows, qsizetype index) const
{
    rows = std::max<qsizetype>(rows, 0);
    ReportPage p;
    if (index <= 0) {
        p.rowCount = std::min(rows, firstPageRows);
        p.hasHeader = rows > 0; // the titles go out only together with the first row
        return p;
    }
    p.firstRow = std::min(rows, firstPageRows + (index - 1) * laterPageRows);
    p.rowCount = std::min(laterPageRows, rows - p.firstRow);
    return p;
}

std::vector<ReportPage> ReportPagination::pages(qsizetype rows) const
{
    const qsizetype count = pageCount(rows);
    std::vector<ReportPage> result;
    result.reserve(std::size_t(count));
    for (qsizetype i = 0; i < count; ++i)
        result.push_back(page(rows, i));
    return result;
}

std::vector<ReportPage> paginate(qsizetype rows)
{
    CardIndexReport report;
    return report.pagination().pages(rows);
}

QString sexText(int sex)
{
    return sex >= 1 ? QStringLiteral("муж") : QStringLiteral("жен");
}

CardIndexReport::CardIndexReport(const ReportTemplate &reportTemplate)
    : m_template(reportTemplate)
    , m_pageLayout(reportTemplate.pageLayout)
{ }

void CardIndexReport::prepare(const MemTable &table)
{
    const std::vector<ReportMemo> &memos = m_template.masterData.memos;
    const std::size_t columns = std::min(memos.size(), ColumnCount);
    std::array<const MemField *, ColumnCount> fields{};
    for (std::size_t i = 0; i < columns; ++i) {
        if (memos[i].content != MemoContent::FixedText)
            fields[i] = table.fieldByName(memos[i].dataField);
    }

    m_rows.clear();
    m_rows.reserve(std::size_t(table.rowCount()));
    for (int r = 0; r < table.rowCount(); ++r) {
        // Reads the row where it is: the table's cursor, and with it the grid's, stays put.
        const MemTable::ActiveRecord record(table, r);
        Row &row = m_rows.emplace_back();
        for (std::size_t i = 0; i < columns; ++i) {
            switch (memos[i].content) {
            case MemoContent::FixedText:
                row[i] = memos[i].text;
                break;
            case MemoContent::FieldText:
                if (fields[i])
                    row[i] = fields[i]->displayText();
                break;
            case MemoContent::SexText:
                row[i] = sexText(fields[i] ? fields[i]->asInteger() : 0);
                break;
            }
        }
    }
}

ReportPagination CardIndexReport::pagination() const
{
    const double printableHeight = m_pageLayout.paintRect(QPageLayout::Inch).height() * 96.0;
    return ReportPagination(printableHeight, m_template.header.height,
                            m_template.masterData.height);
}

void CardIndexReport::setPageLayout(const QPageLayout &layout)
{
    if (layout.isValid())
        m_pageLayout = layout;
}

int CardIndexReport::pageCount() const
{
    return int(pagination().pageCount(qsizetype(m_rows.size())));
}

void CardIndexReport::paintPage(int page, QPainter &painter) const
{
    const ReportPagination pages = pagination();
    const auto rows = qsizetype(m_rows.size());
    if (page < 0 || page >= pages.pageCount(rows) || !painter.isActive())
        return;
    const ReportPage p = pages.page(rows, page);

    painter.save();
    BandPainter bands(painter);
    double top = 0;
    if (p.hasHeader) {
        bands.paint(m_template.header, top, nullptr);
        top += m_template.header.height;
    }
    for (qsizetype r = p.firstRow; r < p.firstRow + p.rowCount; ++r) {
        bands.paint(m_template.masterData, top, &m_rows[std::size_t(r)]);
        top += m_template.masterData.height;
    }
    painter.restore();
}

void showCardIndexReport(QWidget *parent, const DataSource &source)
{
    CardIndexReport report;
    if (const MemTable *table = source.dataSet())
        report.prepare(*table);
    ReportPreview preview(report, parent);
    preview.exec();
}
