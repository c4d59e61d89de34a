#pragma once

#include <QDialog>
#include <QList>
#include <QPageLayout>
#include <QString>

class QAction;
class QLabel;
class QPagedPaintDevice;
class QPainter;
class QPrintPreviewWidget;
class QPrinter;
class QSpinBox;

// A paged document the preview can show, print and save: a page layout, a page count and a way
// to paint any one page.
class ReportDocument
{
public:
    virtual ~ReportDocument();

    virtual QPageLayout pageLayout() const = 0;
    // After a page set-up: the document paginates anew for the new paper.
    virtual void setPageLayout(const QPageLayout &layout) = 0;
    virtual int pageCount() const = 0; // at least 1
    // Paints a page (from 0) with the painter active on its device and the origin at the top left
    // of the printable area, in the device's own pixels.
    virtual void paintPage(int page, QPainter &painter) const = 0;
};

// Paints the given pages (from 0; all when empty) one per sheet of the device, whose painter is
// already active.
void paintDocument(const ReportDocument &document, QPainter &painter, QPagedPaintDevice &device,
                   const QList<int> &pages = {});

// Writes every page to a PDF file with the document's page layout. On failure returns false and
// says why in errorMessage.
bool writePdf(const ReportDocument &document, const QString &fileName,
              QString *errorMessage = nullptr);

// The print preview: a modal, maximised window showing the document's pages, with print, page
// set-up, zoom, page navigation and saving to PDF.
class ReportPreview final : public QDialog
{
    Q_OBJECT

public:
    explicit ReportPreview(ReportDocument &document, QWidget *parent = nullptr);
    ~ReportPreview() override;

    QPrintPreviewWidget *previewWidget() const { return m_preview; }
    QPrinter *printer() const { return m_printer; }
    int pageCount() const;
    int currentPage() const; // from 1

    // Shows the window maximised and runs it modally.
    int exec() override;

    // What the commands do, also for a caller that has the file name already.
    bool saveToPdf(const QString &fileName);

private:
    void paintRequested(QPrinter *printer);
    void print();
    void pageSetup();
    void askAndSaveToPdf();
    void layoutChanged();
    void goToPage(int page);
    void updateNavigation();

    ReportDocument &m_document;
    QPrinter *const m_printer;
    QPrintPreviewWidget *const m_preview;
    QSpinBox *const m_pageNumber;
    QLabel *const m_pageCountLabel;
    QLabel *const m_zoomLabel;
    QAction *m_firstPage = nullptr;
    QAction *m_previousPage = nullptr;
    QAction *m_nextPage = nullptr;
    QAction *m_lastPage = nullptr;
    QList<int> m_printPages; // while printing: the pages the print dialog asked for
    bool m_printing = false;
};
