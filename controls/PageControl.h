#pragma once

#include <QIcon>
#include <QList>
#include <QTabBar>
#include <QTabWidget>

#include <vector>

class PageControl;

// What happens to a tab whose close request is granted.
enum class TabCloseAction { Hide, Free };

// Tabs that carry an image index, an integer tag and their own close-button switch, as the
// program's page controls need: the window tab strip uses it alone, PageControl with pages.
// - A new page goes at the end with its close button switch on.
// - A close button shows only where both showCloseBtns() and the tab's useCloseBtn() are on;
//   its click raises closeBtnClick, whose handler may refuse (canClose) or choose the action.
// - Setting the active page, adding and removing pages never raise change(): change() says that
//   the user chose a tab, by click (also on the tab already chosen) or keyboard.
// - Removing a page makes the page that followed it active (the first, if it was the last),
//   whether or not it was the active one.
// - The tab width is a settable 16-bit size; 0 sizes the tabs to their captions and a negative
//   width is taken as 0.
class PageTabBar final : public QTabBar
{
    Q_OBJECT

public:
    explicit PageTabBar(QWidget *parent = nullptr);

    int pageCount() const { return count(); }
    int addPage(const QString &caption, int imageIndex = -1, int tag = 0);
    void removePage(int index);

    QString caption(int index) const { return tabText(index); }
    void setCaption(int index, const QString &caption) { setTabText(index, caption); }
    int imageIndex(int index) const;
    void setImageIndex(int index, int imageIndex);
    int tag(int index) const;
    void setTag(int index, int tag);
    bool useCloseBtn(int index) const;
    void setUseCloseBtn(int index, bool use);

    bool showCloseBtns() const { return m_showCloseBtns; }
    void setShowCloseBtns(bool show);
    void setImages(const QList<QIcon> &images);

    int activePageIndex() const { return currentIndex(); }
    void setActivePageIndex(int index);

    int tabWidth() const { return m_tabWidth; }
    void setTabWidth(int width);
    int tabHeight() const { return m_tabHeight; }
    void setTabHeight(int height);

Q_SIGNALS:
    void change();
    void closeBtnClick(int tabIndex, bool *canClose, TabCloseAction *action);
    void resized();

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void tabInserted(int index) override;
    void tabRemoved(int index) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class PageControl;
    struct Page
    {
        quint64 id = 0;
        int imageIndex = -1;
        int tag = 0;
        bool useCloseBtn = true;
    };
    class Silently;

    int indexOfPage(quint64 id) const;
    void updateCloseButton(int index);
    void requestClose(quint64 id);

    std::vector<Page> m_pages;
    QList<QIcon> m_images;
    PageControl *m_pageControl = nullptr;
    quint64 m_nextId = 1;
    int m_silent = 0;
    int m_tabWidth = 0;
    int m_tabHeight = 0;
    bool m_showCloseBtns = false;
};

// A tab widget whose tabs follow PageTabBar's rules; its pages are the widgets added to it.
// Freeing a page on a granted close request deletes the page widget.
class PageControl final : public QTabWidget
{
    Q_OBJECT

public:
    explicit PageControl(QWidget *parent = nullptr);

    PageTabBar *pageTabBar() const { return m_tabBar; }
    int addPage(QWidget *page, const QString &caption);
    int pageIndex(const QWidget *page) const { return indexOf(const_cast<QWidget *>(page)); }

private:
    friend class PageTabBar;
    void freePage(int index);

    PageTabBar *const m_tabBar;
};
