#pragma once
// The painting and editing parts of TMgrid: the delegate that paints value cells
// and owns the in-place editor, the header that paints the fixed heading row,
// and the selection model that asks the grid before a cell becomes current.

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyledItemDelegate>

namespace widgets {

class TMgrid;

class MgridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit MgridDelegate(TMgrid* grid);
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    TMgrid* m_grid;
};

class MgridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit MgridHeader(TMgrid* grid);

protected:
    void paintSection(QPainter* p, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    TMgrid* m_grid;
};

class MgridSelection : public QItemSelectionModel {
    Q_OBJECT
public:
    MgridSelection(QAbstractItemModel* model, TMgrid* grid);
    void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;

private:
    TMgrid* m_grid;
};

} // namespace widgets
