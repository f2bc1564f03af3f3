#include "widgets/tmgrid.h"
#include "widgets/mgridparts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace widgets {

TMgrid::TMgrid(QWidget* parent) : QTableWidget(parent)
{
    setHorizontalHeader(new MgridHeader(this));
    setSelectionModel(new MgridSelection(model(), this));
    setItemDelegate(new MgridDelegate(this));
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setBorderColor(m_borderColor);
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] { hideHeadingRow(); });
    connect(model(), &QAbstractItemModel::modelReset, this, [this] { hideHeadingRow(); });
    connect(model(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& tl) {
        if (tl.row() == 0)
            horizontalHeader()->viewport()->update();
    });
}

TMgrid::~TMgrid()
{
    // Tearing down the view closes an open editor; nobody listens any more.
    blockSignals(true);
    // The model dies among the children after this destructor and resets itself
    // on the way; the heading-row hooks must not reach the half-destroyed view.
    disconnect(model(), nullptr, this, nullptr);
}

QString TMgrid::cells(int col, int row) const
{
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void TMgrid::setCells(int col, int row, const QString& text)
{
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount())
        return;
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        setItem(row, col, new QTableWidgetItem(text));
        return;
    }
    it->setText(text);
}

void TMgrid::setOddColor(const QColor& c)
{
    m_oddColor = c;
    viewport()->update();
}

void TMgrid::setEvenColor(const QColor& c)
{
    m_evenColor = c;
    viewport()->update();
}

void TMgrid::setBorderColor(const QColor& c)
{
    m_borderColor = c;
    // The frame is drawn in the foreground colour, the grid lines in the mid colour.
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Mid, c);
    setPalette(pal);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; }").arg(c.name()));
}

void TMgrid::setBorderPattern(const QPixmap& tile)
{
    m_borderPattern = tile;
    horizontalHeader()->viewport()->update();
}

bool TMgrid::rowSelect() const
{
    return selectionBehavior() == QAbstractItemView::SelectRows;
}

void TMgrid::setRowSelect(bool on)
{
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    const QModelIndex cur = currentIndex();
    if (!cur.isValid())
        return;
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (on)
        flags |= QItemSelectionModel::Rows;
    selectionModel()->select(cur, flags);
}

void TMgrid::setEditing(bool on)
{
    m_editing = on;
    setEditTriggers(on ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked
                       : QAbstractItemView::NoEditTriggers);
    if (on || !m_editor)
        return;
    m_forceClose = true;
    closeEditor(m_editor, QAbstractItemDelegate::NoHint);
    m_forceClose = false;
}

QPoint TMgrid::cellAt(const QPoint& viewportPos) const
{
    return QPoint(columnAt(viewportPos.x()), rowAt(viewportPos.y()));
}

QColor TMgrid::rowColor(int row) const
{
    return row % 2 ? m_oddColor : m_evenColor;
}

void TMgrid::paintCell(QPainter* p, const QRect& rect, int row, int col, bool selected) const
{
    p->save();
    if (row == 0 && !m_borderPattern.isNull()) {
        const int w = m_borderPattern.width(), h = m_borderPattern.height();
        const QPoint offset(((rect.x() % w) + w) % w, ((rect.y() % h) + h) % h);
        p->drawTiledPixmap(rect, m_borderPattern, offset);
    } else {
        p->fillRect(rect, row == 0 ? m_borderColor : rowColor(row));
    }
    QFont f = font();
    int fcolor = -1;
    bool bold = f.bold(), italic = f.italic(), underline = f.underline();
    if (m_onSetting)
        m_onSetting(row, col, fcolor, bold, italic, underline);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p->setFont(f);
    p->setPen(fcolor >= 0 ? QColor::fromRgb(QRgb(fcolor)) : palette().color(QPalette::Text));
    p->drawText(rect.adjusted(2, 2, -1, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                cells(col, row));
    if (selected) {
        p->setCompositionMode(QPainter::CompositionMode_Difference);
        p->fillRect(rect, Qt::white);
    }
    p->restore();
}

bool TMgrid::askSelectCell(int col, int row)
{
    bool canSelect = true;
    if (m_onSelectCell)
        m_onSelectCell(col, row, canSelect);
    return canSelect;
}

void TMgrid::editorOpening(const QModelIndex& index, QWidget* editor)
{
    m_editedIndex = index;
    m_originalText = index.data(Qt::EditRole).toString();
    m_editor = editor;
    setEditorMode(true);
}

void TMgrid::setEditorMode(bool on)
{
    if (m_editorMode == on)
        return;
    m_editorMode = on;
    emit editModeChange(on);
}

bool TMgrid::focusStaysInGrid() const
{
    const QWidget* f = QApplication::focusWidget();
    return f && (f == this || isAncestorOf(f));
}

void TMgrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Before it moves to another cell, by key or by mouse, the view takes the focus
    // from its editor. The editor is kept until the move, so that its close is seen
    // with the new cell current; if no move follows, it gets the focus back.
    const bool viewTookFocus = QApplication::focusWidget() == this;
    if (!m_inCurrentChange && !m_forceClose && hint == QAbstractItemDelegate::NoHint && viewTookFocus) {
        QTimer::singleShot(0, this, [this] { reconcileEditor(); });
        return;
    }
    if (hint == QAbstractItemDelegate::RevertModelCache && m_editedIndex.isValid())
        model()->setData(m_editedIndex, m_originalText, Qt::EditRole);
    setEditorMode(false);
    m_editor = nullptr;
    QTableWidget::closeEditor(editor, hint);
}

void TMgrid::reconcileEditor()
{
    if (!m_editor || !m_editorMode || m_editor->hasFocus())
        return;
    if (focusStaysInGrid()) {
        m_editor->setFocus();
        return;
    }
    m_forceClose = true;
    closeEditor(m_editor, QAbstractItemDelegate::NoHint);
    m_forceClose = false;
}

void TMgrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    m_inCurrentChange = true;
    QTableWidget::currentChanged(current, previous);
    m_inCurrentChange = false;
}

void TMgrid::keyPressEvent(QKeyEvent* e)
{
    int key = e->key();
    if (m_onKeyDown)
        m_onKeyDown(key, e->modifiers());
    if (key == 0) {
        e->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // In cell mode Enter opens the editor; in row mode it belongs to the window.
        const QModelIndex cur = currentIndex();
        if (m_editing && state() != QAbstractItemView::EditingState && cur.isValid()) {
            edit(cur);
            e->accept();
            return;
        }
        e->ignore();
        return;
    }
    if (key == e->key()) {
        QTableWidget::keyPressEvent(e);
        return;
    }
    QKeyEvent mapped(e->type(), key, e->modifiers());
    QTableWidget::keyPressEvent(&mapped);
    e->setAccepted(mapped.isAccepted());
}

void TMgrid::mousePressEvent(QMouseEvent* e)
{
    QTableWidget::mousePressEvent(e);
    // The click stayed on the edited cell or hit no cell: the editor keeps working.
    if (m_editor && m_editorMode)
        m_editor->setFocus();
    emit mouseDown(e->button(), e->modifiers(), e->position().toPoint());
}

void TMgrid::mouseReleaseEvent(QMouseEvent* e)
{
    QTableWidget::mouseReleaseEvent(e);
    emit mouseUp(e->button(), e->modifiers(), e->position().toPoint());
    if (viewport()->rect().contains(e->position().toPoint()))
        emit gridClick();
}

void TMgrid::resizeEvent(QResizeEvent* e)
{
    QTableWidget::resizeEvent(e);
    emit resized();
}

void TMgrid::hideHeadingRow()
{
    if (rowCount() > 0 && !isRowHidden(0))
        setRowHidden(0, true);
}

} // namespace widgets
