#include "carddata/CardFilter.h"
#include "carddata/CardTable.h"
#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "carddata/TextRules.h"
#include "tests/CardTableFixture.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

int day(int year, int month, int dayOfMonth)
{
    return DayNumber::fromDate(QDate(year, month, dayOfMonth));
}

// A small table of names and dates, filled row by row.
struct SmallTable
{
    SmallTable()
    {
        table.addField(QStringLiteral("N"), FieldType::Integer);
        table.addField(QStringLiteral("T"), FieldType::Text, 20);
        table.addField(QStringLiteral("D"), FieldType::Date);
    }

    // A row whose text or date is std::nullopt stays empty there.
    void add(int n, std::optional<QString> text, std::optional<int> date = std::nullopt)
    {
        table.append();
        table.fieldByName(u"N")->setAsInteger(n);
        if (text)
            table.fieldByName(u"T")->setAsString(*text);
        if (date)
            table.fieldByName(u"D")->setAsDate(*date);
        table.post();
    }

    QList<int> numbers() const
    {
        QList<int> result;
        for (int row = 0; row < table.rowCount(); ++row) {
            MemTable::ActiveRecord record(table, row);
            result << table.fieldByName(u"N")->asInteger();
        }
        return result;
    }

    MemTable table;
};

} // namespace

class TestCardData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void demoPersons_data();
    void demoPersons();
    void demoTableAsAWhole();
    void fullName_data();
    void fullName();
    void filterCountsOnDemoData_data();
    void filterCountsOnDemoData();
    void filterMatchesNaiveReference();
    void textIsCutAtFieldSize();
    void emptyValuesRead();
    void sort_data();
    void sort();
    void sortReachesHiddenRowsAndKeepsCurrentRecord();
    void sortDoesNothingWithoutVisibleRows();
    void sortByCalculatedFieldUsesCollation();
    void filterHookRunsOnlyWhenTheContractSays();
    void deleteCurrent_data();
    void deleteCurrent();
    void cursorWalksVisibleRows();
    void calculatedTextKeepsWholeCharacters();
};

void TestCardData::demoPersons_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("secName");
    QTest::addColumn<QDate>("born");
    QTest::addColumn<int>("sex");
    QTest::addColumn<QString>("citizenship");

    QTest::newRow("first") << 0 << 1 << u"Иванова"_qs << u"0"_qs << QDate(1960, 1, 1) << 0
                           << u"Россия"_qs;
    QTest::newRow("last Иванов") << 499 << 500 << u"Иванов"_qs << u"499"_qs << QDate(1961, 5, 14)
                                 << 1 << u"Молдова"_qs;
    QTest::newRow("first Петрова")
        << 500 << 501 << u"Петрова"_qs << u"500"_qs << QDate(1961, 5, 15) << 0 << u"Россия"_qs;
    QTest::newRow("an Украина man")
        << 501 << 502 << u"Петров"_qs << u"501"_qs << QDate(1961, 5, 16) << 1 << u"Украина"_qs;
    QTest::newRow("an Узбекистан woman")
        << 502 << 503 << u"Петрова"_qs << u"502"_qs << QDate(1961, 5, 17) << 0 << u"Узбекистан"_qs;
    QTest::newRow("last") << 10000 << 10001 << u"Петрова"_qs << u"10000"_qs << QDate(1987, 5, 19)
                          << 0 << u"Россия"_qs;
}

void TestCardData::demoPersons()
{
    QFETCH(int, index);
    QFETCH(int, id);
    QFETCH(QString, family);
    QFETCH(QString, secName);
    QFETCH(QDate, born);
    QFETCH(int, sex);
    QFETCH(QString, citizenship);

    static const CardTableFixture f;
    MemTable::ActiveRecord record(f.table, index);
    const MemTable &t = f.table;
    QCOMPARE(t.fieldByName(u"ID")->asInteger(), id);
    QCOMPARE(t.fieldByName(u"FAMILY")->asString(), family);
    QCOMPARE(t.fieldByName(u"NAME")->asString(), u"№"_qs);
    QCOMPARE(t.fieldByName(u"SEC_NAME")->asString(), secName);
    QCOMPARE(DayNumber::toDate(t.fieldByName(u"DATA_BORN")->asDate()), born);
    QCOMPARE(t.fieldByName(u"DATA_BORN")->displayText(), born.toString(u"dd.MM.yyyy"));
    QCOMPARE(t.fieldByName(u"SEX")->asInteger(), sex);
    QCOMPARE(t.fieldByName(u"GRAGDANSTVO")->asString(), citizenship);
    QCOMPARE(t.fieldByName(u"FIO")->displayText(), family + u" № "_qs + secName);
}

void TestCardData::demoTableAsAWhole()
{
    const CardTableFixture f;
    QCOMPARE(f.table.rowCount(), 10001);
    QCOMPARE(f.table.totalRowCount(), 10001);
    QVERIFY(!f.table.isFiltered());
    QCOMPARE(f.table.currentRow(), 10000); // the last posted row

    static const QStringList emptyFields{
        u"PASSPORT_SER"_qs,  u"PASSPORT_NUMBER"_qs,  u"PASSPORD_WHEN"_qs,     u"PASSPORT_WHERE"_qs,
        u"BOUNDARY_WHEN"_qs, u"PRIMARY_REG_WHEN"_qs, u"PRIMARY_REG_IN_OUT"_qs};
    for (int row = 0; row < f.table.rowCount(); ++row) {
        MemTable::ActiveRecord record(f.table, row);
        QCOMPARE(f.table.fieldByName(u"ID")->asInteger(), row + 1);
        for (const QString &name : emptyFields) {
            const MemField *field = f.table.fieldByName(name);
            QVERIFY2(field->isNull() && field->asString().isEmpty() && field->asInteger() == 0,
                     qPrintable(name));
        }
    }

    // The field objects are named after the table, the passport date under its old name.
    QVERIFY(f.table.findChild<MemField *>(u"TblCardListPASSWORD_WHEN"_qs));
    QCOMPARE(f.table.findChild<MemField *>(u"TblCardListPASSWORD_WHEN"_qs)->fieldName(),
             u"PASSPORD_WHEN"_qs);
    QStringList names;
    for (int i = 0; i < f.table.fieldCount(); ++i)
        names << f.table.field(i)->fieldName();
    QCOMPARE(names,
             QStringList({u"ID"_qs, u"FAMILY"_qs, u"NAME"_qs, u"SEC_NAME"_qs, u"DATA_BORN"_qs,
                          u"SEX"_qs, u"GRAGDANSTVO"_qs, u"PASSPORT_SER"_qs, u"PASSPORT_NUMBER"_qs,
                          u"PASSPORD_WHEN"_qs, u"PASSPORT_WHERE"_qs, u"FIO"_qs, u"BOUNDARY_WHEN"_qs,
                          u"PRIMARY_REG_WHEN"_qs, u"PRIMARY_REG_IN_OUT"_qs}));
}

void TestCardData::fullName_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("secName");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << u"Иванова"_qs << u"№"_qs << u"0"_qs << u"Иванова № 0"_qs;
    QTest::newRow("spaces and tabs")
        << u"  Петров\t"_qs << u"\tИван "_qs << u" Ильич"_qs << u"Петров Иван Ильич"_qs;
    QTest::newRow("codes 0 to 32")
        << QString(u"\u0001\u001fА\u0000"_qs) << u"Б"_qs << u"В"_qs << u"А Б В"_qs;
    QTest::newRow("inside untouched")
        << u"Салтыков  Щедрин"_qs << u""_qs << u""_qs << u"Салтыков  Щедрин  "_qs;
    QTest::newRow("no-break space kept")
        << u"\u00a0Ли"_qs << u"Бо"_qs << u"\u00a0"_qs << u"\u00a0Ли Бо \u00a0"_qs;
    QTest::newRow("empty name") << u"Петров"_qs << u""_qs << u"Ильич"_qs << u"Петров  Ильич"_qs;
    QTest::newRow("all empty") << u""_qs << u"   "_qs << u""_qs << u"  "_qs;
}

void TestCardData::fullName()
{
    QFETCH(QString, family);
    QFETCH(QString, name);
    QFETCH(QString, secName);
    QFETCH(QString, expected);

    CardTableFixture f(0);
    f.table.append();
    f.table.fieldByName(u"FAMILY")->setAsString(family);
    f.table.fieldByName(u"NAME")->setAsString(name);
    f.table.fieldByName(u"SEC_NAME")->setAsString(secName);
    f.table.post();
    QCOMPARE(f.text(0, u"FIO"), expected);
    // The stored parts themselves are kept as given.
    QCOMPARE(f.text(0, u"FAMILY"), family);
}

void TestCardData::filterCountsOnDemoData_data()
{
    QTest::addColumn<CardFilterInputs>("inputs");
    QTest::addColumn<int>("expected");

    auto byName = [](const QString &text) {
        CardFilterInputs in;
        in.byName = true;
        in.searchText = text;
        return in;
    };
    auto byDates = [](int exact, int from, int to) {
        CardFilterInputs in;
        in.byBirthDate = true;
        in.exactDate = exact;
        in.fromDate = from;
        in.toDate = to;
        return in;
    };
    auto byCountry = [](const QString &country) {
        CardFilterInputs in;
        in.byCitizenship = true;
        in.citizenship = country;
        return in;
    };

    CardFilterInputs noFlags = byName(u"нет такого"_qs);
    noFlags.byName = false;
    noFlags.exactDate = day(1970, 1, 1);
    noFlags.citizenship = u"Молдова"_qs;
    QTest::newRow("no flags, whatever the controls hold") << noFlags << 10001;

    QTest::newRow("иван folds case") << byName(u"иван"_qs) << 500;
    QTest::newRow("ИВАНОВА in capitals") << byName(u"ИВАНОВА"_qs) << 250;
    QTest::newRow("№ through NAME") << byName(u"№"_qs) << 10001;
    QTest::newRow("feminine а") << byName(u"а"_qs) << 5251;
    QTest::newRow("digits of the patronymic")
        << byName(u"999"_qs) << 19; // 999, 1999, ..., 8999 and 9990 to 9999
    QTest::newRow("spanning two parts") << byName(u"Иванова №"_qs) << 0;
    QTest::newRow("empty text with the flag") << byName(QString()) << 0;
    QTest::newRow("spaces only") << byName(u" "_qs) << 0;

    QTest::newRow("exact 1.1.1960") << byDates(day(1960, 1, 1), 0, 0) << 1;
    QTest::newRow("from the last day") << byDates(0, day(1987, 5, 19), 0) << 1;
    QTest::newRow("from after the last day") << byDates(0, day(1987, 5, 20), 0) << 0;
    QTest::newRow("to the first day") << byDates(0, 0, day(1960, 1, 1)) << 1;
    QTest::newRow("a week, bounds inclusive") << byDates(0, day(1960, 1, 1), day(1960, 1, 7)) << 7;
    QTest::newRow("from after to") << byDates(0, day(1970, 1, 2), day(1970, 1, 1)) << 0;
    QTest::newRow("exact outside the bounds")
        << byDates(day(1980, 1, 1), day(1960, 1, 1), day(1961, 1, 1)) << 0;
    QTest::newRow("exact inside the bounds")
        << byDates(day(1960, 6, 1), day(1960, 1, 1), day(1961, 1, 1)) << 1;
    QTest::newRow("31.12.1899 is no date") << byDates(1, 1, 1) << 10001;
    QTest::newRow("earlier dates are no date") << byDates(-5000, -1, 0) << 10001;
    QTest::newRow("1.1.1900 is a date") << byDates(0, 0, day(1900, 1, 1)) << 0;
    QTest::newRow("flag with no dates") << byDates(0, 0, 0) << 10001;

    QTest::newRow("Россия") << byCountry(u"Россия"_qs) << 2501;
    QTest::newRow("Украина") << byCountry(u"Украина"_qs) << 2500;
    QTest::newRow("Узбекистан") << byCountry(u"Узбекистан"_qs) << 2500;
    QTest::newRow("Молдова") << byCountry(u"Молдова"_qs) << 2500;
    QTest::newRow("case matters") << byCountry(u"россия"_qs) << 0;
    QTest::newRow("nothing trimmed") << byCountry(u"Россия "_qs) << 0;

    CardFilterInputs combined = byName(u"иван"_qs);
    combined.byCitizenship = true;
    combined.citizenship = u"Россия"_qs;
    QTest::newRow("Россия and иван") << combined << 125;
    combined.byBirthDate = true;
    combined.fromDate = day(1960, 1, 1);
    combined.toDate = day(1960, 12, 31);
    QTest::newRow("all three") << combined << 92; // indexes 0, 4, ..., 364
}

void TestCardData::filterCountsOnDemoData()
{
    QFETCH(CardFilterInputs, inputs);
    QFETCH(int, expected);

    static CardTableFixture f;
    QCOMPARE(f.applyFilters(inputs), expected);
    QCOMPARE(f.table.currentRow(), expected > 0 ? 0 : -1);
}

void TestCardData::filterMatchesNaiveReference()
{
    // Random rows and random filter inputs, checked against the rules written out plainly.
    static const QStringList pieces{u"Иван"_qs, u"ИВАН"_qs, u"иВаН"_qs, u"ёЁж"_qs, u"Ёж"_qs,
                                    u"№"_qs,    u" "_qs,    u"\t"_qs,   u"a"_qs,   u"A"_qs,
                                    u"İ"_qs,    u"i"_qs,    u"ß"_qs,    u"𐐀"_qs,   u"𐐨"_qs,
                                    u"12"_qs,   u"1"_qs,    u""_qs};
    static const QStringList countries{u"Россия"_qs, u"Украина"_qs, u"россия"_qs, u""_qs};
    QRandomGenerator random(20261211);
    auto randomText = [&](int parts) {
        QString text;
        for (int i = random.bounded(parts + 1); i > 0; --i)
            text += pieces[random.bounded(pieces.size())];
        return text;
    };
    struct Row
    {
        QString family, name, secName, citizenship;
        std::optional<int> born;
    };

    CardTableFixture f(0);
    QList<Row> rows;
    for (int i = 0; i < 300; ++i) {
        Row row{randomText(3), randomText(2), randomText(2),
                countries[random.bounded(countries.size())], std::nullopt};
        if (random.bounded(5) != 0)
            row.born = random.bounded(-3, 40);
        f.table.append();
        f.table.fieldByName(u"ID")->setAsInteger(i);
        f.table.fieldByName(u"FAMILY")->setAsString(row.family);
        f.table.fieldByName(u"NAME")->setAsString(row.name);
        f.table.fieldByName(u"SEC_NAME")->setAsString(row.secName);
        f.table.fieldByName(u"GRAGDANSTVO")->setAsString(row.citizenship);
        if (row.born)
            f.table.fieldByName(u"DATA_BORN")->setAsDate(*row.born);
        f.table.post();
        rows << row;
    }

    auto reference = [](const CardFilterInputs &in, const Row &row) {
        if (!in.byName && !in.byBirthDate && !in.byCitizenship)
            return true;
        auto has = [&](const QString &text) {
            return !in.searchText.isEmpty() && text.toLower().contains(in.searchText.toLower());
        };
        if (in.byName && !(has(row.family) || has(row.name) || has(row.secName)))
            return false;
        const int born = row.born.value_or(0);
        if (in.byBirthDate) {
            if (in.exactDate > 1 && born != in.exactDate)
                return false;
            if (in.fromDate > 1 && in.fromDate > born)
                return false;
            if (in.toDate > 1 && born > in.toDate)
                return false;
        }
        return !in.byCitizenship || row.citizenship == in.citizenship;
    };

    for (int round = 0; round < 400; ++round) {
        CardFilterInputs in;
        in.byName = random.bounded(2);
        in.byBirthDate = random.bounded(2);
        in.byCitizenship = random.bounded(2);
        in.searchText = randomText(2);
        in.exactDate = random.bounded(4) == 0 ? random.bounded(-2, 40) : 0;
        in.fromDate = random.bounded(3) == 0 ? random.bounded(-2, 40) : 0;
        in.toDate = random.bounded(3) == 0 ? random.bounded(-2, 40) : 0;
        in.citizenship = countries[random.bounded(countries.size())];

        f.applyFilters(in);
        QList<int> expected;
        for (int i = 0; i < rows.size(); ++i) {
            if (reference(in, rows[i]))
                expected << i;
        }
        QList<int> shown;
        for (int row = 0; row < f.table.rowCount(); ++row) {
            MemTable::ActiveRecord record(f.table, row);
            shown << f.table.fieldByName(u"ID")->asInteger();
        }
        QCOMPARE(shown, expected);
    }
}

void TestCardData::textIsCutAtFieldSize()
{
    CardTableFixture f(0);
    f.table.append();
    f.table.fieldByName(u"FAMILY")->setAsString(QString(151, u'Ж'));
    f.table.fieldByName(u"NAME")->setAsString(
        QString(QString(149, u'a') + u"𐐀"_qs)); // pair at 150..151
    f.table.fieldByName(u"GRAGDANSTVO")->setAsString(QString(100, u'x'));
    f.table.post();
    QCOMPARE(f.text(0, u"FAMILY"), QString(150, u'Ж'));
    QCOMPARE(f.text(0, u"NAME"), QString(149, u'a')); // half a pair is never kept
    QCOMPARE(f.text(0, u"GRAGDANSTVO").size(), 100);

    // Assigning twice while appending keeps only the second value.
    f.table.append();
    f.table.fieldByName(u"FAMILY")->setAsString(u"Длинная фамилия"_qs);
    f.table.fieldByName(u"FAMILY")->setAsString(u"Ли"_qs);
    f.table.post();
    QCOMPARE(f.text(1, u"FAMILY"), u"Ли"_qs);
}

void TestCardData::emptyValuesRead()
{
    SmallTable t;
    t.table.append();
    t.table.post();
    MemTable::ActiveRecord record(t.table, 0);
    for (const char16_t *name : {u"N", u"T", u"D"}) {
        const MemField *field = t.table.fieldByName(name);
        QVERIFY(field->isNull());
        QCOMPARE(field->asInteger(), 0);
        QCOMPARE(field->asString(), QString());
        QCOMPARE(field->displayText(), QString());
        QCOMPARE(field->asDate(), 0);
    }
    QVERIFY(!t.table.fieldByName(u"nonexistent"));
}

void TestCardData::sort_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QList<int>>("expected");

    // The rows of sort(), in the order they are added.
    QTest::newRow("dates, empty first, ties stable") << u"D"_qs << QList<int>{2, 5, 3, 6, 1, 4};
    QTest::newRow("text, collated, empty first") << u"T"_qs << QList<int>{6, 4, 3, 5, 2, 1};
    QTest::newRow("numbers") << u"N"_qs << QList<int>{1, 2, 3, 4, 5, 6};
    QTest::newRow("empty name keeps the order") << QString() << QList<int>{3, 1, 2, 6, 4, 5};
    QTest::newRow("unknown name keeps the order") << u"X"_qs << QList<int>{3, 1, 2, 6, 4, 5};
}

void TestCardData::sort()
{
    QFETCH(QString, field);
    QFETCH(QList<int>, expected);

    SmallTable s;
    s.add(3, u"ёжик"_qs, 10);
    s.add(1, u"Ярослав"_qs, 20);
    s.add(2, u"Петров № 10"_qs);
    s.add(6, std::nullopt, 10);
    s.add(4, QString(), 30);
    s.add(5, u"Петров № 2"_qs);
    QCOMPARE(s.numbers(), QList<int>({3, 1, 2, 6, 4, 5}));
    QCOMPARE(s.table.sortByField(field), !field.isEmpty() && field != u"X"_qs);
    QCOMPARE(s.numbers(), expected);
}

void TestCardData::sortReachesHiddenRowsAndKeepsCurrentRecord()
{
    SmallTable t;
    for (int n : {5, 4, 3, 2, 1})
        t.add(n, QString::number(n % 2), 100 - n);
    // Show the odd numbers only.
    int calls = 0;
    MemField *text = t.table.fieldByName(u"T");
    t.table.setOnFilterRecord([&](MemTable &, bool &accept) {
        ++calls;
        accept = text->asStringView() == u"1";
    });
    t.table.setFiltered(true);
    QCOMPARE(t.numbers(), QList<int>({5, 3, 1}));
    t.table.setCurrentRow(1); // 3
    calls = 0;
    QVERIFY(t.table.sortByField(u"N"));
    QCOMPARE(calls, 5); // the filter runs again for every row
    QCOMPARE(t.numbers(), QList<int>({1, 3, 5}));
    QCOMPARE(t.table.currentRow(), 1); // still 3
    QList<int> all; // the hidden rows were sorted too
    for (int row = 0; row < t.table.totalRowCount(); ++row) {
        MemTable::ActiveRecord record(t.table, row, MemTable::Rows::All);
        all << t.table.fieldByName(u"N")->asInteger();
    }
    QCOMPARE(all, QList<int>({1, 2, 3, 4, 5}));
    t.table.setFiltered(false);
    QCOMPARE(t.numbers(), all);
}

void TestCardData::sortDoesNothingWithoutVisibleRows()
{
    SmallTable t;
    for (int n : {2, 1})
        t.add(n, QString());
    t.table.setOnFilterRecord([](MemTable &, bool &accept) { accept = false; });
    t.table.setFiltered(true);
    QCOMPARE(t.table.rowCount(), 0);
    QVERIFY(!t.table.sortByField(u"N"));
    t.table.setFiltered(false);
    QCOMPARE(t.numbers(), QList<int>({2, 1}));
}

void TestCardData::sortByCalculatedFieldUsesCollation()
{
    CardTableFixture f(0);
    const QList<std::array<QString, 3>> people{
        {u"Петров"_qs, u"№"_qs, u"10"_qs}, {u"  Абрамов"_qs, u""_qs, u""_qs},
        {u"петров"_qs, u"№"_qs, u"2"_qs},  {u"Ёлкин"_qs, u"Ян"_qs, u""_qs},
        {u"Петров"_qs, u"№"_qs, u"2"_qs},  {u"Ежов"_qs, u"Ян"_qs, u""_qs}};
    for (const auto &p : people) {
        f.table.append();
        f.table.fieldByName(u"FAMILY")->setAsString(p[0]);
        f.table.fieldByName(u"NAME")->setAsString(p[1]);
        f.table.fieldByName(u"SEC_NAME")->setAsString(p[2]);
        f.table.post();
    }
    QVERIFY(f.table.sortByField(u"FIO"));
    QStringList names;
    for (int row = 0; row < f.table.rowCount(); ++row)
        names << f.text(row, u"FIO");
    // Trimmed before comparing, Ё beside Е, lower case before upper, numbers by value.
    QCOMPARE(names,
             QStringList({u"Абрамов  "_qs, u"Ежов Ян "_qs, u"Ёлкин Ян "_qs, u"петров № 2"_qs,
                          u"Петров № 2"_qs, u"Петров № 10"_qs}));
}

void TestCardData::filterHookRunsOnlyWhenTheContractSays()
{
    SmallTable t;
    for (int n = 1; n <= 4; ++n)
        t.add(n, QString(), n);
    int calls = 0;
    MemField *number = t.table.fieldByName(u"N");
    t.table.setOnFilterRecord([&](MemTable &, bool &accept) {
        ++calls;
        accept = number->asInteger() % 2 == 0;
    });
    QSignalSpy passes(&t.table, &MemTable::filterPassStarting);

    t.table.setFiltered(false); // same value: nothing
    QCOMPARE(calls, 0);
    t.table.setFiltered(true);
    QCOMPARE(calls, 4);
    QCOMPARE(passes.count(), 1);
    QCOMPARE(t.table.currentRow(), 0);
    QCOMPARE(t.numbers(), QList<int>({2, 4}));
    t.table.setFiltered(true);
    QCOMPARE(calls, 4);

    // Reading never filters: active records, display texts, walking the cursor.
    calls = 0;
    for (t.table.first(); !t.table.eof(); t.table.next())
        number->displayText();
    t.numbers();
    QCOMPARE(calls, 0);

    // Posting filters the one new row.
    t.add(6, QString());
    t.add(7, QString());
    QCOMPARE(calls, 2);
    QCOMPARE(passes.count(), 3);
    QCOMPARE(t.numbers(), QList<int>({2, 4, 6}));
    QCOMPARE(t.table.currentRow(), 2); // the last row that was shown when posted

    // Switching off shows every row, in row order, the first current.
    calls = 0;
    t.table.setFiltered(false);
    QCOMPARE(calls, 0);
    QCOMPARE(t.numbers(), QList<int>({1, 2, 3, 4, 6, 7}));
    QCOMPARE(t.table.currentRow(), 0);

    // Writing outside an append changes nothing.
    QTest::ignoreMessage(QtWarningMsg, "MemTable: field N written outside an append");
    number->setAsInteger(99);
    QCOMPARE(number->asInteger(), 1);
}

void TestCardData::deleteCurrent_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("left");
    QTest::addColumn<int>("newCurrent");

    QTest::newRow("middle: the next row") << 3 << 1 << QList<int>{1, 3} << 1;
    QTest::newRow("first") << 3 << 0 << QList<int>{2, 3} << 0;
    QTest::newRow("last: the row before") << 3 << 2 << QList<int>{1, 2} << 1;
    QTest::newRow("only row") << 1 << 0 << QList<int>{} << -1;
    QTest::newRow("empty table") << 0 << -1 << QList<int>{} << -1;
}

void TestCardData::deleteCurrent()
{
    QFETCH(int, rows);
    QFETCH(int, current);
    QFETCH(QList<int>, left);
    QFETCH(int, newCurrent);

    SmallTable t;
    for (int n = 1; n <= rows; ++n)
        t.add(n, QString());
    int calls = 0;
    t.table.setOnFilterRecord([&](MemTable &, bool &accept) {
        ++calls;
        accept = true;
    });
    t.table.setFiltered(true);
    calls = 0;
    t.table.setCurrentRow(current);
    QSignalSpy removed(&t.table, &MemTable::rowRemoved);
    QSignalSpy currentChanged(&t.table, &MemTable::currentRowChanged);
    t.table.deleteCurrent();
    QCOMPARE(t.numbers(), left);
    QCOMPARE(t.table.currentRow(), newCurrent);
    // The current record changed, also where its row number did not (or none is left).
    QCOMPARE(currentChanged.count(), rows > 0 ? 1 : 0);
    if (rows > 0)
        QCOMPARE(currentChanged.at(0).at(0).toInt(), newCurrent);
    QCOMPARE(t.table.totalRowCount(), left.size());
    QCOMPARE(removed.count(), rows > 0 ? 1 : 0);
    QCOMPARE(calls, 0);
}

void TestCardData::cursorWalksVisibleRows()
{
    SmallTable t;
    for (int n = 1; n <= 5; ++n)
        t.add(n, QString());
    MemField *number = t.table.fieldByName(u"N");
    t.table.setOnFilterRecord([&](MemTable &, bool &accept) { accept = number->asInteger() > 2; });
    t.table.setFiltered(true);
    QList<int> walked;
    for (t.table.first(); !t.table.eof(); t.table.next())
        walked << number->asInteger();
    QCOMPARE(walked, QList<int>({3, 4, 5}));
    QCOMPARE(t.table.currentRow(), 2);

    t.table.setOnFilterRecord([](MemTable &, bool &accept) { accept = false; });
    t.table.setFiltered(false);
    t.table.setFiltered(true);
    t.table.first();
    QVERIFY(t.table.eof());
    QCOMPARE(number->asInteger(), 0); // no current row reads as empty
}

void TestCardData::calculatedTextKeepsWholeCharacters()
{
    // The full name is cut at its 250 characters like any stored text: a character outside the
    // BMP that straddles the cut goes as a whole, never leaving half a surrogate pair behind.
    CardTableFixture f(0);
    const QString family(150, u'Ж');
    const QString name(97, u'a');
    f.table.append();
    f.table.fieldByName(u"FAMILY")->setAsString(family);
    f.table.fieldByName(u"NAME")->setAsString(name);
    f.table.fieldByName(u"SEC_NAME")->setAsString(u"𐐀b"_qs); // its pair at 249..250
    f.table.post();
    const QString expected = QString(family + u' ' + name + u' ');
    QCOMPARE(expected.size(), 249);
    QCOMPARE(f.text(0, u"FIO"), expected);
    {
        MemTable::ActiveRecord record(f.table, 0);
        QCOMPARE(f.table.fieldByName(u"FIO")->asString(), expected);
    }

    // A pair that fits whole is kept.
    f.table.append();
    f.table.fieldByName(u"FAMILY")->setAsString(family);
    f.table.fieldByName(u"NAME")->setAsString(QString(96, u'a'));
    f.table.fieldByName(u"SEC_NAME")->setAsString(u"𐐀b"_qs);
    f.table.post();
    QCOMPARE(f.text(1, u"FIO"), QString(family + u' ' + QString(96, u'a') + u" 𐐀"));
}

QTEST_GUILESS_MAIN(TestCardData)
#include "tst_carddata.moc"
