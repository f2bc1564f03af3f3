#include "word/model/editlog.h"

#include "word/model/docmodel.h"

namespace word::model {

void EditUndoItem::undo()
{
    m_model->setTracking(false);
    if (m_opening)
        m_model->anchors().restore(*m_state);
}

void EditUndoItem::redo()
{
    m_model->setTracking(false);
    if (!m_opening)
        m_model->anchors().restore(*m_state);
}

void AnchorsUndoItem::undo()
{
    // Qt undoes the text after this item: the change it reports then is ours already.
    m_model->setTracking(false);
    m_model->anchors().restore(*m_before);
}

void AnchorsUndoItem::redo()
{
    // Qt has redone the text before this item, and the anchors followed it.
    m_model->anchors().restore(*m_after);
}

} // namespace word::model
