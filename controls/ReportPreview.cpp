#include "controls/ReportPreview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPageRanges>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

ReportDocument::~ReportDocument() = default;

void paintDocument(const ReportDocument &document, QPainter &painter, QPagedPaintDevice &device,
                   const QList<int> &pages)
{
    QList<int> order = pages;
    if (order.isEmpty()) {
        const int count = document.pageCount();
        order.reserve(count);
        for (int page = 0; page < count; ++page)
            order.append(page);
    }
    bool first = true;
    for (const int page : std::as_const(order)) {
        if (!first)
            device.newPage();
        first = false;
        document.paintPage(page, painter);
    }
}

bool writePdf(const ReportDocument &document, const QString &fileName, QString *errorMessage)
{
    auto fail = [errorMessage](const QString &message) {
        if (errorMessage)
            *errorMessage = message;
        return false;
    };
    {
        QPdfWriter writer(fileName);
        writer.setCreator(QCoreApplication::applicationName());
        if (!writer.setPageLayout(document.pageLayout()))
            return fail(QStringLiteral("Недопустимые параметры страницы."));
        QPainter painter;
        // QPdfWriter opens the file only here: a folder without write access shows up now.
        if (!painter.begin(&writer))
            return fail(QStringLiteral("Не удалось открыть файл для записи."));
        paintDocument(document, painter, writer);
        if (!painter.end())
            return fail(QStringLiteral("Не удалось записать файл."));
    }
    // The writer reports no error of a full disk: a file shorter than its header means failure.
    if (QFileInfo(fileName).size() < 8)
        return fail(QStringLiteral("Не удалось записать файл."));
    return true;
}

ReportPreview::ReportPreview(ReportDocument &document, QWidget *parent)
    : QDialog(parent,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
    , m_document(document)
    , m_printer(new QPrinter(QPrinter::HighResolution))
    , m_preview(new QPrintPreviewWidget(m_printer, this))
    , m_pageNumber(new QSpinBox(this))
    , m_pageCountLabel(new QLabel(this))
    , m_zoomLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    setModal(true);

    // The printer takes the document's paper; a printer whose margins cannot be that narrow
    // widens them, and the document then paginates for what the printer can print.
    m_printer->setDocName(QCoreApplication::applicationName());
    m_printer->setPageLayout(m_document.pageLayout());
    m_document.setPageLayout(m_printer->pageLayout());

    m_preview->setObjectName(QStringLiteral("previewWidget"));
    m_preview->setZoomFactor(1.0);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &ReportPreview::paintRequested);
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this,
            &ReportPreview::updateNavigation);

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("previewToolBar"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setIconSize(QSize(24, 24));
    QStyle *const st = style();

    auto addTool = [this, toolBar](const QString &name, const QIcon &icon, const QString &text,
                                   const QString &toolTip, const QKeySequence &shortcut,
                                   auto slot) {
        QAction *action = toolBar->addAction(icon, text);
        action->setObjectName(name);
        action->setToolTip(
            shortcut.isEmpty()
                ? toolTip
                : QString(toolTip + u" (" + shortcut.toString(QKeySequence::NativeText) + u')'));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        if (auto *button = qobject_cast<QToolButton *>(toolBar->widgetForAction(action)))
            button->setObjectName(QString(name + u"Button"));
        return action;
    };

    const QIcon printerIcon = QFile::exists(QStringLiteral(":/icons/printer.svg"))
        ? QIcon(QStringLiteral(":/icons/printer.svg"))
        : QIcon();
    addTool(QStringLiteral("pbPrint"), printerIcon, QStringLiteral("Печать"),
            QStringLiteral("Напечатать отчёт на принтере"), QKeySequence::Print,
            &ReportPreview::print);
    addTool(QStringLiteral("pbPageSetup"), {}, QStringLiteral("Параметры страницы"),
            QStringLiteral("Размер бумаги, ориентация и поля"), {}, &ReportPreview::pageSetup);
    addTool(QStringLiteral("pbExport"), st->standardIcon(QStyle::SP_DialogSaveButton),
            QStringLiteral("Сохранить в PDF"),
            QStringLiteral("Сохранить все страницы отчёта в файл PDF"), QKeySequence::Save,
            &ReportPreview::askAndSaveToPdf);
    toolBar->addSeparator();

    addTool(QStringLiteral("pbZoomIn"), {}, QStringLiteral("Крупнее"),
            QStringLiteral("Увеличить масштаб"), QKeySequence::ZoomIn, [this] {
                m_preview->zoomIn(1.25);
                updateNavigation();
            });
    addTool(QStringLiteral("pbZoomOut"), {}, QStringLiteral("Мельче"),
            QStringLiteral("Уменьшить масштаб"), QKeySequence::ZoomOut, [this] {
                m_preview->zoomOut(1.25);
                updateNavigation();
            });
    addTool(QStringLiteral("pbFitWidth"), {}, QStringLiteral("По ширине"),
            QStringLiteral("Масштаб по ширине страницы"), {}, [this] { m_preview->fitToWidth(); });
    addTool(QStringLiteral("pbFitPage"), {}, QStringLiteral("Страница целиком"),
            QStringLiteral("Показать страницу целиком"), {}, [this] { m_preview->fitInView(); });
    m_zoomLabel->setObjectName(QStringLiteral("zoomLabel"));
    m_zoomLabel->setToolTip(QStringLiteral("Масштаб"));
    m_zoomLabel->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000 %")));
    m_zoomLabel->setAlignment(Qt::AlignCenter);
    toolBar->addWidget(m_zoomLabel);
    toolBar->addSeparator();

    m_firstPage = addTool(
        QStringLiteral("pbFirstPage"), st->standardIcon(QStyle::SP_MediaSkipBackward), {},
        QStringLiteral("Первая страница"), Qt::CTRL | Qt::Key_Home, [this] { goToPage(1); });
    m_previousPage
        = addTool(QStringLiteral("pbPriorPage"), st->standardIcon(QStyle::SP_MediaSeekBackward), {},
                  QStringLiteral("Предыдущая страница"), Qt::Key_PageUp,
                  [this] { goToPage(currentPage() - 1); });
    m_pageNumber->setObjectName(QStringLiteral("pageNumber"));
    m_pageNumber->setToolTip(QStringLiteral("Номер страницы"));
    m_pageNumber->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_pageNumber->setAlignment(Qt::AlignRight);
    m_pageNumber->setKeyboardTracking(false);
    m_pageNumber->setRange(1, 1);
    toolBar->addWidget(m_pageNumber);
    m_pageCountLabel->setObjectName(QStringLiteral("pageCountLabel"));
    m_pageCountLabel->setToolTip(QStringLiteral("Число страниц"));
    m_pageCountLabel->setContentsMargins(4, 0, 4, 0);
    toolBar->addWidget(m_pageCountLabel);
    connect(m_pageNumber, &QSpinBox::valueChanged, this, [this](int page) { goToPage(page); });
    m_nextPage
        = addTool(QStringLiteral("pbNextPage"), st->standardIcon(QStyle::SP_MediaSeekForward), {},
                  QStringLiteral("Следующая страница"), Qt::Key_PageDown,
                  [this] { goToPage(currentPage() + 1); });
    m_lastPage
        = addTool(QStringLiteral("pbLastPage"), st->standardIcon(QStyle::SP_MediaSkipForward), {},
                  QStringLiteral("Последняя страница"), Qt::CTRL | Qt::Key_End,
                  [this] { goToPage(pageCount()); });
    toolBar->addSeparator();
    addTool(QStringLiteral("pbClose"), st->standardIcon(QStyle::SP_DialogCloseButton),
            QStringLiteral("Закрыть"), QStringLiteral("Закрыть предварительный просмотр"), {},
            &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_preview, 1);
    updateNavigation();
}

ReportPreview::~ReportPreview()
{
    // The preview widget paints from the printer up to its end: it goes first.
    delete m_preview;
    delete m_printer;
}

int ReportPreview::pageCount() const
{
    return m_preview->pageCount();
}

int ReportPreview::currentPage() const
{
    return m_preview->currentPage();
}

int ReportPreview::exec()
{
    // Without a window manager a maximised state alone does not size the window.
    if (const QScreen *screen
        = parentWidget() ? parentWidget()->screen() : QApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    return QDialog::exec();
}

void ReportPreview::goToPage(int page)
{
    // The preview widget reports a page change only when scrolling lands on another page.
    m_preview->setCurrentPage(qBound(1, page, qMax(1, pageCount())));
    updateNavigation();
}

void ReportPreview::paintRequested(QPrinter *printer)
{
    QPainter painter;
    if (!painter.begin(printer))
        return;
    paintDocument(m_document, painter, *printer, m_printing ? m_printPages : QList<int>{});
    painter.end();
}

void ReportPreview::print()
{
    QPrintDialog dialog(m_printer, this);
    dialog.setWindowTitle(QStringLiteral("Печать"));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage
                      | QAbstractPrintDialog::PrintToFile
                      | QAbstractPrintDialog::PrintCollateCopies);
    dialog.setMinMax(1, pageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The print dialog may have changed the paper: print what the preview will then show.
    if (!m_printer->pageLayout().isEquivalentTo(m_document.pageLayout()))
        layoutChanged();

    const int count = m_document.pageCount();
    QList<int> pages;
    switch (m_printer->printRange()) {
    case QPrinter::CurrentPage:
        pages.append(qBound(1, currentPage(), count) - 1);
        break;
    case QPrinter::PageRange:
        for (int page = 1; page <= count; ++page) {
            if (m_printer->pageRanges().contains(page))
                pages.append(page - 1);
        }
        break;
    case QPrinter::AllPages:
    case QPrinter::Selection:
        for (int page = 0; page < count; ++page)
            pages.append(page);
        break;
    }
    if (pages.isEmpty())
        return;
    // A printer that cannot make copies itself gets the pages that many times.
    if (!m_printer->supportsMultipleCopies() && m_printer->copyCount() > 1) {
        const QList<int> once = pages;
        pages.clear();
        for (int copy = 0; copy < m_printer->copyCount(); ++copy)
            pages.append(once);
    }
    m_printPages = pages;
    m_printing = true;
    m_preview->print();
    m_printing = false;
    m_printPages.clear();
}

void ReportPreview::pageSetup()
{
    QPageSetupDialog dialog(m_printer, this);
    dialog.setWindowTitle(QStringLiteral("Параметры страницы"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    layoutChanged();
}

void ReportPreview::layoutChanged()
{
    m_document.setPageLayout(m_printer->pageLayout());
    m_preview->updatePreview();
}

void ReportPreview::askAndSaveToPdf()
{
    const QString suggested = QDir(QDir::homePath()).filePath(QStringLiteral("Картотека.pdf"));
    QString fileName
        = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить в PDF"), suggested,
                                       QStringLiteral("Документы PDF (*.pdf)"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".pdf");
    saveToPdf(fileName);
}

bool ReportPreview::saveToPdf(const QString &fileName)
{
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = writePdf(m_document, fileName, &error);
    QApplication::restoreOverrideCursor();
    if (!written) {
        QMessageBox::warning(this, QStringLiteral("Сохранить в PDF"),
                             QStringLiteral("Файл «%1» не сохранён.\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), error));
    }
    return written;
}

void ReportPreview::updateNavigation()
{
    const int count = pageCount();
    const int current = currentPage();
    {
        const QSignalBlocker blocker(m_pageNumber);
        m_pageNumber->setRange(1, qMax(1, count));
        m_pageNumber->setValue(current);
    }
    const QLocale locale;
    m_pageNumber->setFixedWidth(
        m_pageNumber->fontMetrics().horizontalAdvance(locale.toString(qMax(1, count) * 10)) + 12);
    m_pageCountLabel->setText(QStringLiteral("из %1").arg(count));
    m_zoomLabel->setText(
        QString(locale.toString(qRound(m_preview->zoomFactor() * 100)) + QStringLiteral(" %")));
    m_firstPage->setEnabled(current > 1);
    m_previousPage->setEnabled(current > 1);
    m_nextPage->setEnabled(current < count);
    m_lastPage->setEnabled(current < count);
}
