#include "widgets/mgridparts.h"
#include "widgets/tmgrid.h"

#include <QLineEdit>
#include <QPainter>

namespace widgets {

MgridDelegate::MgridDelegate(TMgrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

void MgridDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    m_grid->paintCell(p, option.rect, index.row(), index.column(), selected);
}

QWidget* MgridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                     const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setFont(m_grid->font());
    m_grid->editorOpening(index, editor);
    // The cell follows the editor at every keystroke, so whoever looks at the cell
    // while the user types sees the typed text.
    const QPersistentModelIndex cell(index);
    TMgrid* grid = m_grid;
    connect(editor, &QLineEdit::textEdited, grid, [grid, cell](const QString& text) {
        if (cell.isValid())
            grid->model()->setData(cell, text, Qt::EditRole);
    });
    return editor;
}

void MgridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    // Our own per-keystroke write comes back here; resetting the text would move the caret.
    if (line->text() != text)
        line->setText(text);
}

void MgridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const QString text = static_cast<QLineEdit*>(editor)->text();
    if (index.data(Qt::EditRole).toString() != text)
        model->setData(index, text, Qt::EditRole);
}

void MgridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                         const QModelIndex&) const
{
    editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
}

MgridHeader::MgridHeader(TMgrid* grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(4);
}

void MgridHeader::paintSection(QPainter* p, const QRect& rect, int logicalIndex) const
{
    p->save();
    m_grid->paintCell(p, rect, 0, logicalIndex, false);
    p->setPen(QColor(96, 96, 96));
    p->drawLine(rect.topRight(), rect.bottomRight());
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    p->restore();
}

QSize MgridHeader::sectionSizeFromContents(int logicalIndex) const
{
    QSize s = QHeaderView::sectionSizeFromContents(logicalIndex);
    s.setHeight(m_grid->verticalHeader()->defaultSectionSize());
    return s;
}

MgridSelection::MgridSelection(QAbstractItemModel* model, TMgrid* grid)
    : QItemSelectionModel(model, grid), m_grid(grid)
{
}

void MgridSelection::setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command)
{
    if (index.isValid() && index != currentIndex() && !m_grid->askSelectCell(index.column(), index.row()))
        return;
    QItemSelectionModel::setCurrentIndex(index, command);
}

} // namespace widgets
