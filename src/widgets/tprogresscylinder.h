#pragma once
// A horizontal progress bar drawn as a lit cylinder that fills from the left,
// with its percentage written on it and "Kész" once it reaches its maximum.

#include <QColor>
#include <QWidget>

namespace widgets {

class TProgressCylinder : public QWidget {
    Q_OBJECT
public:
    explicit TProgressCylinder(QWidget* parent = nullptr);

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    void setRange(int minimum, int maximum);
    void setMaximum(int maximum) { setRange(m_min, maximum); }
    int position() const { return m_pos; }
    void setPosition(int pos);
    int step() const { return m_step; }
    void setStep(int step) { m_step = step; }
    // Advances by one step; at the maximum it stays there, or starts again from the minimum.
    void stepIt();
    bool stopAtMaximum() const { return m_stopAtMax; }
    void setStopAtMaximum(bool on) { m_stopAtMax = on; }
    bool showText() const { return m_showText; }
    void setShowText(bool on);

    int percent() const;
    QString text() const;

    QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor& c);
    QColor foreLineColor() const { return m_foreLineColor; }
    void setForeLineColor(const QColor& c);
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor& c);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor& c);
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor& c);

    QSize sizeHint() const override { return QSize(200, 24); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void paintBar(QPainter& p, const QRect& inner) const;
    void paintText(QPainter& p, const QRect& inner) const;

    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
    int m_step = 1;
    bool m_stopAtMax = true;
    bool m_showText = true;
    QColor m_foreColor;
    QColor m_foreLineColor;
    QColor m_backColor = Qt::white;
    QColor m_borderColor = Qt::black;
    QColor m_shadowColor;
};

} // namespace widgets
