#pragma once
// A horizontal ruler over the page view: centimetres across the paper, the
// margins shaded, following the view's zoom and horizontal scrolling.

#include <QWidget>

namespace word::view {

class PageView;

class Ruler : public QWidget {
    Q_OBJECT
public:
    explicit Ruler(PageView* view, QWidget* parent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PageView* m_view;
};

} // namespace word::view
