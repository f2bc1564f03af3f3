#include "app/tform2.h"
#include "widgets/tprogresscylinder.h"

#include <QScreen>
#include <QVBoxLayout>

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
    centreOnOwner();
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
