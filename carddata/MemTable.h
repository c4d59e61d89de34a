#pragma once

#include <QObject>
#include <QString>
#include <QStringView>

#include <array>
#include <functional>
#include <vector>

class MemTable;

enum class FieldType {
    Integer, // 32-bit signed
    Text, // at most size() characters
    Date, // a day number (DayNumber)
    Boolean,
    CalculatedText, // no stored value: the text comes from the field's get-text handler
};

// One field of a MemTable. Reads and writes go to the table's active record: the current
// row, the new row while appending, the row under test while filtering, or the row that an
// ActiveRecord scope names. Empty values read as 0, the empty string and day 0.
class MemField final : public QObject
{
    Q_OBJECT

public:
    // Builds the text of a calculated field for the active record. The handler sets text;
    // displayText tells whether it is asked for display (the card index does not distinguish).
    using GetTextHandler = std::function<void(MemField &sender, QString &text, bool displayText)>;

    QString fieldName() const { return m_fieldName; }
    FieldType type() const { return m_type; }
    int size() const { return m_size; }
    int displayWidth() const { return m_displayWidth; }
    int index() const { return m_index; }
    bool isCalculated() const { return m_type == FieldType::CalculatedText; }
    Qt::Alignment alignment() const;
    MemTable *dataSet() const;

    bool isNull() const;
    int asInteger() const;
    int asDate() const;
    bool asBoolean() const;
    QString asString() const;
    // The stored text without a copy; valid until the table next changes.
    QStringView asStringView() const;
    // The stored text folded to lower case (TextRules::folded), cached by the table.
    QStringView asFoldedView() const;
    // The text a grid cell or a report shows: dates as dd.MM.yyyy, empty values as "".
    QString displayText() const;

    // Writing is allowed only to the row being appended.
    void setAsInteger(int value);
    void setAsDate(int day);
    void setAsBoolean(bool value);
    void setAsString(QStringView value); // cut to size(); converted for non-text fields
    void clear();

    void setOnGetText(GetTextHandler handler) { m_onGetText = std::move(handler); }

private:
    friend class MemTable;
    MemField(MemTable *table, int index, const QString &fieldName, FieldType type, int size,
             int displayWidth);

    MemTable *const m_table;
    const int m_index;
    const QString m_fieldName;
    const FieldType m_type;
    const int m_size;
    const int m_displayWidth;
    GetTextHandler m_onGetText;
};

// The program's in-memory data set: typed columns, rows appended one at a time, a filter hook,
// a stable sort by field name and a cursor over the visible rows. Row numbers in this interface
// count the visible rows in their current order.
class MemTable final : public QObject
{
    Q_OBJECT

public:
    // Decides whether the active record is visible; accept starts true and must be written.
    using FilterRecordHandler = std::function<void(MemTable &dataSet, bool &accept)>;

    explicit MemTable(QObject *parent = nullptr);
    ~MemTable() override;

    // Fields are defined before the first row is appended. A display width of 0 takes the
    // type's default: the size for text, 10 otherwise.
    MemField *addField(const QString &fieldName, FieldType type, int size = 0,
                       int displayWidth = 0);
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    MemField *field(int index) const { return m_fields[static_cast<size_t>(index)]; }
    // nullptr when the table has no field of that name.
    MemField *findField(QStringView fieldName) const;
    MemField *fieldByName(QStringView fieldName) const { return findField(fieldName); }

    // Appending: append() starts a new row (posting a pending one first), the fields are
    // assigned, post() adds it at the end. While filtering, post() runs the filter for it.
    void append();
    void post();
    void cancel();
    bool isAppending() const { return m_appendRow >= 0; }

    // Removes the current row; the filter does not run. The following row becomes current,
    // or the preceding one when the last row was removed.
    void deleteCurrent();

    // Switching to a new value rebuilds the visible rows in row order and makes the first one
    // current; switching on runs the filter once per row. Setting the same value does nothing.
    void setFiltered(bool filtered);
    bool isFiltered() const { return m_filtered; }
    void setOnFilterRecord(FilterRecordHandler handler) { m_onFilterRecord = std::move(handler); }

    // Orders all rows, hidden ones too, ascending by the named field: empty values first, equal
    // values in their former order, text by Russian collation with digit runs compared as
    // numbers. Then rebuilds the visible rows; the current record stays current if still shown.
    // Returns false and does nothing when the name is empty or unknown, no row is visible or a
    // row is being appended.
    bool sortByField(QStringView fieldName);

    int rowCount() const { return static_cast<int>(m_visible.size()); }
    int totalRowCount() const { return static_cast<int>(m_order.size()); }
    bool isEmpty() const { return m_visible.empty(); }

    // The cursor: -1 when no row is visible.
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    void first();
    void next();
    bool eof() const { return m_eof; }

    // Which rows a row number counts: the visible ones, or all rows in their order, hidden ones
    // included.
    enum class Rows { Visible, All };

    // Makes a row the active record for the fields while it lives, without moving the cursor:
    // the grid and the report read rows this way.
    class ActiveRecord
    {
    public:
        ActiveRecord(const MemTable &table, int row, Rows rows = Rows::Visible);
        ~ActiveRecord();
        ActiveRecord(const ActiveRecord &) = delete;
        ActiveRecord &operator=(const ActiveRecord &) = delete;

    private:
        const MemTable &m_table;
        const qint64 m_previous;
    };

    // Bytes held by the table's storage, for the benchmark's memory figure.
    size_t memoryUsage() const;
    // A bulk load: reserve() says how many rows will be there in all, squeeze() gives back what
    // was not used.
    void reserve(int rows);
    void squeeze();

Q_SIGNALS:
    // Before the filter runs over all rows, or over one posted row: the place to take a
    // snapshot of whatever the filter reads.
    void filterPassStarting();
    void rowsAboutToBeReset();
    void rowsReset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void currentRowChanged(int row);

private:
    friend class MemField;
    struct TextRef
    {
        quint32 offset = 0;
        quint32 length = 0;
    };
    // Column storage. A column stays empty until its first value is written, so the many fields
    // that no row fills cost nothing; a row beyond the column's end reads as empty.
    struct Column
    {
        // Integer, Date and Boolean values, with a flag for the rows that hold one.
        std::vector<qint32> numbers;
        std::vector<bool> present;
        // Text values live in one character store per column; an empty text is an empty
        // reference.
        std::vector<TextRef> texts;
        std::vector<char16_t> chars;
        // Folded copies for case-insensitive searching, built on first use. A reference with
        // InTextStore in its length points into chars: most texts fold to themselves.
        std::vector<TextRef> folded;
        std::vector<char16_t> foldedChars;
        // Texts stored last, so that a value repeated row after row (a country, a surname) is
        // kept once; and the row that wrote the end of chars itself, which may take it back.
        std::array<TextRef, 4> recent{};
        unsigned recentNext = 0;
        qint64 tailOwner = -1;

        static constexpr quint32 InTextStore = 0x80000000u;
    };

    // Physical rows are never reused; m_order lists the live ones in row order.
    qint64 activeRecord() const;
    bool isWritable(const MemField *field) const;
    bool isNull(qint64 record, const MemField *field) const;
    qint32 number(qint64 record, const MemField *field) const;
    QStringView text(qint64 record, const MemField *field) const;
    QStringView foldedText(qint64 record, const MemField *field) const;
    void foldUpTo(Column &column, size_t record) const;
    void reserveColumn(Column &column, bool text) const;
    QString calculatedText(qint64 record, MemField *field) const;
    void setNumber(const MemField *field, qint32 value);
    void setText(const MemField *field, QStringView value);
    void setNull(const MemField *field);

    bool accepts(quint32 record);
    void rebuildVisible(qint64 keepRecord);
    void setCurrent(int row);
    std::vector<quint32> textSortOrder(MemField *field) const;
    std::vector<quint32> numberSortOrder(const MemField *field) const;

    std::vector<MemField *> m_fields;
    std::vector<Column> m_columns;
    quint32 m_physicalRows = 0;
    size_t m_reservedRows = 0;
    std::vector<quint32> m_order;
    std::vector<quint32> m_visible;
    int m_current = -1;
    bool m_eof = true;
    bool m_filtered = false;
    qint64 m_appendRow = -1;
    mutable qint64 m_activeOverride = -1;
    FilterRecordHandler m_onFilterRecord;
};

// The reads that filtering and painting run for every row are inline.

inline qint64 MemTable::activeRecord() const
{
    if (m_activeOverride >= 0)
        return m_activeOverride;
    if (m_appendRow >= 0)
        return m_appendRow;
    return m_current >= 0 ? qint64(m_visible[static_cast<size_t>(m_current)]) : -1;
}

inline qint32 MemTable::number(qint64 record, const MemField *field) const
{
    const Column &column = m_columns[static_cast<size_t>(field->index())];
    const auto r = static_cast<size_t>(record);
    return record >= 0 && r < column.numbers.size() ? column.numbers[r] : 0;
}

inline QStringView MemTable::text(qint64 record, const MemField *field) const
{
    const Column &column = m_columns[static_cast<size_t>(field->index())];
    const auto r = static_cast<size_t>(record);
    if (record < 0 || r >= column.texts.size())
        return {};
    const TextRef ref = column.texts[r];
    return QStringView(column.chars.data() + ref.offset, ref.length);
}

inline QStringView MemTable::foldedText(qint64 record, const MemField *field) const
{
    const Column &column = m_columns[static_cast<size_t>(field->index())];
    const auto r = static_cast<size_t>(record);
    if (record < 0 || r >= column.texts.size())
        return {};
    if (r >= column.folded.size())
        foldUpTo(const_cast<Column &>(column), r);
    const TextRef ref = column.folded[r];
    if (ref.length & Column::InTextStore)
        return QStringView(column.chars.data() + ref.offset, ref.length & ~Column::InTextStore);
    return QStringView(column.foldedChars.data() + ref.offset, ref.length);
}

inline int MemField::asDate() const
{
    return m_type == FieldType::Date ? m_table->number(m_table->activeRecord(), this) : 0;
}

inline QStringView MemField::asStringView() const
{
    return m_type == FieldType::Text ? m_table->text(m_table->activeRecord(), this) : QStringView();
}

inline QStringView MemField::asFoldedView() const
{
    return m_type == FieldType::Text ? m_table->foldedText(m_table->activeRecord(), this)
                                     : QStringView();
}
