#pragma once
// Keeps child widgets at fixed distances from the anchored edges of their parent
// when the parent changes size: anchored on both sides of an axis, a child
// stretches; anchored on one side, it moves with that side. A child that is
// moved or sized by other code (a label fitted to its new text, say) keeps
// that place and size as its new design.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace widgets {

class Anchors : public QObject {
    Q_OBJECT
public:
    explicit Anchors(QWidget* parent);

    // Records the child's present geometry against the parent's present size.
    void add(QWidget* child, Qt::Edges edges);
    // Gives the child a new place in design coordinates (against the parent's
    // size when the child was added) and puts it there for the present size.
    void setDesignGeometry(QWidget* child, const QRect& design);
    QRect designGeometry(QWidget* child) const;
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QWidget> child;
        Qt::Edges edges;
        QRect design;
        QSize parentDesign;
        QRect placed;       // the geometry last given, for the parent size placedFor
        QSize placedFor;
    };
    static QRect place(const Entry& e, const QSize& parentSize);

    QWidget* m_parent;
    std::vector<Entry> m_entries;
};

} // namespace widgets
