// MemTable operation sequences, checked after every step against a plain model of the same table:
// a list of rows in order, the visible rows, the cursor.
//
// The input is text, one command a letter:
//   a             append (the harness writes the next serial number into ID)
//   p  c          post, cancel
//   d             delete the current row
//   r<int>        set the current row
//   f  n          first, next
//   s<f>          sort by a field: I N T D B C; _ the empty name, n a name in the wrong case,
//                 anything else an unknown name
//   y  z          filtering on, off
//   h<k>[<ch>]    the filter hook: 0 none, 1 all rows, 2 no row, 3 even NUM, 4 folded TXT holds
//                 the character ch, 5 DAY after day 10, 6 FLAG set, 7 CALC of odd length
//   S<f><text>;   setAsString      I<f><int>   setAsInteger     D<f><int>   setAsDate
//   B<f><0|1>     setAsBoolean     X<f>        clear
// where <f> names NUM (N), TXT (T), DAY (D), FLAG (B) or CALC (C).
#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "fuzz/FuzzInput.h"

#include <QCollator>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

enum Field { Id, Num, Txt, Day, Flag, Calc, FieldCount };

constexpr int TextSize = 6;
constexpr int CalcSize = 7;
constexpr int MaxSteps = 500;

QString fieldName(int field)
{
    static const std::array<QString, FieldCount> names{
        QStringLiteral("ID"),  QStringLiteral("NUM"),  QStringLiteral("TXT"),
        QStringLiteral("DAY"), QStringLiteral("FLAG"), QStringLiteral("CALC")};
    return names[static_cast<size_t>(field)];
}

enum class Hook { None, All, Nothing, EvenNum, TextHas, DayAfter, FlagSet, CalcOdd };

// Writes the table refuses say so with a warning; the harness counts them.
int refusedWrites = 0;

void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(u"MemTable: field "))
        ++refusedWrites;
    else
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}

// ---------------------------------------------------------------------------------------------
// The model

struct Row
{
    std::optional<int> id;
    std::optional<int> num;
    QString text; // empty: no value
    std::optional<int> day;
    std::optional<int> flag;
};

QString cut(QStringView text, int size)
{
    if (text.size() > size) {
        text = text.first(size);
        // A high surrogate at the end would be half a character.
        if (!text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
    }
    return text.toString();
}

QString calculated(const Row &row)
{
    return cut(QString((row.num ? QString::number(*row.num) : QString()) + row.text), CalcSize);
}

const QCollator &collator()
{
    static const QCollator c = [] {
        QCollator russian(QLocale(QLocale::Russian, QLocale::Russia));
        russian.setNumericMode(true);
        return russian;
    }();
    return c;
}

// What a field of a row reads as.
struct Reading
{
    bool null = true;
    int integer = 0;
    QString text;
    int date = 0;
    QString stored; // asStringView, text fields only
    QString folded; // asFoldedView, text fields only
};

Reading expectedReading(int field, const Row &row)
{
    Reading r;
    auto number = [&](const std::optional<int> &value) {
        r.null = !value;
        r.integer = value.value_or(0);
        r.text = value ? QString::number(*value) : QString();
    };
    switch (field) {
    case Id:
        number(row.id);
        break;
    case Num:
        number(row.num);
        break;
    case Txt:
        r.null = row.text.isEmpty();
        r.integer = row.text.toInt();
        r.text = r.stored = row.text;
        r.folded = FuzzInput::lowered(row.text);
        break;
    case Day:
        number(row.day);
        r.date = r.integer;
        r.text = row.day ? DayNumber::toText(*row.day) : QString();
        break;
    case Flag:
        number(row.flag);
        r.text
            = row.flag ? (*row.flag ? QStringLiteral("True") : QStringLiteral("False")) : QString();
        break;
    case Calc:
        r.text = calculated(row);
        r.null = r.text.isEmpty();
        r.integer = r.text.toInt();
        break;
    }
    return r;
}

struct Model
{
    std::vector<Row> rows; // the live rows in row order
    std::vector<int> visible; // their ids
    int current = -1;
    bool eof = true;
    bool filtered = false;
    Hook hook = Hook::None;
    QChar hookChar;
    std::optional<Row> appending;

    const Row &row(int id) const
    {
        return *std::find_if(rows.begin(), rows.end(), [&](const Row &r) { return r.id == id; });
    }

    bool accepts(const Row &row) const
    {
        switch (hook) {
        case Hook::None:
        case Hook::All:
            return true;
        case Hook::Nothing:
            return false;
        case Hook::EvenNum:
            return row.num && *row.num % 2 == 0;
        case Hook::TextHas:
            return FuzzInput::lowered(row.text).contains(hookChar);
        case Hook::DayAfter:
            return row.day.value_or(0) > 10;
        case Hook::FlagSet:
            return row.flag.value_or(0) != 0;
        case Hook::CalcOdd:
            return calculated(row).size() % 2 == 1;
        }
        return true;
    }
    bool filtering() const { return filtered && hook != Hook::None; }

    void setCurrent(int row)
    {
        eof = row < 0;
        current = row;
    }

    // Returns how often the hook runs.
    int rebuild(std::optional<int> keepId)
    {
        visible.clear();
        for (const Row &r : rows) {
            if (!filtering() || accepts(r))
                visible.push_back(*r.id);
        }
        int row = visible.empty() ? -1 : 0;
        if (keepId) {
            const auto found = std::find(visible.begin(), visible.end(), *keepId);
            if (found != visible.end())
                row = static_cast<int>(found - visible.begin());
        }
        setCurrent(row);
        return filtering() ? static_cast<int>(rows.size()) : 0;
    }

    int post()
    {
        if (!appending)
            return 0;
        const Row row = *appending;
        appending.reset();
        rows.push_back(row);
        if (filtering() && !accepts(row))
            return 1;
        visible.push_back(*row.id);
        setCurrent(static_cast<int>(visible.size()) - 1);
        return filtering() ? 1 : 0;
    }

    int append(int id)
    {
        const int calls = post();
        appending = Row{};
        appending->id = id;
        return calls;
    }

    void deleteCurrent()
    {
        if (current < 0 || appending)
            return;
        const int row = current;
        const int id = visible[static_cast<size_t>(row)];
        visible.erase(visible.begin() + row);
        rows.erase(
            std::find_if(rows.begin(), rows.end(), [&](const Row &r) { return r.id == id; }));
        setCurrent(std::min(row, static_cast<int>(visible.size()) - 1));
    }

    int setFiltered(bool on)
    {
        if (on == filtered)
            return 0;
        filtered = on;
        return rebuild(std::nullopt);
    }

    // Returns whether it sorted and how often the hook ran.
    std::pair<bool, int> sort(const QString &name)
    {
        int field = FieldCount;
        for (int f = 0; f < FieldCount; ++f) {
            if (fieldName(f) == name)
                field = f;
        }
        if (field == FieldCount || visible.empty() || appending)
            return {false, 0};
        const int keep = visible[static_cast<size_t>(current)];
        if (field == Txt || field == Calc) {
            std::stable_sort(rows.begin(), rows.end(), [&](const Row &a, const Row &b) {
                const QString x = field == Txt ? a.text : calculated(a);
                const QString y = field == Txt ? b.text : calculated(b);
                if (x.isEmpty() || y.isEmpty())
                    return x.isEmpty() && !y.isEmpty();
                return collator().compare(x, y) < 0;
            });
        } else {
            auto value = [&](const Row &r) {
                return field == Id ? r.id : field == Num ? r.num : field == Day ? r.day : r.flag;
            };
            std::stable_sort(rows.begin(), rows.end(), [&](const Row &a, const Row &b) {
                const std::optional<int> x = value(a);
                const std::optional<int> y = value(b);
                if (!x || !y)
                    return !x && y;
                return *x < *y;
            });
        }
        return {true, rebuild(keep)};
    }

    void setCurrentRow(int row)
    {
        if (row >= 0 && row < static_cast<int>(visible.size()))
            setCurrent(row);
    }

    void first() { setCurrent(visible.empty() ? -1 : 0); }

    void next()
    {
        if (current >= 0 && current + 1 < static_cast<int>(visible.size()))
            setCurrent(current + 1);
        else
            eof = true;
    }

    // The writes, to the row being appended; false when the table refuses with a warning.
    enum class Write { String, Integer, Date, Boolean, Clear };
    bool write(int field, Write how, const QString &text, int number)
    {
        if (!appending)
            return how == Write::String && field == Calc; // silently ignored
        if (field == Calc)
            return how == Write::String;
        Row &row = *appending;
        switch (how) {
        case Write::Clear:
            if (field == Txt)
                row.text.clear();
            else
                (field == Num ? row.num : field == Day ? row.day : row.flag).reset();
            return true;
        case Write::Boolean:
            return write(field, Write::Integer, text, number != 0 ? 1 : 0);
        case Write::Integer:
        case Write::Date:
            if (field == Txt) {
                row.text = cut(how == Write::Integer ? QString::number(number)
                                                     : DayNumber::toText(number),
                               TextSize);
            } else if (field == Flag) {
                row.flag = number != 0 ? 1 : 0;
            } else {
                (field == Num ? row.num : row.day) = number;
            }
            return true;
        case Write::String:
            if (field == Txt) {
                row.text = cut(text, TextSize);
                return true;
            }
            if (field == Day) {
                const QDate date = QDate::fromString(text.trimmed(), u"dd.MM.yyyy");
                return date.isValid() ? write(field, Write::Date, text, DayNumber::fromDate(date))
                                      : write(field, Write::Clear, text, 0);
            }
            bool ok = false;
            const int value = text.trimmed().toInt(&ok);
            return ok ? write(field, Write::Integer, text, value)
                      : write(field, Write::Clear, text, 0);
        }
        return true;
    }
};

// ---------------------------------------------------------------------------------------------
// The run

class MemTableRun
{
public:
    MemTableRun()
    {
        m_fields[Id] = m_table.addField(fieldName(Id), FieldType::Integer);
        m_fields[Num] = m_table.addField(fieldName(Num), FieldType::Integer);
        m_fields[Txt] = m_table.addField(fieldName(Txt), FieldType::Text, TextSize);
        m_fields[Day] = m_table.addField(fieldName(Day), FieldType::Date);
        m_fields[Flag] = m_table.addField(fieldName(Flag), FieldType::Boolean);
        m_fields[Calc] = m_table.addField(fieldName(Calc), FieldType::CalculatedText, CalcSize);
        m_fields[Calc]->setOnGetText([this](MemField &, QString &text, bool) {
            text = QString(m_fields[Num]->displayText() + m_fields[Txt]->asString());
        });

        // A view's bookkeeping: the row signals must add up to the row count.
        QObject::connect(&m_table, &MemTable::rowsReset, &m_table,
                         [this] { m_viewRows = m_table.rowCount(); });
        QObject::connect(&m_table, &MemTable::rowAboutToBeInserted, &m_table, [this](int row) {
            FUZZ_CHECK(row == m_viewRows && m_table.rowCount() == m_viewRows,
                       QStringLiteral("row %1 about to be inserted into %2 rows")
                           .arg(row)
                           .arg(m_viewRows));
        });
        QObject::connect(&m_table, &MemTable::rowInserted, &m_table, [this](int row) {
            FUZZ_CHECK(row == m_viewRows && m_table.rowCount() == m_viewRows + 1,
                       QStringLiteral("row %1 inserted into %2 rows").arg(row).arg(m_viewRows));
            ++m_viewRows;
        });
        QObject::connect(&m_table, &MemTable::rowAboutToBeRemoved, &m_table, [this](int row) {
            FUZZ_CHECK(
                row >= 0 && row < m_viewRows && m_table.rowCount() == m_viewRows,
                QStringLiteral("row %1 about to be removed from %2 rows").arg(row).arg(m_viewRows));
        });
        QObject::connect(&m_table, &MemTable::rowRemoved, &m_table, [this](int row) {
            FUZZ_CHECK(row >= 0 && row < m_viewRows && m_table.rowCount() == m_viewRows - 1,
                       QStringLiteral("row %1 removed from %2 rows").arg(row).arg(m_viewRows));
            --m_viewRows;
        });
    }

    void run(QStringView input)
    {
        qsizetype pos = 0;
        auto nextChar
            = [&]() -> char16_t { return pos < input.size() ? input[pos++].unicode() : 0; };
        for (int step = 0; step < MaxSteps && pos < input.size(); ++step) {
            const char16_t op = nextChar();
            m_step = QString(QChar(op));
            int hookCalls = 0;
            switch (op) {
            case u'a':
                hookCalls = m_model.append(m_nextId);
                m_table.append();
                m_fields[Id]->setAsInteger(m_nextId++);
                break;
            case u'p':
                hookCalls = m_model.post();
                m_table.post();
                break;
            case u'c':
                m_model.appending.reset();
                m_table.cancel();
                break;
            case u'd':
                m_model.deleteCurrent();
                m_table.deleteCurrent();
                break;
            case u'r': {
                const int row = FuzzInput::readNumber(input, pos).value_or(0);
                m_step += QString::number(row);
                m_model.setCurrentRow(row);
                m_table.setCurrentRow(row);
                break;
            }
            case u'f':
                m_model.first();
                m_table.first();
                break;
            case u'n':
                m_model.next();
                m_table.next();
                break;
            case u's': {
                const char16_t which = nextChar();
                const QString name = which == u'I' ? fieldName(Id)
                    : which == u'N'                ? fieldName(Num)
                    : which == u'T'                ? fieldName(Txt)
                    : which == u'D'                ? fieldName(Day)
                    : which == u'B'                ? fieldName(Flag)
                    : which == u'C'                ? fieldName(Calc)
                    : which == u'_'                ? QString()
                    : which == u'n'                ? QStringLiteral("num")
                                                   : QStringLiteral("NOPE");
                m_step += u' ' + name;
                const auto [sorted, calls] = m_model.sort(name);
                hookCalls = calls;
                const bool done = m_table.sortByField(name);
                FUZZ_CHECK(done == sorted, QStringLiteral("sortByField returned %1").arg(done));
                break;
            }
            case u'y':
            case u'z':
                hookCalls = m_model.setFiltered(op == u'y');
                m_table.setFiltered(op == u'y');
                break;
            case u'h': {
                const char16_t kind = nextChar();
                setHook(kind, nextChar());
                break;
            }
            case u'S':
            case u'I':
            case u'D':
            case u'B':
            case u'X':
                write(op, nextChar(), input, pos);
                break;
            default:
                continue; // not a command: no step
            }
            FUZZ_CHECK(m_hookCalls == hookCalls,
                       QString(m_step
                               + QStringLiteral(": the filter hook ran %1 times, expected %2")
                                     .arg(m_hookCalls)
                                     .arg(hookCalls)));
            m_hookCalls = 0;
            m_history << m_step;
            check();
        }
    }

private:
    void setHook(char16_t kind, char16_t ch)
    {
        const Hook hook = kind >= u'0' && kind <= u'7' ? Hook(kind - u'0') : Hook::None;
        m_model.hook = hook;
        m_model.hookChar = QChar(ch);
        m_step += QString(QChar(kind));
        if (hook == Hook::None) {
            m_table.setOnFilterRecord(nullptr);
            return;
        }
        const QChar c(ch);
        m_table.setOnFilterRecord([this, hook, c](MemTable &, bool &accept) {
            ++m_hookCalls;
            switch (hook) {
            case Hook::None:
            case Hook::All:
                accept = true;
                break;
            case Hook::Nothing:
                accept = false;
                break;
            case Hook::EvenNum:
                accept = !m_fields[Num]->isNull() && m_fields[Num]->asInteger() % 2 == 0;
                break;
            case Hook::TextHas:
                accept = m_fields[Txt]->asFoldedView().contains(c);
                break;
            case Hook::DayAfter:
                accept = m_fields[Day]->asDate() > 10;
                break;
            case Hook::FlagSet:
                accept = m_fields[Flag]->asBoolean();
                break;
            case Hook::CalcOdd:
                accept = m_fields[Calc]->asString().size() % 2 == 1;
                break;
            }
        });
    }

    void write(char16_t op, char16_t which, QStringView input, qsizetype &pos)
    {
        const int field = which == u'N' ? Num
            : which == u'T'             ? Txt
            : which == u'D'             ? Day
            : which == u'B'             ? Flag
            : which == u'C'             ? Calc
                                        : -1;
        if (field < 0)
            return;
        MemField *target = m_fields[static_cast<size_t>(field)];
        m_step += QChar(which);
        const int refused = refusedWrites;
        bool accepted = true;
        if (op == u'S') {
            const qsizetype end = input.indexOf(u';', pos);
            const QString text = input.sliced(pos, (end < 0 ? input.size() : end) - pos).toString();
            pos = end < 0 ? input.size() : end + 1;
            m_step += FuzzInput::shown(text);
            accepted = m_model.write(field, Model::Write::String, text, 0);
            target->setAsString(text);
        } else if (op == u'X') {
            accepted = m_model.write(field, Model::Write::Clear, QString(), 0);
            target->clear();
        } else {
            const int number = FuzzInput::readNumber(input, pos).value_or(0);
            m_step += QString::number(number);
            if (op == u'I') {
                accepted = m_model.write(field, Model::Write::Integer, QString(), number);
                target->setAsInteger(number);
            } else if (op == u'D') {
                accepted = m_model.write(field, Model::Write::Date, QString(), number);
                target->setAsDate(number);
            } else {
                accepted = m_model.write(field, Model::Write::Boolean, QString(), number);
                target->setAsBoolean(number != 0);
            }
        }
        FUZZ_CHECK(accepted == (refusedWrites == refused),
                   QString(m_step
                           + QStringLiteral(": %1 refusal warnings, expected %2")
                                 .arg(refusedWrites - refused)
                                 .arg(accepted ? 0 : 1)));
    }

    QString where(const QString &what) const
    {
        return QString(u"after " + m_history.join(u' ') + u"\n" + what);
    }

    // The fields of the table's active record against a model row.
    void checkFields(const Row &want, const QString &which) const
    {
        for (int f = 0; f < FieldCount; ++f) {
            const MemField *field = m_fields[static_cast<size_t>(f)];
            const Reading r = expectedReading(f, want);
            // Built only for a failure message.
            auto context = [&] {
                return where(QString(which + u" field " + fieldName(f) + u": reads "
                                     + FuzzInput::shown(field->asString()) + u", expected "
                                     + FuzzInput::shown(r.text) + u", folded "
                                     + FuzzInput::shown(field->asFoldedView())));
            };
            FUZZ_CHECK(field->isNull() == r.null, context());
            FUZZ_CHECK(field->asInteger() == r.integer, context());
            FUZZ_CHECK(field->asBoolean() == (r.integer != 0), context());
            FUZZ_CHECK(field->asString() == r.text, context());
            FUZZ_CHECK(field->displayText() == r.text, context());
            FUZZ_CHECK(field->asDate() == r.date, context());
            FUZZ_CHECK(field->asStringView() == r.stored, context());
            FUZZ_CHECK(field->asFoldedView() == r.folded, context());
        }
    }

    void check() const
    {
        const Model &m = m_model;
        auto state = [&] {
            return where(
                QStringLiteral(
                    "table: %1 of %2 rows, current %3, eof %4; model: %5 of %6, current %7, eof %8")
                    .arg(m_table.rowCount())
                    .arg(m_table.totalRowCount())
                    .arg(m_table.currentRow())
                    .arg(m_table.eof())
                    .arg(m.visible.size())
                    .arg(m.rows.size())
                    .arg(m.current)
                    .arg(m.eof));
        };
        FUZZ_CHECK(m_table.rowCount() == static_cast<int>(m.visible.size()), state());
        FUZZ_CHECK(m_table.totalRowCount() == static_cast<int>(m.rows.size()), state());
        FUZZ_CHECK(m_table.isEmpty() == m.visible.empty(), state());
        FUZZ_CHECK(m_table.currentRow() == m.current, state());
        FUZZ_CHECK(m_table.eof() == m.eof, state());
        FUZZ_CHECK(m_table.isAppending() == m.appending.has_value(), state());
        FUZZ_CHECK(m_table.isFiltered() == m.filtered, state());
        FUZZ_CHECK(m_viewRows == m_table.rowCount(),
                   where(QStringLiteral("the row signals add up to %1 rows").arg(m_viewRows)));

        for (int row = 0; row < static_cast<int>(m.visible.size()); ++row) {
            const MemTable::ActiveRecord active(m_table, row);
            checkFields(m.row(m.visible[static_cast<size_t>(row)]),
                        QStringLiteral("visible row %1").arg(row));
        }
        for (int row = 0; row < static_cast<int>(m.rows.size()); ++row) {
            const MemTable::ActiveRecord active(m_table, row, MemTable::Rows::All);
            checkFields(m.rows[static_cast<size_t>(row)], QStringLiteral("row %1").arg(row));
        }
        // Without a scope the fields read the row being appended, else the current row.
        if (m.appending)
            checkFields(*m.appending, QStringLiteral("the appended row"));
        else if (m.current >= 0)
            checkFields(m.row(m.visible[static_cast<size_t>(m.current)]),
                        QStringLiteral("the current row"));
        else
            checkFields(Row{}, QStringLiteral("no row"));
    }

    MemTable m_table;
    std::array<MemField *, FieldCount> m_fields{};
    Model m_model;
    int m_nextId = 1;
    int m_viewRows = 0;
    int m_hookCalls = 0;
    QString m_step;
    QStringList m_history;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(messageHandler);
    collator(); // made once, outside the timed runs
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MemTableRun run;
    run.run(FuzzInput::decode(data, size));
    return 0;
}
