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

} // namespace word::model
