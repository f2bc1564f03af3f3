#pragma once
// The string grid of the field side. Row 0 is the fixed heading row: it is kept
// in the model like any other row (so row numbers match the rest of the program)
// but shown by the grid's own header, which stays in place while the rows scroll.
// Cells are painted by the grid itself so that a per-cell style callback decides
// colour and font style at paint time, and the in-place editor reports when it
// opens and closes and copies its text into the cell at every keystroke.

#include <QPixmap>
#include <QPointer>
#include <QTableWidget>
#include <functional>

namespace widgets {

class TMgrid : public QTableWidget {
    Q_OBJECT
public:
    // Fcolor is 0xRRGGBB; a negative value leaves the font colour as it is.
    using SettingEvent = std::function<void(int row, int col, int& fcolor, bool& bold,
                                            bool& italic, bool& underline)>;
    // Called before a cell becomes current; clearing canSelect refuses the move.
    using SelectCellEvent = std::function<void(int col, int row, bool& canSelect)>;
    // Called before the grid handles a key; the key may be replaced, 0 swallows it.
    using KeyDownEvent = std::function<void(int& key, Qt::KeyboardModifiers shift)>;

    explicit TMgrid(QWidget* parent = nullptr);
    ~TMgrid() override;

    QString cells(int col, int row) const;
    void setCells(int col, int row, const QString& text);

    QColor oddColor() const { return m_oddColor; }
    void setOddColor(const QColor& c);
    QColor evenColor() const { return m_evenColor; }
    void setEvenColor(const QColor& c);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor& c);
    QPixmap borderPattern() const { return m_borderPattern; }
    void setBorderPattern(const QPixmap& tile);

    // goRowSelect and goEditing of the grid's options.
    bool rowSelect() const;
    void setRowSelect(bool on);
    bool editing() const { return m_editing; }
    void setEditing(bool on);
    bool editorMode() const { return m_editorMode; }

    void setOnSetting(SettingEvent e) { m_onSetting = std::move(e); }
    void setOnSelectCell(SelectCellEvent e) { m_onSelectCell = std::move(e); }
    void setOnKeyDown(KeyDownEvent e) { m_onKeyDown = std::move(e); }

    // The cell under a point of the viewport; -1 where there is none.
    QPoint cellAt(const QPoint& viewportPos) const;

    // Used by the grid's painting parts.
    void paintCell(QPainter* p, const QRect& rect, int row, int col, bool selected) const;
    bool askSelectCell(int col, int row);
    void editorOpening(const QModelIndex& index, QWidget* editor);

signals:
    void editModeChange(bool emode);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint& pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint& pos);
    void gridClick();
    void resized();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool focusStaysInGrid() const;
    void reconcileEditor();
    void hideHeadingRow();
    void setEditorMode(bool on);
    QColor rowColor(int row) const;

    QColor m_oddColor = Qt::white;
    QColor m_evenColor = Qt::white;
    QColor m_borderColor = QColor(192, 192, 192);
    QPixmap m_borderPattern;
    bool m_editing = false;
    bool m_editorMode = false;
    bool m_inCurrentChange = false;
    bool m_forceClose = false;
    QPointer<QWidget> m_editor;
    QString m_originalText;
    QPersistentModelIndex m_editedIndex;
    SettingEvent m_onSetting;
    SelectCellEvent m_onSelectCell;
    KeyDownEvent m_onKeyDown;
};

} // namespace widgets
