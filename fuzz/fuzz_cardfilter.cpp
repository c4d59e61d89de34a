// The card filter's decision over arbitrary rows and filter inputs, with the rows kept in a real
// card table (so that text cutting at the field sizes and the folded-text cache take part),
// checked against the filter's rules written out plainly.
//
// The input is text, one command a line, values separated by '|':
//   R family|name|secName|born|citizenship[|family|name|...]   append a person; values after the
//                                                              fifth assign the fields again
//   X ...                                                      the same, then cancel the append
//   F flags|search|exact|from|to|citizenship                   filter: flags "101" = by name,
//                                                              not by birth date, by citizenship
//   O                                                          filtering off
//   D                                                          delete the current row
//   S <F|N|S|D|G|I>                                            sort by a field
// A born date or a filter date is a day number; an empty or non-numeric one is no date.
#include "carddata/CardFilter.h"
#include "carddata/CardTable.h"
#include "carddata/MemTable.h"
#include "fuzz/FuzzInput.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace {

// A person as the table must store it.
struct Person
{
    QString family;
    QString name;
    QString secName;
    std::optional<int> born;
    QString citizenship;
};

// A text as a field of that size keeps it: cut at the size, never keeping the first half of a
// surrogate pair at the end.
QString stored(QStringView text, int size)
{
    if (text.size() > size) {
        text = text.first(size);
        if (!text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
    }
    return text.toString();
}

// The card filter's rules, written out plainly.
bool referenceAccepts(const CardFilterInputs &in, const Person &p)
{
    if (in.byName) {
        const QString search = FuzzInput::lowered(in.searchText);
        auto has = [&](const QString &part) {
            return !search.isEmpty() && FuzzInput::lowered(part).contains(search);
        };
        if (!has(p.family) && !has(p.name) && !has(p.secName))
            return false;
    }
    if (in.byBirthDate) {
        const int born = p.born.value_or(0);
        if (in.exactDate > 1 && born != in.exactDate)
            return false;
        if (in.fromDate > 1 && born < in.fromDate)
            return false;
        if (in.toDate > 1 && born > in.toDate)
            return false;
    }
    return !in.byCitizenship || p.citizenship == in.citizenship;
}

// The failure messages. One pass of arg() each, so that a '%' in a text stays as it is.
QString describe(const CardFilterInputs &in)
{
    return QStringLiteral("inputs: name %1 %2, dates %3 exact %4 from %5 to %6, citizenship %7 %8")
        .arg(QString::number(in.byName), FuzzInput::shown(in.searchText),
             QString::number(in.byBirthDate), QString::number(in.exactDate),
             QString::number(in.fromDate), QString::number(in.toDate),
             QString::number(in.byCitizenship), FuzzInput::shown(in.citizenship));
}

QString describe(int id, const Person &p)
{
    return QStringLiteral("person %1: %2 %3 %4, born %5, %6")
        .arg(QString::number(id), FuzzInput::shown(p.family), FuzzInput::shown(p.name),
             FuzzInput::shown(p.secName),
             p.born ? QString::number(*p.born) : QStringLiteral("none"),
             FuzzInput::shown(p.citizenship));
}

class CardFilterRun
{
public:
    CardFilterRun()
    {
        m_table.setObjectName(QStringLiteral("TblCardList"));
        CardTable::defineFields(m_table);
        m_id = m_table.fieldByName(u"ID");
        m_texts = {m_table.fieldByName(u"FAMILY"), m_table.fieldByName(u"NAME"),
                   m_table.fieldByName(u"SEC_NAME"), nullptr, m_table.fieldByName(u"GRAGDANSTVO")};
        m_born = m_table.fieldByName(u"DATA_BORN");
        m_record = std::make_unique<CardRecord>(m_table);
        // The card list window's hook: the inputs are taken once per pass.
        m_table.setOnFilterRecord([this](MemTable &, bool &accept) {
            ++m_hookCalls;
            accept = m_filter.accepts(*m_record);
        });
        QObject::connect(&m_table, &MemTable::filterPassStarting, &m_table,
                         [this] { m_filter = CardFilter(m_inputs); });
    }

    void run(QStringView input)
    {
        for (const QStringView line : input.split(u'\n')) {
            if (line.isEmpty())
                continue;
            // One space after the command letter is for the eye only.
            QStringView rest = line.sliced(1);
            if (rest.startsWith(u' '))
                rest = rest.sliced(1);
            switch (line.front().unicode()) {
            case u'R':
            case u'X':
                addPerson(rest.split(u'|'), line.front() == u'X');
                break;
            case u'F':
                applyFilter(rest.split(u'|'));
                break;
            case u'O':
                m_table.setFiltered(false);
                m_visible.clear();
                for (const auto &[id, person] : m_people)
                    m_visible.insert(id);
                break;
            case u'D':
                deleteCurrent();
                break;
            case u'S':
                sort(rest);
                break;
            default:
                break;
            }
            checkVisibleRows();
        }
    }

private:
    void addPerson(const QList<QStringView> &values, bool cancel)
    {
        const int id = m_nextId++;
        Person p;
        const std::array<QString *, 5> kept{&p.family, &p.name, &p.secName, nullptr,
                                            &p.citizenship};
        m_table.append();
        m_id->setAsInteger(id);
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QStringView value = values[i];
            const auto which = static_cast<size_t>(i % 5);
            if (MemField *field = m_texts[which]) {
                field->setAsString(value);
                *kept[which] = stored(value, field->size());
            } else if (const std::optional<int> day = FuzzInput::readNumber(value)) {
                m_born->setAsDate(*day);
                p.born = day;
            } else {
                m_born->clear();
                p.born.reset();
            }
        }
        if (cancel) {
            m_table.cancel();
            return;
        }
        const int hookCalls = m_hookCalls;
        m_table.post();
        m_people[id] = p;
        // Posting filters the new row alone, against the inputs in force.
        const bool filtering = m_table.isFiltered();
        FUZZ_CHECK(
            m_hookCalls == hookCalls + (filtering ? 1 : 0),
            QStringLiteral("the hook ran %1 times for one post").arg(m_hookCalls - hookCalls));
        if (!filtering || referenceAccepts(m_inputs, p))
            m_visible.insert(id);
    }

    void applyFilter(const QList<QStringView> &values)
    {
        auto value = [&](qsizetype i) { return i < values.size() ? values[i] : QStringView(); };
        auto flag = [&](qsizetype i) { return value(0).size() > i && value(0)[i] == u'1'; };
        CardFilterInputs in;
        in.byName = flag(0);
        in.byBirthDate = flag(1);
        in.byCitizenship = flag(2);
        in.searchText = value(1).toString();
        in.exactDate = FuzzInput::readNumber(value(2)).value_or(0);
        in.fromDate = FuzzInput::readNumber(value(3)).value_or(0);
        in.toDate = FuzzInput::readNumber(value(4)).value_or(0);
        in.citizenship = value(5).toString();
        m_inputs = in;

        // As the card list window applies its filters: off, then on again.
        m_table.setFiltered(false);
        // The decision itself, row by row from the last, so the folded texts are first asked for
        // out of storage order.
        const CardFilter filter(in);
        for (int row = m_table.rowCount() - 1; row >= 0; --row) {
            const MemTable::ActiveRecord active(m_table, row);
            const int id = m_id->asInteger();
            const Person &p = m_people.at(id);
            FUZZ_CHECK(filter.accepts(*m_record) == referenceAccepts(in, p),
                       QString(describe(in) + u'\n' + describe(id, p)));
        }
        m_table.setFiltered(true);
        m_visible.clear();
        for (const auto &[id, person] : m_people) {
            if (referenceAccepts(in, person))
                m_visible.insert(id);
        }
    }

    void deleteCurrent()
    {
        if (m_table.currentRow() < 0)
            return;
        const int id = m_id->asInteger();
        m_table.deleteCurrent();
        m_people.erase(id);
        m_visible.erase(id);
    }

    void sort(QStringView which)
    {
        static const std::map<char16_t, QString> fields{
            {u'F', QStringLiteral("FAMILY")},      {u'N', QStringLiteral("NAME")},
            {u'S', QStringLiteral("SEC_NAME")},    {u'D', QStringLiteral("DATA_BORN")},
            {u'G', QStringLiteral("GRAGDANSTVO")}, {u'I', QStringLiteral("ID")}};
        const auto field = fields.find(which.isEmpty() ? u'I' : which.front().unicode());
        if (field == fields.end())
            return;
        // Sorting filters every row again with the inputs in force; the visible rows stay the
        // same set.
        m_table.sortByField(field->second);
    }

    void checkVisibleRows()
    {
        std::set<int> shown;
        for (int row = 0; row < m_table.rowCount(); ++row) {
            const MemTable::ActiveRecord active(m_table, row);
            const int id = m_id->asInteger();
            const auto found = m_people.find(id);
            FUZZ_CHECK(found != m_people.end(),
                       QStringLiteral("row %1 shows person %2, who was "
                                      "never posted or was deleted")
                           .arg(row)
                           .arg(id));
            FUZZ_CHECK(shown.insert(id).second, QStringLiteral("person %1 is shown twice").arg(id));
            const Person &p = found->second;
            auto context = [&] { return describe(id, p); };
            const std::array<const QString *, 5> expected{&p.family, &p.name, &p.secName, nullptr,
                                                          &p.citizenship};
            for (size_t i = 0; i < m_texts.size(); ++i) {
                if (!m_texts[i])
                    continue;
                FUZZ_CHECK(m_texts[i]->asStringView() == *expected[i],
                           QString(context() + u"\nstored " + m_texts[i]->fieldName() + u' '
                                   + FuzzInput::shown(m_texts[i]->asStringView())));
                FUZZ_CHECK(m_texts[i]->asFoldedView() == FuzzInput::lowered(*expected[i]),
                           QString(context() + u"\nfolded " + m_texts[i]->fieldName() + u' '
                                   + FuzzInput::shown(m_texts[i]->asFoldedView())));
            }
            FUZZ_CHECK(
                m_born->asDate() == p.born.value_or(0) && m_born->isNull() == !p.born,
                QString(context() + QStringLiteral("\nstored born %1").arg(m_born->asDate())));
        }
        if (shown != m_visible) {
            QStringList want;
            QStringList got;
            for (int id : m_visible)
                want << QString::number(id);
            for (int id : shown)
                got << QString::number(id);
            FUZZ_CHECK(shown == m_visible,
                       QString(describe(m_inputs) + u"\nshown " + got.join(u' ') + u"\nexpected "
                               + want.join(u' ')));
        }
    }

    MemTable m_table;
    MemField *m_id = nullptr;
    std::array<MemField *, 5> m_texts{}; // FAMILY, NAME, SEC_NAME, -, GRAGDANSTVO
    MemField *m_born = nullptr;
    std::unique_ptr<CardRecord> m_record;
    CardFilterInputs m_inputs;
    CardFilter m_filter;
    int m_hookCalls = 0;
    int m_nextId = 1;
    std::map<int, Person> m_people;
    std::set<int> m_visible;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CardFilterRun run;
    run.run(FuzzInput::decode(data, size));
    return 0;
}
