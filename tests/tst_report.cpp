#include "carddata/CardFilter.h"
#include "carddata/CardTable.h"
#include "carddata/DataSource.h"
#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "cardlist/CardIndexReport.h"
#include "controls/ReportPreview.h"
#include "tests/CardTableFixture.h"
#include "tests/GuiTestMain.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <optional>

namespace {

int day(int year, int month, int dayOfMonth)
{
    return DayNumber::fromDate(QDate(year, month, dayOfMonth));
}

// The card table with a way to add people of the test's own.
struct ReportCards : CardTableFixture
{
    using CardTableFixture::CardTableFixture;

    // A person appended after the demo ones; a sex of std::nullopt stays empty.
    void addPerson(const QString &family, std::optional<int> sex,
                   const QString &citizenship = QStringLiteral("Россия"))
    {
        table.append();
        table.fieldByName(u"ID")->setAsInteger(table.totalRowCount() + 1);
        table.fieldByName(u"FAMILY")->setAsString(family);
        table.fieldByName(u"NAME")->setAsString(u"Тест");
        table.fieldByName(u"SEC_NAME")->setAsString(u"Тестович");
        table.fieldByName(u"DATA_BORN")->setAsDate(day(1970, 3, 8));
        if (sex)
            table.fieldByName(u"SEX")->setAsInteger(*sex);
        table.fieldByName(u"GRAGDANSTVO")->setAsString(citizenship);
        table.post();
    }
};

// Schedules check to run on the preview once it is open, then closes it. Returns a flag that
// says whether a preview was found at all.
std::shared_ptr<bool> whenPreviewOpens(std::function<void(ReportPreview &)> check)
{
    auto seen = std::make_shared<bool>(false);
    QTimer::singleShot(0, [seen, check = std::move(check)] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *preview = qobject_cast<ReportPreview *>(modal)) {
            *seen = true;
            check(*preview);
            preview->reject();
        } else if (modal) {
            modal->close();
        }
    });
    return seen;
}

QAction *tool(ReportPreview &preview, const char *name)
{
    return preview.findChild<QAction *>(QLatin1String(name));
}

int pdfPageCount(const QString &fileName)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {fileName});
    if (!pdfinfo.waitForFinished(30000) || pdfinfo.exitCode() != 0)
        return -1;
    const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    for (const QString &line : info.split(u'\n')) {
        if (line.startsWith(u"Pages:"))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

// The text of one page (from 1) as a reader of the PDF gets it.
QString pdfPageText(const QString &fileName, int page)
{
    QProcess pdftotext;
    const QString number = QString::number(page);
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-f"), number, QStringLiteral("-l"), number,
                     QStringLiteral("-layout"), fileName, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000))
        return {};
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

bool havePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// A page painted on a white image of the printable area at the given resolution.
QImage paintedPage(const CardIndexReport &report, int page, int dpi)
{
    const QSize size = report.pageLayout().paintRectPixels(dpi).size();
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    report.paintPage(page, painter);
    return image;
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 128;
}

// The first and last pixel rows with ink in column x, or -1 where there is none.
std::pair<int, int> inkSpan(const QImage &image, int x)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        if (isInk(image.pixel(x, y))) {
            if (first < 0)
                first = y;
            last = y;
        }
    }
    return {first, last};
}

constexpr double UnitsPerMm = 96.0 / 25.4;

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void templateMirrorsTheCardIndex();
    void paginate_data();
    void paginate();
    void pageSetUpRepaginates();
    void reportHoldsTheListedRowsInTheirOrder();
    void sexTexts();
    void preparingLeavesTheCurrentRowAlone();
    void paintsInReportUnitsAtAnyResolution_data();
    void paintsInReportUnitsAtAnyResolution();
    void longTextStaysInsideItsCell();
    void previewOpensWithAllPages();
    void secondShowingReflectsADeletion();
    void saveToPdfFromThePreview();
    void printsTheChosenPages_data();
    void printsTheChosenPages();
    void failedPdfSaveIsReported();
};

void TestReport::initTestCase()
{
    quietOffscreenPlatform();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestReport::templateMirrorsTheCardIndex()
{
    const ReportTemplate &t = cardIndexTemplate();
    QCOMPARE(t.pageLayout.pageSize().id(), QPageSize::A4);
    QCOMPARE(t.pageLayout.orientation(), QPageLayout::Portrait);
    QCOMPARE(t.pageLayout.margins(QPageLayout::Millimeter), QMarginsF(10, 10, 10, 10));
    QCOMPARE(t.header.name, u"Header1"_qs);
    QCOMPARE(t.masterData.name, u"MasterData1"_qs);

    // The four columns fill the 190 mm of printable width without gap or overlap, in the header
    // and the data band alike, and the header cells end where the header band ends.
    for (const ReportBand *band : {&t.header, &t.masterData}) {
        QCOMPARE(band->memos.size(), std::size_t(4));
        double left = 0;
        for (const ReportMemo &m : band->memos) {
            QVERIFY2(qAbs(m.left - left) < 1e-4, qPrintable(m.name));
            left += m.width;
            QVERIFY(qAbs(m.top + m.height - band->height) < 1e-4);
        }
        QVERIFY(qAbs(left - 190 * UnitsPerMm) < 1e-3);
        QVERIFY(qAbs(left - band->width) < 1e-3);
    }
    QStringList titles;
    for (const ReportMemo &m : t.header.memos)
        titles << m.text;
    QCOMPARE(titles, QStringList({u"ФИО"_qs, u"Дата рождения"_qs, u"Пол"_qs, u"Гражданство"_qs}));
}

void TestReport::paginate_data()
{
    QTest::addColumn<qsizetype>("rows");
    QTest::addColumn<qsizetype>("pages");
    QTest::addColumn<qsizetype>("firstPageRows");
    QTest::addColumn<qsizetype>("lastPageRows");

    // 277 mm of printable height: the first page holds the 6 mm header and 54 rows of 5 mm,
    // every later page 55 rows.
    QTest::newRow("no rows: one blank page")
        << qsizetype(0) << qsizetype(1) << qsizetype(0) << qsizetype(0);
    QTest::newRow("one row") << qsizetype(1) << qsizetype(1) << qsizetype(1) << qsizetype(1);
    QTest::newRow("first page just full")
        << qsizetype(54) << qsizetype(1) << qsizetype(54) << qsizetype(54);
    QTest::newRow("first page overflows")
        << qsizetype(55) << qsizetype(2) << qsizetype(54) << qsizetype(1);
    QTest::newRow("second page just full")
        << qsizetype(109) << qsizetype(2) << qsizetype(54) << qsizetype(55);
    QTest::newRow("second page overflows")
        << qsizetype(110) << qsizetype(3) << qsizetype(54) << qsizetype(1);
    QTest::newRow("the demo persons")
        << qsizetype(10001) << qsizetype(182) << qsizetype(54) << qsizetype(47);
    QTest::newRow("a million") << qsizetype(1000000) << qsizetype(18182) << qsizetype(54)
                               << qsizetype(46);
}

void TestReport::paginate()
{
    QFETCH(qsizetype, rows);
    QFETCH(qsizetype, pages);
    QFETCH(qsizetype, firstPageRows);
    QFETCH(qsizetype, lastPageRows);

    QElapsedTimer timer;
    timer.start();
    const std::vector<ReportPage> result = ::paginate(rows);
    QVERIFY2(timer.elapsed() < 1000, "paginating must not depend on anything but arithmetic");

    QCOMPARE(qsizetype(result.size()), pages);
    QCOMPARE(result.front().rowCount, firstPageRows);
    QCOMPARE(result.back().rowCount, lastPageRows);
    // Only the first page carries the titles, and only when there is a row to stand above.
    QCOMPARE(result.front().hasHeader, rows > 0);
    // Every row exactly once, in order, and no page but the last one short.
    qsizetype next = 0;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const ReportPage &page = result[i];
        QCOMPARE(page.firstRow, next);
        if (i > 0) {
            QVERIFY(!page.hasHeader);
            QVERIFY(page.rowCount >= 1);
            if (i + 1 < result.size())
                QCOMPARE(page.rowCount, qsizetype(55));
        }
        next += page.rowCount;
    }
    QCOMPARE(next, rows);

    CardIndexReport report;
    QCOMPARE(qsizetype(report.pagination().pageCount(rows)), pages);
}

void TestReport::pageSetUpRepaginates()
{
    ReportCards cards(200);
    CardIndexReport report;
    report.prepare(cards.table);
    QCOMPARE(report.pageCount(), 4); // 54 + 55 + 55 + 36

    // Landscape A4 leaves 190 mm: 36 rows under the header, 38 on later pages.
    QPageLayout landscape = report.pageLayout();
    landscape.setOrientation(QPageLayout::Landscape);
    report.setPageLayout(landscape);
    QCOMPARE(report.pagination().firstPageRows, qsizetype(36));
    QCOMPARE(report.pagination().laterPageRows, qsizetype(38));
    QCOMPARE(report.pageCount(), 6); // 36 + 4 * 38 + 12

    // Paper too short for even one row still makes progress, one row a page.
    const ReportPagination cramped(10, 22.67718, 18.89765);
    QCOMPARE(cramped.pageCount(3), qsizetype(3));
}

void TestReport::reportHoldsTheListedRowsInTheirOrder()
{
    ReportCards cards(600);
    CardFilterInputs inputs;
    inputs.byBirthDate = true;
    inputs.fromDate = day(1960, 1, 11); // indexes 10 to 19
    inputs.toDate = day(1960, 1, 20);
    cards.applyFilters(inputs);
    QVERIFY(cards.table.sortByField(u"GRAGDANSTVO"));

    CardIndexReport report;
    report.prepare(cards.table);
    const auto row = [](const char *fio, const char *born, const char *sex, const char *country) {
        return CardIndexReport::Row{QString::fromUtf8(fio), QString::fromUtf8(born),
                                    QString::fromUtf8(sex), QString::fromUtf8(country)};
    };
    const std::vector<CardIndexReport::Row> expected{
        row("Иванов № 11", "12.01.1960", "муж", "Молдова"),
        row("Иванов № 15", "16.01.1960", "муж", "Молдова"),
        row("Иванов № 19", "20.01.1960", "муж", "Молдова"),
        row("Иванова № 12", "13.01.1960", "жен", "Россия"),
        row("Иванова № 16", "17.01.1960", "жен", "Россия"),
        row("Иванова № 10", "11.01.1960", "жен", "Узбекистан"),
        row("Иванова № 14", "15.01.1960", "жен", "Узбекистан"),
        row("Иванова № 18", "19.01.1960", "жен", "Узбекистан"),
        row("Иванов № 13", "14.01.1960", "муж", "Украина"),
        row("Иванов № 17", "18.01.1960", "муж", "Украина"),
    };
    QCOMPARE(report.rows().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const CardIndexReport::Row &actual = report.rows()[i];
        QCOMPARE(QStringList(actual.begin(), actual.end()),
                 QStringList(expected[i].begin(), expected[i].end()));
    }

    // A filter that leaves nothing gives one blank page: no titles without a row.
    inputs.toDate = day(1959, 12, 31);
    cards.applyFilters(inputs);
    report.prepare(cards.table);
    QVERIFY(report.rows().empty());
    QCOMPARE(report.pageCount(), 1);
    const QImage blank = paintedPage(report, 0, 96);
    QCOMPARE(inkSpan(blank, blank.width() / 2).first, -1);
}

void TestReport::sexTexts()
{
    ReportCards cards(0);
    cards.addPerson(QStringLiteral("Ноль"), 0);
    cards.addPerson(QStringLiteral("Один"), 1);
    cards.addPerson(QStringLiteral("Два"), 2);
    cards.addPerson(QStringLiteral("Минус"), -1);
    cards.addPerson(QStringLiteral("Пусто"), std::nullopt);

    CardIndexReport report;
    report.prepare(cards.table);
    QStringList texts;
    for (const CardIndexReport::Row &row : report.rows())
        texts << row[2];
    // 1 or more is "муж"; anything else, an empty value (read as 0) included, "жен".
    QCOMPARE(texts, QStringList({u"жен"_qs, u"муж"_qs, u"муж"_qs, u"жен"_qs, u"жен"_qs}));
}

void TestReport::preparingLeavesTheCurrentRowAlone()
{
    ReportCards cards(300);
    CardFilterInputs inputs;
    inputs.byCitizenship = true;
    inputs.citizenship = QStringLiteral("Украина");
    cards.applyFilters(inputs);
    cards.table.setCurrentRow(7);
    const QString currentName = cards.table.fieldByName(u"FIO")->displayText();
    QSignalSpy moves(&cards.table, &MemTable::currentRowChanged);

    CardIndexReport report;
    report.prepare(cards.table);
    QCOMPARE(report.rows().size(), std::size_t(75));
    QCOMPARE(cards.table.currentRow(), 7);
    QCOMPARE(cards.table.fieldByName(u"FIO")->displayText(), currentName);

    // The whole way from the menu item: prepare, show, close.
    const auto seen
        = whenPreviewOpens([](ReportPreview &preview) { QCOMPARE(preview.pageCount(), 2); });
    showCardIndexReport(nullptr, cards.source);
    QVERIFY(*seen);
    QCOMPARE(cards.table.currentRow(), 7);
    QCOMPARE(moves.count(), 0);
}

void TestReport::paintsInReportUnitsAtAnyResolution_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("screen") << 96;
    QTest::newRow("150 dpi") << 150;
    QTest::newRow("300 dpi") << 300;
}

void TestReport::paintsInReportUnitsAtAnyResolution()
{
    QFETCH(int, dpi);
    ReportCards cards(120);
    CardIndexReport report;
    report.prepare(cards.table);
    const double pxPerMm = dpi / 25.4;
    const int tolerance = qMax(2, dpi / 48);
    const int x = qRound(40 * pxPerMm); // inside the name column, clear of its text

    // Page 1: the header's frame starts 1 mm down, the last of 54 rows ends at 6 + 270 mm.
    const QImage first = paintedPage(report, 0, dpi);
    const auto [firstTop, firstBottom] = inkSpan(first, x);
    QVERIFY2(qAbs(firstTop - qRound(1 * pxPerMm)) <= tolerance,
             qPrintable(QString::number(firstTop)));
    QVERIFY2(qAbs(firstBottom - qRound(276 * pxPerMm)) <= tolerance,
             qPrintable(QString::number(firstBottom)));
    // The header's title stands on page 1 only: ink in the middle of the name column's title.
    const int titleY = qRound(3.5 * pxPerMm);
    bool titleInk = false;
    for (int tx = qRound(38 * pxPerMm); tx < qRound(45 * pxPerMm); ++tx)
        titleInk = titleInk || isInk(first.pixel(tx, titleY));
    QVERIFY(titleInk);

    // Page 2: rows from the very top, 55 of them, 275 mm.
    const QImage second = paintedPage(report, 1, dpi);
    const auto [secondTop, secondBottom] = inkSpan(second, x);
    QVERIFY(secondTop <= tolerance);
    QVERIFY2(qAbs(secondBottom - qRound(275 * pxPerMm)) <= tolerance,
             qPrintable(QString::number(secondBottom)));
    bool secondTitleInk = false;
    for (int tx = qRound(38 * pxPerMm); tx < qRound(45 * pxPerMm); ++tx)
        secondTitleInk = secondTitleInk || isInk(second.pixel(tx, titleY));
    QVERIFY(!secondTitleInk);

    // Page 3: the 11 rows left.
    const QImage third = paintedPage(report, 2, dpi);
    QVERIFY(qAbs(inkSpan(third, x).second - qRound(55 * pxPerMm)) <= tolerance);
}

void TestReport::longTextStaysInsideItsCell()
{
    ReportCards cards(0);
    cards.addPerson(QString(u"Очень-длинная-фамилия "_qs).repeated(12), 1,
                    QStringLiteral("Соединённые Штаты Америки и ещё много слов"));
    CardIndexReport report;
    report.prepare(cards.table);
    const QImage page = paintedPage(report, 0, 150);
    const double pxPerMm = 150 / 25.4;
    // The only row ends 11 mm down; a band that grew or text that spilled would leave ink below.
    const int rowBottom = qRound(11 * pxPerMm);
    int inkInside = 0;
    for (int y = qRound(6 * pxPerMm) + 3; y < rowBottom - 2; ++y) {
        for (int x = 5; x < qRound(82 * pxPerMm); ++x)
            inkInside += isInk(page.pixel(x, y)) ? 1 : 0;
    }
    QVERIFY(inkInside > 0);
    for (int y = rowBottom + 3; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (isInk(page.pixel(x, y)))
                QFAIL(qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
        }
    }
}

void TestReport::previewOpensWithAllPages()
{
    ReportCards cards;
    QElapsedTimer timer;
    qint64 openedAfter = -1;
    const auto seen = whenPreviewOpens([&](ReportPreview &preview) {
        // Painted once, as a person would first see it.
        QVERIFY(!preview.grab().isNull());
        openedAfter = timer.elapsed();
        QCOMPARE(preview.windowTitle(), u"Предварительный просмотр"_qs);
        QVERIFY(preview.isModal());
        QVERIFY(preview.windowState().testFlag(Qt::WindowMaximized));
        QCOMPARE(preview.pageCount(), 182);
        QCOMPARE(preview.previewWidget()->zoomFactor(), 1.0);
        auto *pageNumber = preview.findChild<QSpinBox *>(u"pageNumber"_qs);
        auto *pageCount = preview.findChild<QLabel *>(u"pageCountLabel"_qs);
        QVERIFY(pageNumber && pageCount);
        QCOMPARE(pageNumber->value(), 1);
        QCOMPARE(pageCount->text(), u"из 182"_qs);
        for (const QToolButton *button : preview.findChildren<QToolButton *>()) {
            if (button->defaultAction())
                QVERIFY2(!button->toolTip().isEmpty(), qPrintable(button->objectName()));
        }

        QVERIFY(!tool(preview, "pbFirstPage")->isEnabled());
        tool(preview, "pbLastPage")->trigger();
        QCOMPARE(preview.currentPage(), 182);
        QCOMPARE(pageNumber->value(), 182);
        QVERIFY(!tool(preview, "pbNextPage")->isEnabled());
        tool(preview, "pbPriorPage")->trigger();
        QCOMPARE(preview.currentPage(), 181);
        pageNumber->setValue(91);
        QCOMPARE(preview.currentPage(), 91);
        tool(preview, "pbFirstPage")->trigger();
        QCOMPARE(preview.currentPage(), 1);
        tool(preview, "pbNextPage")->trigger();
        QCOMPARE(preview.currentPage(), 2);

        const qreal zoom = preview.previewWidget()->zoomFactor();
        tool(preview, "pbZoomIn")->trigger();
        QVERIFY(preview.previewWidget()->zoomFactor() > zoom);
        tool(preview, "pbFitPage")->trigger();
        QCOMPARE(preview.previewWidget()->zoomMode(), QPrintPreviewWidget::FitInView);
        tool(preview, "pbFitWidth")->trigger();
        QCOMPARE(preview.previewWidget()->zoomMode(), QPrintPreviewWidget::FitToWidth);
    });
    timer.start();
    showCardIndexReport(nullptr, cards.source);
    QVERIFY(*seen);
    qInfo("preview of %d rows open and painted after %lld ms", cards.table.rowCount(), openedAfter);
    // A generous bound for a debug build on a busy machine; the release figure is far lower.
    QVERIFY(openedAfter >= 0 && openedAfter < 5000);
}

void TestReport::secondShowingReflectsADeletion()
{
    ReportCards cards(60);
    int pagesSeen = 0;
    auto seen = whenPreviewOpens([&](ReportPreview &preview) { pagesSeen = preview.pageCount(); });
    showCardIndexReport(nullptr, cards.source);
    QVERIFY(*seen);
    QCOMPARE(pagesSeen, 2);

    cards.table.setCurrentRow(0);
    for (int i = 0; i < 6; ++i)
        cards.table.deleteCurrent();
    QCOMPARE(cards.table.rowCount(), 54);
    seen = whenPreviewOpens([&](ReportPreview &preview) { pagesSeen = preview.pageCount(); });
    showCardIndexReport(nullptr, cards.source);
    QVERIFY(*seen);
    QCOMPARE(pagesSeen, 1);

    // Preparing again keeps nothing of the earlier rows.
    CardIndexReport report;
    report.prepare(cards.table);
    cards.table.setCurrentRow(0);
    cards.table.deleteCurrent();
    report.prepare(cards.table);
    QCOMPARE(report.rows().size(), std::size_t(53));
    QCOMPARE(report.rows().front()[0], u"Иванов № 7"_qs);
}

void TestReport::saveToPdfFromThePreview()
{
    if (!havePoppler())
        QSKIP("pdfinfo and pdftotext are needed to read the PDF back");
    ReportCards cards(120);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(u"картотека"_qs); // the suffix is added
    int previewPages = 0;
    const auto seen = whenPreviewOpens([&](ReportPreview &preview) {
        previewPages = preview.pageCount();
        QTimer::singleShot(0, [fileName] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                dialog->selectFile(fileName);
                static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
            } else if (QWidget *modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        auto *button = preview.findChild<QToolButton *>(u"pbExportButton"_qs);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    });
    showCardIndexReport(nullptr, cards.source);
    QVERIFY(*seen);

    const QString pdf = fileName + u".pdf"_qs;
    QVERIFY(QFile::exists(pdf));
    QCOMPARE(previewPages, 3);
    QCOMPARE(pdfPageCount(pdf), previewPages);
    const QString first = pdfPageText(pdf, 1);
    const QString second = pdfPageText(pdf, 2);
    const QString last = pdfPageText(pdf, 3);
    QVERIFY(first.contains(u"Дата рождения"_qs));
    QVERIFY(first.contains(u"Иванова № 0"_qs));
    QVERIFY(first.contains(u"Иванов № 53"_qs));
    QVERIFY(!first.contains(u"Иванова № 54"_qs));
    QVERIFY(!second.contains(u"Дата рождения"_qs));
    QVERIFY(second.contains(u"Иванова № 54"_qs));
    QVERIFY(last.contains(u"Иванов № 119"_qs));
    QVERIFY(last.contains(u"29.04.1960"_qs)); // the last person's birth date
}

void TestReport::printsTheChosenPages_data()
{
    QTest::addColumn<int>("range"); // QPrinter::PrintRange
    QTest::addColumn<int>("fromPage");
    QTest::addColumn<int>("toPage");
    QTest::addColumn<int>("printedPages");
    QTest::addColumn<QString>("firstPrintedRow");

    QTest::newRow("all pages") << int(QPrinter::AllPages) << 0 << 0 << 3 << u"Иванова № 0"_qs;
    QTest::newRow("pages 2 to 3") << int(QPrinter::PageRange) << 2 << 3 << 2 << u"Иванова № 54"_qs;
    QTest::newRow("beyond the end")
        << int(QPrinter::PageRange) << 3 << 9 << 1 << u"Иванов № 109"_qs;
    QTest::newRow("current page") << int(QPrinter::CurrentPage) << 0 << 0 << 1
                                  << u"Иванова № 54"_qs;
}

void TestReport::printsTheChosenPages()
{
    QFETCH(int, range);
    QFETCH(int, fromPage);
    QFETCH(int, toPage);
    QFETCH(int, printedPages);
    QFETCH(QString, firstPrintedRow);
    if (!havePoppler())
        QSKIP("pdfinfo and pdftotext are needed to read the printout back");

    // Printing to a file stands in for a printer; the print dialog is answered as it comes.
    ReportCards cards(120);
    QTemporaryDir dir;
    const QString fileName = dir.filePath(u"printout.pdf"_qs);
    const auto seen = whenPreviewOpens([&](ReportPreview &preview) {
        QPrinter *printer = preview.printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(fileName);
        printer->setPrintRange(QPrinter::PrintRange(range));
        if (fromPage > 0)
            printer->setFromTo(fromPage, toPage);
        tool(preview, "pbNextPage")->trigger(); // the current page is page 2
        QTimer::singleShot(0, [] {
            if (auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget()))
                dialog->accept();
            else if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        tool(preview, "pbPrint")->trigger();
        // What the preview shows stays whole.
        QCOMPARE(preview.pageCount(), 3);
    });
    showCardIndexReport(nullptr, cards.source);
    QVERIFY(*seen);

    QVERIFY(QFile::exists(fileName));
    QCOMPARE(pdfPageCount(fileName), printedPages);
    const QString firstPage = pdfPageText(fileName, 1);
    QVERIFY2(firstPage.contains(firstPrintedRow), qPrintable(firstPage.left(300)));
    QCOMPARE(firstPage.contains(u"Дата рождения"_qs), firstPrintedRow == u"Иванова № 0"_qs);
}

void TestReport::failedPdfSaveIsReported()
{
    ReportCards cards(10);
    CardIndexReport report;
    report.prepare(cards.table);
    QTemporaryDir dir;
    const QString fileName = dir.filePath(u"нет-такой-папки/отчёт.pdf"_qs);

    QString error;
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!writePdf(report, fileName, &error));
    QVERIFY(!error.isEmpty());

    // The preview says so rather than returning quietly.
    ReportPreview preview(report);
    QString warning;
    QTimer::singleShot(0, [&warning] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            warning = box->text();
            box->accept();
        }
    });
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!preview.saveToPdf(fileName));
    QVERIFY(warning.contains(u"не сохранён"_qs));
    QVERIFY(!QFile::exists(fileName));
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
