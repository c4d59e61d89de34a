#include "controls/GridFindDialog.h"

#include "controls/DataGrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

bool gridTextMatches(QStringView cell, const GridFindOptions &options)
{
    if (options.text.isEmpty())
        return false;
    const Qt::CaseSensitivity sensitivity
        = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    switch (options.match) {
    case GridFindOptions::Match::WholeCell:
        return cell.compare(options.text, sensitivity) == 0;
    case GridFindOptions::Match::StartOfCell:
        return cell.startsWith(options.text, sensitivity);
    case GridFindOptions::Match::AnyPart:
        return cell.contains(options.text, sensitivity);
    }
    return false;
}

namespace {

QRadioButton *radio(const QString &objectName, const QString &text)
{
    auto *button = new QRadioButton(text);
    button->setObjectName(objectName);
    return button;
}

QGroupBox *group(const QString &title, std::initializer_list<QWidget *> widgets)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    for (QWidget *widget : widgets)
        layout->addWidget(widget);
    return box;
}

} // namespace

GridFindDialog::GridFindDialog(DataGrid *grid, QWidget *parent)
    : QDialog(parent)
    , m_grid(grid)
    , m_text(new QLineEdit)
    , m_allColumns(radio(QStringLiteral("rbAllColumns"), u"Во всех столбцах"_qs))
    , m_currentColumn(radio(QStringLiteral("rbCurrentColumn"), u"В текущем столбце"_qs))
    , m_matchCase(new QCheckBox(u"С учётом регистра"_qs))
    , m_wholeCell(radio(QStringLiteral("rbWholeCell"), u"Вся ячейка"_qs))
    , m_anyPart(radio(QStringLiteral("rbAnyPart"), u"Любая часть ячейки"_qs))
    , m_startOfCell(radio(QStringLiteral("rbStartOfCell"), u"Начало ячейки"_qs))
    , m_down(radio(QStringLiteral("rbDown"), u"Вниз"_qs))
    , m_up(radio(QStringLiteral("rbUp"), u"Вверх"_qs))
    , m_status(new QLabel)
    , m_findNext(new QPushButton(u"Найти далее"_qs))
    , m_close(new QPushButton(u"Закрыть"_qs))
{
    setObjectName(QStringLiteral("GridFindDialog"));
    setWindowTitle(u"Поиск"_qs);
    m_text->setObjectName(QStringLiteral("edtText"));
    m_matchCase->setObjectName(QStringLiteral("chkMatchCase"));
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_findNext->setObjectName(QStringLiteral("btnFindNext"));
    m_close->setObjectName(QStringLiteral("btnClose"));
    m_allColumns->setChecked(true);
    m_anyPart->setChecked(true);
    m_down->setChecked(true);
    m_findNext->setDefault(true);
    m_findNext->setEnabled(false);

    auto *textLabel = new QLabel(u"Текст:"_qs);
    textLabel->setBuddy(m_text);

    auto *layout = new QGridLayout(this);
    auto *textRow = new QHBoxLayout;
    textRow->addWidget(textLabel);
    textRow->addWidget(m_text, 1);
    layout->addLayout(textRow, 0, 0, 1, 2);
    layout->addWidget(group(u"Где искать"_qs, {m_allColumns, m_currentColumn}), 1, 0);
    layout->addWidget(group(u"Направление"_qs, {m_down, m_up}), 1, 1);
    layout->addWidget(group(u"Совпадение"_qs, {m_wholeCell, m_anyPart, m_startOfCell}), 2, 0);
    auto *options = new QVBoxLayout;
    options->addWidget(m_matchCase);
    options->addStretch(1);
    layout->addLayout(options, 2, 1);
    layout->addWidget(m_status, 3, 0, 1, 2);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_close);
    buttons->addStretch(1);
    layout->addLayout(buttons, 0, 2, 4, 1);

    connect(m_text, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_findNext->setEnabled(!text.isEmpty());
        m_status->clear();
    });
    connect(m_findNext, &QPushButton::clicked, this, &GridFindDialog::findNext);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
}

GridFindOptions GridFindDialog::options() const
{
    GridFindOptions options;
    options.text = m_text->text();
    options.currentColumnOnly = m_currentColumn->isChecked();
    options.matchCase = m_matchCase->isChecked();
    options.match = m_wholeCell->isChecked() ? GridFindOptions::Match::WholeCell
        : m_startOfCell->isChecked()         ? GridFindOptions::Match::StartOfCell
                                             : GridFindOptions::Match::AnyPart;
    options.up = m_up->isChecked();
    return options;
}

void GridFindDialog::prepare()
{
    m_status->clear();
    m_text->selectAll();
    m_text->setFocus();
}

bool GridFindDialog::findNext()
{
    const bool found = m_grid->findNext(options());
    m_status->setText(found ? QString() : u"Текст не найден."_qs);
    return found;
}
