#pragma once

#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "carddata/TextRules.h"

#include <QString>

#include <algorithm>

// What the card filter reads from the card list window: which filters are in force and the
// values in the filter controls, taken once per filtering pass.
struct CardFilterInputs
{
    bool byName = false;
    bool byBirthDate = false;
    bool byCitizenship = false;
    QString searchText;
    int exactDate = 0; // day numbers; a day of 1 or less means the edit holds no date
    int fromDate = 0;
    int toDate = 0;
    QString citizenship;
};

// The card filter's decision for one row. A row passes the name test when the search text,
// folded to lower case, occurs in the folded surname, name or patronymic (an empty search text
// occurs nowhere); the birth-date tests when its date equals the exact date and lies within the
// inclusive bounds, each test skipped when its edit holds no date; the citizenship test when the
// citizenship equals the chosen one exactly. Only the tests whose flag is set apply.
class CardFilter
{
public:
    explicit CardFilter(const CardFilterInputs &inputs = {});

    bool acceptsEverything() const { return !m_byName && !m_byBirthDate && !m_byCitizenship; }

    // Row provides familyFolded(), nameFolded(), secNameFolded() (folded with
    // TextRules::folded), dataBorn() and citizenship(); each is read only when its test applies.
    template<typename Row>
    bool accepts(const Row &row) const
    {
        if (acceptsEverything())
            return true;
        if (m_byName
            && !(TextRules::contains(row.familyFolded(), m_searchFolded)
                 || TextRules::contains(row.nameFolded(), m_searchFolded)
                 || TextRules::contains(row.secNameFolded(), m_searchFolded)))
            return false;
        if (m_byBirthDate && (m_exactDate || m_fromDate || m_toDate)) {
            const int born = row.dataBorn();
            if (m_exactDate && born != m_exactDate)
                return false;
            if (m_fromDate && born < m_fromDate)
                return false;
            if (m_toDate && born > m_toDate)
                return false;
        }
        if (m_byCitizenship) {
            const QStringView citizenship = row.citizenship();
            return citizenship.size() == m_citizenship.size()
                && std::equal(citizenship.begin(), citizenship.end(), m_citizenship.begin());
        }
        return true;
    }

private:
    bool m_byName;
    bool m_byBirthDate;
    bool m_byCitizenship;
    QString m_searchFolded;
    int m_exactDate; // 0 where the edit holds no date
    int m_fromDate;
    int m_toDate;
    QString m_citizenship;
};

// Reads a card filter's row from the card table's active record, which is the row under test
// while the table filters.
class CardRecord
{
public:
    explicit CardRecord(const MemTable &cardTable);

    QStringView familyFolded() const { return m_family->asFoldedView(); }
    QStringView nameFolded() const { return m_name->asFoldedView(); }
    QStringView secNameFolded() const { return m_secName->asFoldedView(); }
    int dataBorn() const { return m_dataBorn->asDate(); }
    QStringView citizenship() const { return m_citizenship->asStringView(); }

private:
    const MemField *m_family;
    const MemField *m_name;
    const MemField *m_secName;
    const MemField *m_dataBorn;
    const MemField *m_citizenship;
};
