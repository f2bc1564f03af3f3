#pragma once
// The document as white pages on a grey desk, laid out and painted by the
// page layout that printing and PDF export use, and edited in place; the
// whole scene is scaled uniformly, so text, pictures and margins grow and
// shrink together. Scene units are the layout's (pixels at 96 dpi).

#include "word/document.h"
#include "word/view/pagesetup.h"

#include <QGraphicsView>
#include <QList>
#include <QPointer>

namespace word::layout { class PageLayout; }

namespace word::view {

class PageTextItem;

class PageView : public QGraphicsView {
    Q_OBJECT
public:
    PageView(word::Document* doc, QWidget* parent);
    ~PageView() override;

    PageTextItem* textItem() const { return m_text; }
    int pageCount() const;
    // Scene units per point.
    double pixelsPerPoint() const { return m_pxPerPt; }
    word::layout::PageLayout* pageLayout() const { return m_layout; }
    const PageSetup& pageSetup() const { return m_setup; }
    int zoomPercent() const { return m_zoom; }
    void setZoomPercent(int percent);
    // The page rectangle of page i (0-based) in scene coordinates.
    QRectF pageRect(int i) const;

signals:
    void zoomChanged(int percent);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    void updateSceneRect();

    QPointer<word::Document> m_doc;
    PageSetup m_setup;
    const double m_pxPerPt = 96.0 / 72.0;
    int m_zoom = 100;
    PageTextItem* m_text = nullptr;
    word::layout::PageLayout* m_layout = nullptr;
};

} // namespace word::view
