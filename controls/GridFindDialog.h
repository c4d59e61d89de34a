#pragma once

#include <QDialog>
#include <QString>
#include <QStringView>

class DataGrid;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What "Найти далее" looks for, and where.
struct GridFindOptions
{
    enum class Match { WholeCell, AnyPart, StartOfCell };

    QString text;
    bool currentColumnOnly = false;
    bool matchCase = false;
    Match match = Match::AnyPart;
    bool up = false; // search towards the first row
};

// Whether a shown cell text matches the options' text (an empty text matches nothing).
bool gridTextMatches(QStringView cell, const GridFindOptions &options);

// The grid's find window. It stays open while the user works in the grid, so the same search can
// be repeated; each "Найти далее" starts after the grid's current row.
class GridFindDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit GridFindDialog(DataGrid *grid, QWidget *parent = nullptr);

    GridFindOptions options() const;
    // Selects the text so that typing replaces it, as on every opening.
    void prepare();
    // Runs one search and reports a miss in the dialog; true when a row was found.
    bool findNext();

private:
    DataGrid *const m_grid;
    QLineEdit *const m_text;
    QRadioButton *const m_allColumns;
    QRadioButton *const m_currentColumn;
    QCheckBox *const m_matchCase;
    QRadioButton *const m_wholeCell;
    QRadioButton *const m_anyPart;
    QRadioButton *const m_startOfCell;
    QRadioButton *const m_down;
    QRadioButton *const m_up;
    QLabel *const m_status;
    QPushButton *const m_findNext;
    QPushButton *const m_close;
};
