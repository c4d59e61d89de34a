// The card data's hot paths at the demo size and at a million rows, with an in-memory SQLite
// database holding the same rows as the yardstick for the filtering passes.
#include "carddata/CardFilter.h"
#include "carddata/CardTable.h"
#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "carddata/TextRules.h"
#include "cardlist/CardIndexReport.h"
#include "cardlist/UFormCardList.h"
#include "controls/DataGrid.h"
#include "controls/ReportPreview.h"
#include "mainwindow/Application.h"
#include "mainwindow/frmMainForm.h"
#include "tests/CardTableFixture.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <map>
#include <memory>

namespace {

// Building a million-row table takes a while: each size is built once and shared.
CardTableFixture &rig(int rows)
{
    static std::map<int, std::unique_ptr<CardTableFixture>> rigs;
    auto &slot = rigs[rows];
    if (!slot)
        slot = std::make_unique<CardTableFixture>(rows);
    return *slot;
}

enum class Filter { Name, Date, Citizenship, All };

CardFilterInputs inputsFor(Filter which)
{
    CardFilterInputs in;
    if (which == Filter::Name || which == Filter::All) {
        in.byName = true;
        in.searchText = QStringLiteral("иван");
    }
    if (which == Filter::Date || which == Filter::All) {
        in.byBirthDate = true;
        in.fromDate = DayNumber::fromDate(QDate(1960, 6, 1));
        in.toDate = DayNumber::fromDate(QDate(1975, 5, 31));
    }
    if (which == Filter::Citizenship || which == Filter::All) {
        in.byCitizenship = true;
        in.citizenship = QStringLiteral("Украина");
    }
    return in;
}

void runFilter(benchmark::State &state, Filter which)
{
    CardTableFixture &r = rig(static_cast<int>(state.range(0)));
    const CardFilterInputs inputs = inputsFor(which);
    r.applyFilters(inputs); // folds the name columns once, as the first real pass would
    int shown = 0;
    for (auto _ : state) {
        shown = r.applyFilters(inputs);
        benchmark::DoNotOptimize(shown);
    }
    state.counters["rows_shown"] = shown;
    state.counters["bytes_per_row"] = double(r.table.memoryUsage()) / double(state.range(0));
    r.applyFilters({});
}

void BM_Populate(benchmark::State &state)
{
    const int rows = static_cast<int>(state.range(0));
    size_t bytes = 0;
    for (auto _ : state) {
        MemTable table;
        CardTable::defineFields(table);
        CardTable::populate(table, rows);
        bytes = table.memoryUsage();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes_per_row"] = double(bytes) / rows;
}

void BM_FilterName(benchmark::State &state)
{
    runFilter(state, Filter::Name);
}
void BM_FilterDate(benchmark::State &state)
{
    runFilter(state, Filter::Date);
}
void BM_FilterCitizenship(benchmark::State &state)
{
    runFilter(state, Filter::Citizenship);
}
void BM_FilterAll(benchmark::State &state)
{
    runFilter(state, Filter::All);
}

void runSort(benchmark::State &state, QStringView fieldName)
{
    CardTableFixture &r = rig(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        r.table.sortByField(u"ID"); // the same starting order each time
        state.ResumeTiming();
        r.table.sortByField(fieldName);
    }
    r.table.sortByField(u"ID");
}

void BM_SortFIO(benchmark::State &state)
{
    runSort(state, u"FIO");
}
void BM_SortDataBorn(benchmark::State &state)
{
    runSort(state, u"DATA_BORN");
}
void BM_SortCitizenship(benchmark::State &state)
{
    runSort(state, u"GRAGDANSTVO");
}

// The same rows in SQLite. Its lower() folds ASCII only, so the name columns are stored folded.
struct SqliteRig
{
    explicit SqliteRig(int rows)
    {
        sqlite3_open(":memory:", &db);
        exec("CREATE TABLE cards (id INTEGER PRIMARY KEY, family TEXT, name TEXT, sec_name TEXT, "
             "family_folded TEXT, name_folded TEXT, sec_name_folded TEXT, data_born INTEGER, "
             "sex INTEGER, gragdanstvo TEXT)");
        exec("BEGIN");
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO cards VALUES (?,?,?,?,?,?,?,?,?,?)", -1, &insert,
                           nullptr);
        // Filled from our own card table, so both hold exactly the same rows.
        CardTableFixture &source = rig(rows);
        const MemTable &t = source.table;
        for (int row = 0; row < t.rowCount(); ++row) {
            MemTable::ActiveRecord record(t, row);
            const QByteArray family = t.fieldByName(u"FAMILY")->asString().toUtf8();
            const QByteArray name = t.fieldByName(u"NAME")->asString().toUtf8();
            const QByteArray secName = t.fieldByName(u"SEC_NAME")->asString().toUtf8();
            const QByteArray citizenship = t.fieldByName(u"GRAGDANSTVO")->asString().toUtf8();
            const QByteArray familyFolded = TextRules::folded(QString::fromUtf8(family)).toUtf8();
            const QByteArray nameFolded = TextRules::folded(QString::fromUtf8(name)).toUtf8();
            const QByteArray secNameFolded = TextRules::folded(QString::fromUtf8(secName)).toUtf8();
            sqlite3_bind_int(insert, 1, t.fieldByName(u"ID")->asInteger());
            sqlite3_bind_text(insert, 2, family.data(), int(family.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, name.data(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 4, secName.data(), int(secName.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 5, familyFolded.data(), int(familyFolded.size()),
                              SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 6, nameFolded.data(), int(nameFolded.size()),
                              SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 7, secNameFolded.data(), int(secNameFolded.size()),
                              SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 8, t.fieldByName(u"DATA_BORN")->asDate());
            sqlite3_bind_int(insert, 9, t.fieldByName(u"SEX")->asInteger());
            sqlite3_bind_text(insert, 10, citizenship.data(), int(citizenship.size()),
                              SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        exec("COMMIT");
    }
    ~SqliteRig() { sqlite3_close(db); }

    void exec(const char *sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

    // The ids of the rows a filter accepts, in row order, as our filtering pass builds them.
    std::vector<int> select(Filter which)
    {
        const CardFilterInputs in = inputsFor(which);
        QByteArray sql = "SELECT id FROM cards WHERE 1";
        if (in.byName)
            sql += " AND (instr(family_folded, ?1) > 0 OR instr(name_folded, ?1) > 0"
                   " OR instr(sec_name_folded, ?1) > 0)";
        if (in.byBirthDate)
            sql += " AND data_born >= ?2 AND data_born <= ?3";
        if (in.byCitizenship)
            sql += " AND gragdanstvo = ?4";
        sql += " ORDER BY id";
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
        const QByteArray needle = TextRules::folded(in.searchText).toUtf8();
        const QByteArray country = in.citizenship.toUtf8();
        if (in.byName)
            sqlite3_bind_text(stmt, 1, needle.data(), int(needle.size()), SQLITE_TRANSIENT);
        if (in.byBirthDate) {
            sqlite3_bind_int(stmt, 2, in.fromDate);
            sqlite3_bind_int(stmt, 3, in.toDate);
        }
        if (in.byCitizenship)
            sqlite3_bind_text(stmt, 4, country.data(), int(country.size()), SQLITE_TRANSIENT);
        std::vector<int> ids;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            ids.push_back(sqlite3_column_int(stmt, 0));
        sqlite3_finalize(stmt);
        return ids;
    }

    sqlite3 *db = nullptr;
};

SqliteRig &sqliteRig(int rows)
{
    static std::map<int, std::unique_ptr<SqliteRig>> rigs;
    auto &slot = rigs[rows];
    if (!slot)
        slot = std::make_unique<SqliteRig>(rows);
    return *slot;
}

void runSqliteFilter(benchmark::State &state, Filter which)
{
    const int rows = static_cast<int>(state.range(0));
    SqliteRig &db = sqliteRig(rows);
    // Both must agree on the rows, or the comparison means nothing.
    CardTableFixture &ours = rig(rows);
    const int oursShown = ours.applyFilters(inputsFor(which));
    ours.applyFilters({});
    size_t shown = 0;
    for (auto _ : state) {
        shown = db.select(which).size();
        benchmark::DoNotOptimize(shown);
    }
    if (shown != size_t(oursShown))
        state.SkipWithError("SQLite and the card filter disagree on the row count");
    state.counters["rows_shown"] = double(shown);
}

void BM_SqliteFilterName(benchmark::State &state)
{
    runSqliteFilter(state, Filter::Name);
}
void BM_SqliteFilterDate(benchmark::State &state)
{
    runSqliteFilter(state, Filter::Date);
}
void BM_SqliteFilterCitizenship(benchmark::State &state)
{
    runSqliteFilter(state, Filter::Citizenship);
}
void BM_SqliteFilterAll(benchmark::State &state)
{
    runSqliteFilter(state, Filter::All);
}

} // namespace

#define KELVORA_SIZES Arg(CardTable::DemoPersonCount)->Arg(1000000)->Unit(benchmark::kMillisecond)

BENCHMARK(BM_Populate)->KELVORA_SIZES;
BENCHMARK(BM_FilterName)->KELVORA_SIZES;
BENCHMARK(BM_FilterDate)->KELVORA_SIZES;
BENCHMARK(BM_FilterCitizenship)->KELVORA_SIZES;
BENCHMARK(BM_FilterAll)->KELVORA_SIZES;
BENCHMARK(BM_SortFIO)->KELVORA_SIZES;
BENCHMARK(BM_SortDataBorn)->KELVORA_SIZES;
BENCHMARK(BM_SortCitizenship)->KELVORA_SIZES;
BENCHMARK(BM_SqliteFilterName)->KELVORA_SIZES;
BENCHMARK(BM_SqliteFilterDate)->KELVORA_SIZES;
BENCHMARK(BM_SqliteFilterCitizenship)->KELVORA_SIZES;
BENCHMARK(BM_SqliteFilterAll)->KELVORA_SIZES;

// The card index report: pagination alone, and every page of the demo persons written to a PDF.
namespace {

void BM_ReportPaginate(benchmark::State &state)
{
    const qsizetype rows = state.range(0);
    std::size_t pages = 0;
    for (auto _ : state) {
        const std::vector<ReportPage> result = paginate(rows);
        pages = result.size();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = double(pages);
}

void BM_ReportRender(benchmark::State &state)
{
    CardIndexReport report;
    report.prepare(rig(static_cast<int>(state.range(0))).table);
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state) {
        if (!writePdf(report, fileName)) {
            state.SkipWithError("the PDF could not be written");
            break;
        }
    }
    state.counters["pages"] = report.pageCount();
    state.counters["pdf_bytes"] = double(QFileInfo(fileName).size());
}

// ApplyFilters through a real card list window, offscreen: the filtering pass, the grid's model
// reset and the repaint of what the grid shows.
void BM_ApplyFiltersWindow(benchmark::State &state)
{
    if (state.range(0) != CardTable::DemoPersonCount) {
        state.SkipWithError("the window always shows the demo persons");
        return;
    }
    auto main = std::make_unique<TfrmMain>();
    frmMain = main.get();
    main->resize(1280, 800);
    main->show();
    main->Action2->trigger();
    TfrmViewPersonsList *list = frmViewPersonsList;
    list->resize(1000, 700);
    QCoreApplication::processEvents();
    list->edtFamily->setText(QStringLiteral("иван"));
    bool narrow = true;
    for (auto _ : state) {
        // Alternate between two texts so that every pass changes what the grid shows.
        list->edtFamily->setText(narrow ? QStringLiteral("иван") : QStringLiteral("петров"));
        list->TimerFindTimer();
        list->DBGridEh1->viewport()->repaint();
        narrow = !narrow;
    }
    state.counters["rows_shown"] = list->DBGridEh1->model()->rowCount();
    main.reset();
}

} // namespace

BENCHMARK(BM_ApplyFiltersWindow)->Arg(CardTable::DemoPersonCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportPaginate)
    ->Arg(CardTable::DemoPersonCount)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReportRender)->Arg(CardTable::DemoPersonCount)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // The report paints text and one benchmark drives a real window: a GUI application, but no
    // display is wanted for that.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpApplication(app);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
