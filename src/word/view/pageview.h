#pragma once
// The document as white pages on a grey desk. The text is laid out page by
// page (the document's page size is the paper, its root frame margins the page
// margins) and edited in place; the whole scene is scaled uniformly, so text,
// pictures and margins grow and shrink together.

#include "word/document.h"
#include "word/view/pagesetup.h"

#include <QGraphicsView>
#include <QList>
#include <QPointer>

class QGraphicsRectItem;

namespace word::view {

class PageTextItem;

class PageView : public QGraphicsView {
    Q_OBJECT
public:
    PageView(word::Document* doc, QWidget* parent);
    ~PageView() override;

    PageTextItem* textItem() const { return m_text; }
    int pageCount() const { return int(m_pages.size()); }
    // Layout pixels per point: the text is laid out at the screen's resolution.
    double pixelsPerPoint() const { return m_pxPerPt; }
    const PageSetup& pageSetup() const { return m_setup; }
    int zoomPercent() const { return m_zoom; }
    void setZoomPercent(int percent);
    // The page rectangle of page i (0-based) in scene coordinates.
    QRectF pageRect(int i) const;

signals:
    void zoomChanged(int percent);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void applyPageLayout();
    void rebuildPages();

    QPointer<word::Document> m_doc;
    PageSetup m_setup;
    double m_pxPerPt = 96.0 / 72.0;
    int m_zoom = 100;
    PageTextItem* m_text = nullptr;
    QList<QGraphicsRectItem*> m_pages;
    QList<QGraphicsRectItem*> m_gaps;
};

} // namespace word::view
