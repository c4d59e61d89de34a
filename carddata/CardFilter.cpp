#include "carddata/CardFilter.h"

namespace {
int dateOrNothing(int day)
{
    return DayNumber::holdsDate(day) ? day : 0;
}
} // namespace

CardFilter::CardFilter(const CardFilterInputs &inputs)
    : m_byName(inputs.byName)
    , m_byBirthDate(inputs.byBirthDate)
    , m_byCitizenship(inputs.byCitizenship)
    , m_searchFolded(TextRules::folded(inputs.searchText))
    , m_exactDate(dateOrNothing(inputs.exactDate))
    , m_fromDate(dateOrNothing(inputs.fromDate))
    , m_toDate(dateOrNothing(inputs.toDate))
    , m_citizenship(inputs.citizenship)
{ }

CardRecord::CardRecord(const MemTable &cardTable)
    : m_family(cardTable.fieldByName(u"FAMILY"))
    , m_name(cardTable.fieldByName(u"NAME"))
    , m_secName(cardTable.fieldByName(u"SEC_NAME"))
    , m_dataBorn(cardTable.fieldByName(u"DATA_BORN"))
    , m_citizenship(cardTable.fieldByName(u"GRAGDANSTVO"))
{
    Q_ASSERT(m_family && m_name && m_secName && m_dataBorn && m_citizenship);
}
