#include "app/tform2.h"
#include "widgets/tprogresscylinder.h"

#include "word/legacy/legacyimport.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace app {

TForm2::TForm2(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Form2"));
    setFixedSize(315, 33);
    pcyl2 = new widgets::TProgressCylinder(this);
    pcyl2->setObjectName(QStringLiteral("pcyl2"));
    pcyl2->setRange(0, 6);
    pcyl2->setPosition(0);
    pcyl2->setStep(1);
    pcyl2->setStopAtMaximum(true);
    pcyl2->setShowText(true);
    pcyl2->setBackColor(Qt::white);
    pcyl2->setBorderColor(Qt::black);
    pcyl2->setForeColor(palette().color(QPalette::Button));
    pcyl2->setForeLineColor(palette().color(QPalette::Highlight));
    pcyl2->setShadowColor(palette().color(QPalette::Button));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pcyl2);
    Megse = new QPushButton(QStringLiteral("Mégse"), this);
    Megse->setObjectName(QStringLiteral("Megse"));
    Megse->hide();
    layout->addWidget(Megse);
    connect(Megse, &QPushButton::clicked, this, [] { word::legacy::cancelConversion(); });
    word::legacy::setConversionHooks({[this] { conversionStarted(); }, [this] { conversionFinished(); }});
    centreOnOwner();
}

TForm2::~TForm2()
{
    word::legacy::setConversionHooks({});
    qApp->removeEventFilter(this);
}

void TForm2::conversionStarted()
{
    setFixedSize(315, 33 + Megse->sizeHint().height());
    Megse->show();
    qApp->installEventFilter(this);
    if (!isVisible())
        show();
    raise();
}

void TForm2::conversionFinished()
{
    qApp->removeEventFilter(this);
    Megse->hide();
    setFixedSize(315, 33);
}

// While the converter runs, the event loop turns for painting and for
// "Mégse"; input meant for any other window is dropped.
bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride: {
        // Input reaches a window first and its widgets after that.
        if (auto* w = qobject_cast<QWidget*>(watched))
            return w->window() != this;
        if (auto* window = qobject_cast<QWindow*>(watched))
            return window != windowHandle();
        return false;
    }
    default:
        return false;
    }
}

void TForm2::centreOnOwner()
{
    const QWidget* owner = parentWidget();
    QRect area = owner ? owner->frameGeometry() : QRect();
    if (!owner && screen())
        area = screen()->geometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

} // namespace app
