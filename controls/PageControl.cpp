#include "controls/PageControl.h"

#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <limits>

// Suppresses change() for changes of the active tab that the program makes itself.
class PageTabBar::Silently
{
public:
    explicit Silently(PageTabBar *bar)
        : m_bar(bar)
    {
        ++m_bar->m_silent;
    }
    ~Silently() { --m_bar->m_silent; }
    Silently(const Silently &) = delete;
    Silently &operator=(const Silently &) = delete;

private:
    PageTabBar *const m_bar;
};

PageTabBar::PageTabBar(QWidget *parent)
    : QTabBar(parent)
{
    setExpanding(false);
    setElideMode(Qt::ElideRight);
    setMovable(false);
    setIconSize(QSize(16, 16));
    connect(this, &QTabBar::currentChanged, this, [this] {
        if (!m_silent)
            Q_EMIT change();
    });
    // A click on the tab that is already chosen changes nothing for QTabBar, but the user has
    // still chosen it.
    connect(this, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == currentIndex() && !m_silent)
            Q_EMIT change();
    });
}

int PageTabBar::addPage(const QString &caption, int imageIndex, int tag)
{
    Silently silently(this);
    const int index = addTab(caption);
    setImageIndex(index, imageIndex);
    setTag(index, tag);
    return index;
}

void PageTabBar::removePage(int index)
{
    if (index < 0 || index >= count())
        return;
    Silently silently(this);
    if (m_pageControl)
        m_pageControl->freePage(index);
    else
        removeTab(index);
    if (count() > 0)
        setCurrentIndex(index < count() ? index : 0);
}

int PageTabBar::imageIndex(int index) const
{
    return index >= 0 && index < count() ? m_pages[size_t(index)].imageIndex : -1;
}

void PageTabBar::setImageIndex(int index, int imageIndex)
{
    if (index < 0 || index >= count())
        return;
    m_pages[size_t(index)].imageIndex = imageIndex;
    setTabIcon(index,
               imageIndex >= 0 && imageIndex < m_images.size() ? m_images[imageIndex] : QIcon());
}

int PageTabBar::tag(int index) const
{
    return index >= 0 && index < count() ? m_pages[size_t(index)].tag : 0;
}

void PageTabBar::setTag(int index, int tag)
{
    if (index >= 0 && index < count())
        m_pages[size_t(index)].tag = tag;
}

bool PageTabBar::useCloseBtn(int index) const
{
    return index >= 0 && index < count() && m_pages[size_t(index)].useCloseBtn;
}

void PageTabBar::setUseCloseBtn(int index, bool use)
{
    if (index < 0 || index >= count())
        return;
    m_pages[size_t(index)].useCloseBtn = use;
    updateCloseButton(index);
}

void PageTabBar::setShowCloseBtns(bool show)
{
    m_showCloseBtns = show;
    for (int i = 0; i < count(); ++i)
        updateCloseButton(i);
}

void PageTabBar::setImages(const QList<QIcon> &images)
{
    m_images = images;
    for (int i = 0; i < count(); ++i)
        setImageIndex(i, imageIndex(i));
}

void PageTabBar::setActivePageIndex(int index)
{
    if (index < 0 || index >= count())
        return;
    Silently silently(this);
    setCurrentIndex(index);
}

void PageTabBar::setTabWidth(int width)
{
    m_tabWidth = std::clamp(width, 0, int(std::numeric_limits<qint16>::max()));
    updateGeometry();
    // QTabBar caches its tab layout; setting the icon size again is the public way to have it
    // laid out anew.
    setIconSize(iconSize());
    update();
}

void PageTabBar::setTabHeight(int height)
{
    m_tabHeight = std::clamp(height, 0, int(std::numeric_limits<qint16>::max()));
    updateGeometry();
    setIconSize(iconSize());
    update();
}

QSize PageTabBar::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    if (m_tabWidth > 0)
        size.setWidth(m_tabWidth);
    if (m_tabHeight > 0)
        size.setHeight(m_tabHeight);
    return size;
}

QSize PageTabBar::minimumTabSizeHint(int index) const
{
    return m_tabWidth > 0 ? tabSizeHint(index) : QTabBar::minimumTabSizeHint(index);
}

void PageTabBar::tabInserted(int index)
{
    m_pages.insert(m_pages.begin() + index, Page{m_nextId++, -1, 0, true});
    updateCloseButton(index);
    QTabBar::tabInserted(index);
}

void PageTabBar::tabRemoved(int index)
{
    m_pages.erase(m_pages.begin() + index);
    QTabBar::tabRemoved(index);
}

void PageTabBar::resizeEvent(QResizeEvent *event)
{
    QTabBar::resizeEvent(event);
    Q_EMIT resized();
}

int PageTabBar::indexOfPage(quint64 id) const
{
    const auto found = std::find_if(m_pages.begin(), m_pages.end(),
                                    [id](const Page &page) { return page.id == id; });
    return found == m_pages.end() ? -1 : int(found - m_pages.begin());
}

void PageTabBar::updateCloseButton(int index)
{
    const bool wanted = m_showCloseBtns && m_pages[size_t(index)].useCloseBtn;
    QWidget *current = tabButton(index, QTabBar::RightSide);
    if (wanted == (current != nullptr))
        return;
    if (!wanted) {
        setTabButton(index, QTabBar::RightSide, nullptr);
        delete current;
        return;
    }
    auto *button = new QToolButton(this);
    button->setObjectName(QStringLiteral("closeButton"));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    button->setFixedSize(16, 16);
    button->setIconSize(QSize(10, 10));
    QIcon icon(QStringLiteral(":/icons/close.svg"));
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_TitleBarCloseButton);
    button->setIcon(icon);
    button->setToolTip(QStringLiteral("Закрыть"));
    const quint64 id = m_pages[size_t(index)].id;
    connect(button, &QToolButton::clicked, this, [this, id] { requestClose(id); });
    setTabButton(index, QTabBar::RightSide, button);
}

void PageTabBar::requestClose(quint64 id)
{
    const int index = indexOfPage(id);
    if (index < 0)
        return;
    bool canClose = true;
    TabCloseAction action = TabCloseAction::Free;
    Q_EMIT closeBtnClick(index, &canClose, &action);
    // The handler may have removed the page itself; then no other page is taken in its place.
    const int now = indexOfPage(id);
    if (!canClose || now < 0)
        return;
    if (action == TabCloseAction::Free) {
        removePage(now);
    } else {
        Silently silently(this);
        setTabVisible(now, false);
    }
}

PageControl::PageControl(QWidget *parent)
    : QTabWidget(parent)
    , m_tabBar(new PageTabBar(this))
{
    m_tabBar->setObjectName(QStringLiteral("qt_tabwidget_tabbar"));
    m_tabBar->m_pageControl = this;
    setTabBar(m_tabBar);
}

int PageControl::addPage(QWidget *page, const QString &caption)
{
    PageTabBar::Silently silently(m_tabBar);
    return addTab(page, caption);
}

void PageControl::freePage(int index)
{
    QWidget *page = widget(index);
    removeTab(index);
    delete page;
}
