#pragma once
// The editable text of the page view. It edits the engine's QTextDocument
// directly; the clipboard keys, the context menu and drag and drop go through
// the engine's Selection so that bookmarks travel with the text, and the
// cursor is kept in step with the engine's selection both ways.

#include "word/document.h"
#include <QGraphicsTextItem>
#include <QPointer>

namespace word::view {

class PageTextItem : public QGraphicsTextItem {
    Q_OBJECT
public:
    explicit PageTextItem(word::Document* doc);

    // The engine moved its selection: show it.
    void showEngineSelection();
    // The cut, copy and paste the page offers, done by the engine.
    void copy();
    void cut();
    void paste();

signals:
    void engineFailed(const QString& message);

protected:
    bool sceneEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QGraphicsSceneContextMenuEvent* event) override;
    void dragEnterEvent(QGraphicsSceneDragDropEvent* event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent* event) override;
    void dropEvent(QGraphicsSceneDragDropEvent* event) override;

private:
    void takeViewSelection();
    template <typename Fn> void runEngine(Fn&& fn);

    QPointer<word::Document> m_doc;
    int m_anchor = -1;
    int m_position = -1;
};

} // namespace word::view
