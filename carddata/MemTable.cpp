#include "carddata/MemTable.h"

#include "carddata/DayNumber.h"
#include "carddata/TextRules.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QVarLengthArray>

#include <algorithm>
#include <limits>

namespace {

// Lower-cases the characters that names are made of without leaving the fast path, and says
// false when the text needs the general rules (which may change its length).
bool foldSimple(QStringView text, char16_t *out)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z')
                c += 0x20;
        } else if (c >= 0x400 && c <= 0x45F) {
            if (c < 0x410)
                c += 0x50; // Ё, Ђ ... Џ
            else if (c < 0x430)
                c += 0x20; // А ... Я
        } else if (c != u'№') {
            return false;
        }
        out[i] = c;
    }
    return true;
}

const QCollator &russianCollator()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Russian, QLocale::Russia));
        c.setNumericMode(true);
        return c;
    }();
    return collator;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// MemField

MemField::MemField(MemTable *table, int index, const QString &fieldName, FieldType type, int size,
                   int displayWidth)
    : QObject(table)
    , m_table(table)
    , m_index(index)
    , m_fieldName(fieldName)
    , m_type(type)
    , m_size(size)
    , m_displayWidth(displayWidth)
{ }

MemTable *MemField::dataSet() const
{
    return m_table;
}

Qt::Alignment MemField::alignment() const
{
    return m_type == FieldType::Integer ? Qt::AlignRight : Qt::AlignLeft;
}

bool MemField::isNull() const
{
    if (isCalculated())
        return asString().isEmpty();
    return m_table->isNull(m_table->activeRecord(), this);
}

int MemField::asInteger() const
{
    switch (m_type) {
    case FieldType::Integer:
    case FieldType::Date:
    case FieldType::Boolean:
        return m_table->number(m_table->activeRecord(), this);
    case FieldType::Text:
    case FieldType::CalculatedText:
        return asString().toInt();
    }
    return 0;
}

bool MemField::asBoolean() const
{
    return asInteger() != 0;
}

QString MemField::asString() const
{
    switch (m_type) {
    case FieldType::Text:
        return m_table->text(m_table->activeRecord(), this).toString();
    case FieldType::CalculatedText:
        return m_table->calculatedText(m_table->activeRecord(), const_cast<MemField *>(this));
    default:
        return displayText();
    }
}

QString MemField::displayText() const
{
    const qint64 record = m_table->activeRecord();
    switch (m_type) {
    case FieldType::Text:
        return m_table->text(record, this).toString();
    case FieldType::CalculatedText:
        return m_table->calculatedText(record, const_cast<MemField *>(this));
    case FieldType::Integer:
        return m_table->isNull(record, this) ? QString()
                                             : QString::number(m_table->number(record, this));
    case FieldType::Date:
        return m_table->isNull(record, this) ? QString()
                                             : DayNumber::toText(m_table->number(record, this));
    case FieldType::Boolean:
        if (m_table->isNull(record, this))
            return {};
        return m_table->number(record, this) ? QStringLiteral("True") : QStringLiteral("False");
    }
    return {};
}

void MemField::setAsInteger(int value)
{
    if (m_type == FieldType::Text)
        m_table->setText(this, QString::number(value));
    else
        m_table->setNumber(this, m_type == FieldType::Boolean ? int(value != 0) : value);
}

void MemField::setAsDate(int day)
{
    if (m_type == FieldType::Text)
        m_table->setText(this, DayNumber::toText(day));
    else if (m_type == FieldType::Boolean)
        setAsBoolean(day != 0);
    else
        m_table->setNumber(this, day);
}

void MemField::setAsBoolean(bool value)
{
    setAsInteger(value ? 1 : 0);
}

void MemField::setAsString(QStringView value)
{
    switch (m_type) {
    case FieldType::Text:
        m_table->setText(this, value);
        return;
    case FieldType::CalculatedText:
        return;
    case FieldType::Integer:
    case FieldType::Boolean: {
        bool ok = false;
        const int number = value.trimmed().toInt(&ok);
        if (ok)
            setAsInteger(number);
        else
            clear();
        return;
    }
    case FieldType::Date: {
        const QDate date = QDate::fromString(value.trimmed().toString(), u"dd.MM.yyyy");
        if (date.isValid())
            setAsDate(DayNumber::fromDate(date));
        else
            clear();
        return;
    }
    }
}

void MemField::clear()
{
    m_table->setNull(this);
}

// ---------------------------------------------------------------------------------------------
// MemTable

MemTable::MemTable(QObject *parent)
    : QObject(parent)
{ }

MemTable::~MemTable() = default;

MemField *MemTable::addField(const QString &fieldName, FieldType type, int size, int displayWidth)
{
    Q_ASSERT_X(m_physicalRows == 0, "MemTable::addField", "fields are defined before any row");
    if (displayWidth <= 0)
        displayWidth = (type == FieldType::Text || type == FieldType::CalculatedText) ? size : 10;
    auto *field = new MemField(this, fieldCount(), fieldName, type, size, displayWidth);
    m_fields.push_back(field);
    m_columns.emplace_back();
    return field;
}

MemField *MemTable::findField(QStringView fieldName) const
{
    if (fieldName.isEmpty())
        return nullptr;
    for (MemField *field : m_fields) {
        if (field->fieldName() == fieldName)
            return field;
    }
    return nullptr;
}

bool MemTable::isNull(qint64 record, const MemField *field) const
{
    if (record < 0)
        return true;
    const Column &column = m_columns[static_cast<size_t>(field->index())];
    const auto r = static_cast<size_t>(record);
    if (field->type() == FieldType::Text)
        return r >= column.texts.size() || column.texts[r].length == 0;
    return r >= column.present.size() || !column.present[r];
}

void MemTable::foldUpTo(Column &column, size_t record) const
{
    // Folds the rows not yet folded up to this one: a filtering pass asks for the rows in
    // storage order, so each row is folded once, when first searched.
    const size_t from = column.folded.size();
    column.folded.resize(record + 1);
    QVarLengthArray<char16_t, 256> buffer;
    // Rows that share a stored text share its folded copy too.
    std::array<std::pair<TextRef, TextRef>, 4> recent{};
    unsigned recentNext = 0;
    for (size_t i = from; i <= record; ++i) {
        const TextRef ref = column.texts[i];
        const auto known = std::find_if(recent.begin(), recent.end(), [&](const auto &entry) {
            return entry.first.length == ref.length && entry.first.offset == ref.offset;
        });
        if (ref.length > 0 && known != recent.end()) {
            column.folded[i] = known->second;
            continue;
        }
        const QStringView value(column.chars.data() + ref.offset, ref.length);
        buffer.resize(ref.length);
        QString general;
        QStringView result;
        if (foldSimple(value, buffer.data())) {
            if (std::equal(buffer.begin(), buffer.end(), value.utf16())) {
                column.folded[i] = {ref.offset, ref.length | Column::InTextStore};
                continue;
            }
            result = QStringView(buffer.data(), ref.length);
        } else {
            general = TextRules::folded(value);
            result = general;
        }
        column.folded[i] = {static_cast<quint32>(column.foldedChars.size()),
                            static_cast<quint32>(result.size())};
        column.foldedChars.insert(column.foldedChars.end(), result.utf16(),
                                  result.utf16() + result.size());
        recent[recentNext++ % recent.size()] = {ref, column.folded[i]};
    }
}

QString MemTable::calculatedText(qint64 record, MemField *field) const
{
    if (!field->m_onGetText)
        return {};
    const qint64 previous = m_activeOverride;
    m_activeOverride = record;
    QString text;
    field->m_onGetText(*field, text, true);
    m_activeOverride = previous;
    if (field->size() > 0 && text.size() > field->size()) {
        text.truncate(field->size());
        // As for stored texts: never keep half of a surrogate pair.
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

bool MemTable::isWritable(const MemField *field) const
{
    // Values change only while a row is being appended, and only in that row.
    if (m_appendRow < 0 || activeRecord() != m_appendRow || field->isCalculated()) {
        qWarning("MemTable: field %s written outside an append", qPrintable(field->fieldName()));
        return false;
    }
    return true;
}

void MemTable::setNumber(const MemField *field, qint32 value)
{
    if (!isWritable(field))
        return;
    Column &column = m_columns[static_cast<size_t>(field->index())];
    const auto r = static_cast<size_t>(m_appendRow);
    if (r >= column.numbers.size()) {
        if (column.numbers.empty())
            reserveColumn(column, false);
        column.numbers.resize(r + 1);
        column.present.resize(r + 1);
    }
    column.numbers[r] = value;
    column.present[r] = true;
}

void MemTable::setText(const MemField *field, QStringView value)
{
    if (!isWritable(field))
        return;
    if (value.size() > field->size()) {
        value = value.first(field->size());
        // Never keep half of a surrogate pair.
        if (!value.isEmpty() && value.back().isHighSurrogate())
            value.chop(1);
    }
    Column &column = m_columns[static_cast<size_t>(field->index())];
    const auto r = static_cast<size_t>(m_appendRow);
    if (r >= column.texts.size()) {
        if (value.isEmpty())
            return;
        if (column.texts.empty())
            reserveColumn(column, true);
        column.texts.resize(r + 1);
    }
    // Only the row being appended is ever written, and it is the newest row: when it wrote the
    // end of the store itself, a new value takes that space back.
    TextRef &ref = column.texts[r];
    if (ref.length > 0 && column.tailOwner == qint64(r)
        && ref.offset + ref.length == column.chars.size()) {
        column.chars.resize(ref.offset);
        for (TextRef &recent : column.recent) {
            if (recent.offset + recent.length > ref.offset)
                recent = {};
        }
        column.tailOwner = -1;
    }
    ref = {};
    if (r < column.folded.size()) {
        // Rare: a filter ran during this append. The folded copies are simply made again.
        column.folded.clear();
        column.foldedChars.clear();
    }
    const auto length = static_cast<quint32>(value.size());
    if (length == 0)
        return;
    for (const TextRef &recent : column.recent) {
        if (recent.length == length
            && std::equal(value.utf16(), value.utf16() + length,
                          column.chars.begin() + recent.offset)) {
            ref = recent;
            return;
        }
    }
    if (column.chars.size() + length >= Column::InTextStore)
        qFatal("MemTable: the text store of field %s is full", qPrintable(field->fieldName()));
    ref = {static_cast<quint32>(column.chars.size()), length};
    column.chars.insert(column.chars.end(), value.utf16(), value.utf16() + length);
    column.recent[column.recentNext++ % column.recent.size()] = ref;
    column.tailOwner = qint64(r);
}

void MemTable::setNull(const MemField *field)
{
    if (!isWritable(field))
        return;
    if (field->type() == FieldType::Text) {
        setText(field, QStringView());
        return;
    }
    Column &column = m_columns[static_cast<size_t>(field->index())];
    const auto r = static_cast<size_t>(m_appendRow);
    if (r < column.present.size()) {
        column.present[r] = false;
        column.numbers[r] = 0;
    }
}

void MemTable::append()
{
    if (isAppending())
        post();
    m_appendRow = m_physicalRows++;
}

void MemTable::cancel()
{
    // The abandoned row's storage stays unused; row numbers are never reused.
    m_appendRow = -1;
}

void MemTable::post()
{
    if (!isAppending())
        return;
    const auto record = static_cast<quint32>(m_appendRow);
    m_appendRow = -1;
    m_order.push_back(record);
    if (m_filtered && m_onFilterRecord) {
        Q_EMIT filterPassStarting();
        if (!accepts(record))
            return;
    }
    const int row = rowCount();
    Q_EMIT rowAboutToBeInserted(row);
    m_visible.push_back(record);
    Q_EMIT rowInserted(row);
    setCurrent(row);
}

bool MemTable::accepts(quint32 record)
{
    const qint64 previous = m_activeOverride;
    m_activeOverride = record;
    bool accept = true;
    m_onFilterRecord(*this, accept);
    m_activeOverride = previous;
    return accept;
}

void MemTable::deleteCurrent()
{
    if (m_current < 0 || isAppending())
        return;
    const int row = m_current;
    const quint32 record = m_visible[static_cast<size_t>(row)];
    Q_EMIT rowAboutToBeRemoved(row);
    m_visible.erase(m_visible.begin() + row);
    m_order.erase(std::find(m_order.begin(), m_order.end(), record));
    m_current = -1; // while the signal runs, the removed row is no one's
    Q_EMIT rowRemoved(row);
    // The current record has changed even where the row number stays, so this is always said.
    m_current = std::min(row, rowCount() - 1);
    m_eof = m_current < 0;
    Q_EMIT currentRowChanged(m_current);
}

void MemTable::setFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    m_filtered = filtered;
    rebuildVisible(-1);
}

void MemTable::rebuildVisible(qint64 keepRecord)
{
    Q_EMIT rowsAboutToBeReset();
    m_current = -1;
    if (m_filtered && m_onFilterRecord) {
        Q_EMIT filterPassStarting();
        m_visible.clear();
        m_visible.reserve(m_order.size());
        // The hot loop of every filtering pass: no more than the handler call per row.
        const qint64 previous = m_activeOverride;
        for (const quint32 record : m_order) {
            m_activeOverride = record;
            bool accept = true;
            m_onFilterRecord(*this, accept);
            if (accept)
                m_visible.push_back(record);
        }
        m_activeOverride = previous;
    } else {
        m_visible = m_order;
    }
    Q_EMIT rowsReset();
    int row = isEmpty() ? -1 : 0;
    if (keepRecord >= 0) {
        const auto found = std::find(m_visible.begin(), m_visible.end(), keepRecord);
        if (found != m_visible.end())
            row = static_cast<int>(found - m_visible.begin());
    }
    setCurrent(row);
}

bool MemTable::sortByField(QStringView fieldName)
{
    MemField *field = findField(fieldName);
    if (!field || isEmpty() || isAppending())
        return false;
    const qint64 keep = m_visible[static_cast<size_t>(m_current)];
    const std::vector<quint32> positions
        = (field->type() == FieldType::Text || field->isCalculated()) ? textSortOrder(field)
                                                                      : numberSortOrder(field);
    std::vector<quint32> order(m_order.size());
    for (size_t i = 0; i < positions.size(); ++i)
        order[i] = m_order[positions[i]];
    m_order.swap(order);
    rebuildVisible(keep);
    return true;
}

std::vector<quint32> MemTable::numberSortOrder(const MemField *field) const
{
    // Empty values first, then ascending; the position breaks ties, so the sort is stable.
    std::vector<std::pair<qint64, quint32>> keys(m_order.size());
    for (size_t i = 0; i < m_order.size(); ++i) {
        const quint32 record = m_order[i];
        const qint64 key = isNull(record, field) ? std::numeric_limits<qint64>::min()
                                                 : qint64(number(record, field));
        keys[i] = {key, static_cast<quint32>(i)};
    }
    std::sort(keys.begin(), keys.end());
    std::vector<quint32> positions(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        positions[i] = keys[i].second;
    return positions;
}

std::vector<quint32> MemTable::textSortOrder(MemField *field) const
{
    // Collation keys are computed once per distinct text, then the rows sort by the rank of
    // their text: a column of four countries costs four keys, not one per comparison.
    std::vector<QString> calculated;
    std::vector<QStringView> values(m_order.size());
    if (field->isCalculated()) {
        calculated.resize(m_order.size());
        for (size_t i = 0; i < m_order.size(); ++i) {
            calculated[i] = calculatedText(m_order[i], field);
            values[i] = calculated[i];
        }
    } else {
        for (size_t i = 0; i < m_order.size(); ++i)
            values[i] = text(m_order[i], field);
    }

    QHash<QStringView, quint32> distinctIndex;
    std::vector<QStringView> distinct;
    std::vector<quint32> valueIds(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        auto it = distinctIndex.constFind(values[i]);
        if (it == distinctIndex.cend()) {
            it = distinctIndex.insert(values[i], static_cast<quint32>(distinct.size()));
            distinct.push_back(values[i]);
        }
        valueIds[i] = *it;
    }

    const QCollator &collator = russianCollator();
    std::vector<QCollatorSortKey> sortKeys;
    sortKeys.reserve(distinct.size());
    for (const QStringView value : distinct)
        sortKeys.push_back(collator.sortKey(value.toString()));
    std::vector<quint32> byKey(distinct.size());
    for (size_t i = 0; i < byKey.size(); ++i)
        byKey[i] = static_cast<quint32>(i);
    std::sort(byKey.begin(), byKey.end(), [&](quint32 a, quint32 b) {
        const bool emptyA = distinct[a].isEmpty();
        const bool emptyB = distinct[b].isEmpty();
        if (emptyA != emptyB)
            return emptyA;
        return sortKeys[a].compare(sortKeys[b]) < 0;
    });
    // Texts that collate equal share a rank, so they keep their row order.
    std::vector<quint32> rank(distinct.size());
    for (size_t i = 0; i < byKey.size(); ++i) {
        const bool tie = i > 0 && distinct[byKey[i]].isEmpty() == distinct[byKey[i - 1]].isEmpty()
            && sortKeys[byKey[i]].compare(sortKeys[byKey[i - 1]]) == 0;
        rank[byKey[i]] = tie ? rank[byKey[i - 1]] : static_cast<quint32>(i);
    }

    std::vector<std::pair<quint32, quint32>> keys(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        keys[i] = {rank[valueIds[i]], static_cast<quint32>(i)};
    std::sort(keys.begin(), keys.end());
    std::vector<quint32> positions(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        positions[i] = keys[i].second;
    return positions;
}

void MemTable::setCurrent(int row)
{
    m_eof = row < 0;
    if (row == m_current)
        return;
    m_current = row;
    Q_EMIT currentRowChanged(row);
}

void MemTable::setCurrentRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    setCurrent(row);
}

void MemTable::first()
{
    setCurrent(isEmpty() ? -1 : 0);
}

void MemTable::next()
{
    if (m_current >= 0 && m_current + 1 < rowCount())
        setCurrent(m_current + 1);
    else
        m_eof = true;
}

MemTable::ActiveRecord::ActiveRecord(const MemTable &table, int row, Rows rows)
    : m_table(table)
    , m_previous(table.m_activeOverride)
{
    const std::vector<quint32> &records = rows == Rows::All ? table.m_order : table.m_visible;
    Q_ASSERT(row >= 0 && size_t(row) < records.size());
    table.m_activeOverride = records[static_cast<size_t>(row)];
}

MemTable::ActiveRecord::~ActiveRecord()
{
    m_table.m_activeOverride = m_previous;
}

size_t MemTable::memoryUsage() const
{
    size_t bytes = sizeof(*this) + m_order.capacity() * sizeof(quint32)
        + m_visible.capacity() * sizeof(quint32);
    for (const Column &column : m_columns) {
        bytes += column.numbers.capacity() * sizeof(qint32) + column.present.capacity() / 8
            + column.texts.capacity() * sizeof(TextRef) + column.chars.capacity() * sizeof(char16_t)
            + column.folded.capacity() * sizeof(TextRef)
            + column.foldedChars.capacity() * sizeof(char16_t);
    }
    return bytes;
}

namespace {
// Gives back capacity only where it is worth the copy.
template<typename Vector>
void shrinkIfSpare(Vector &v)
{
    if (v.capacity() - v.size() > v.capacity() / 8)
        v.shrink_to_fit();
}
} // namespace

void MemTable::squeeze()
{
    shrinkIfSpare(m_order);
    shrinkIfSpare(m_visible);
    for (Column &column : m_columns) {
        shrinkIfSpare(column.numbers);
        shrinkIfSpare(column.present);
        shrinkIfSpare(column.texts);
        shrinkIfSpare(column.chars);
        shrinkIfSpare(column.folded);
        shrinkIfSpare(column.foldedChars);
    }
}

void MemTable::reserve(int rows)
{
    m_reservedRows = static_cast<size_t>(std::max(rows, 0));
    m_order.reserve(m_reservedRows);
    m_visible.reserve(m_reservedRows);
}

void MemTable::reserveColumn(Column &column, bool text) const
{
    // A column takes storage when its first value arrives; a bulk load announced by reserve()
    // then gets all of it at once instead of growing it step by step.
    if (m_reservedRows == 0)
        return;
    if (text) {
        column.texts.reserve(m_reservedRows);
        column.chars.reserve(m_reservedRows * 8);
    } else {
        column.numbers.reserve(m_reservedRows);
        column.present.reserve(m_reservedRows);
    }
}
