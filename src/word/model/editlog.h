#pragma once
// Undo of the anchors. QTextDocument undoes the text; two undo items bracket
// each edit block and bring the AnchorTable back to its state before (undo)
// or after (redo) the block, so bookmarks return together with their text.

#include "word/model/anchortable.h"

#include <QAbstractUndoItem>
#include <memory>

namespace word::model {

class DocModel;

// Undo runs the items of a block last-first: the closing item silences the
// contents-change tracking while Qt undoes the text, and the opening item then
// restores the anchors as they were. Redo mirrors this.
class EditUndoItem : public QAbstractUndoItem {
public:
    EditUndoItem(DocModel* model, std::shared_ptr<const AnchorTable::Snapshot> state, bool opening)
        : m_model(model), m_state(std::move(state)), m_opening(opening) {}
    void undo() override;
    void redo() override;

private:
    DocModel* m_model;
    std::shared_ptr<const AnchorTable::Snapshot> m_state;
    bool m_opening;
};

// The anchors before and after a change: undo brings back the one, redo the
// other. It follows an edit made straight on the text (typing in a view),
// which Qt has already recorded when the model hears of it, and it is the
// whole step of a change of bookmarks alone.
class AnchorsUndoItem : public QAbstractUndoItem {
public:
    AnchorsUndoItem(DocModel* model, std::shared_ptr<const AnchorTable::Snapshot> before,
                     std::shared_ptr<const AnchorTable::Snapshot> after)
        : m_model(model), m_before(std::move(before)), m_after(std::move(after)) {}
    void undo() override;
    void redo() override;

private:
    DocModel* m_model;
    std::shared_ptr<const AnchorTable::Snapshot> m_before;
    std::shared_ptr<const AnchorTable::Snapshot> m_after;
};

} // namespace word::model
