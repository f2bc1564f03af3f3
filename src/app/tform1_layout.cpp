// The two sides of the main window and the splitter between them. The field side
// keeps the design bounds of its components; anchors move and stretch them when
// the side changes size.
#include "app/appearance.h"
#include "app/tform1.h"
#include "widgets/anchors.h"
#include "widgets/artwork.h"
#include "widgets/autosizelabel.h"
#include "widgets/tanalogclock.h"
#include "widgets/tcurrencyedit.h"
#include "widgets/tmgrid.h"
#include "widgets/tprogresscylinder.h"
#include "widgets/tshapedbutton.h"
#include "widgets/tspeedbutton.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr Qt::Edges kAll = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;

template <class W>
W* place(QWidget* parent, const char* name, const QRect& bounds)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(bounds);
    return w;
}

QFont fontOf(const QString& family, int pixelHeight, bool bold = false)
{
    QFont f(family);
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    return f;
}

template <class L = QLabel>
L* label(QWidget* parent, const char* name, const QRect& bounds, const QFont& font, const QColor& colour)
{
    auto* l = place<L>(parent, name, bounds);
    l->setFont(font);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    return l;
}

widgets::TSpeedButton* arrowButton(QWidget* parent, const char* name, const QRect& bounds,
                                   const QString& caption, const QString& hint)
{
    auto* b = place<widgets::TSpeedButton>(parent, name, bounds);
    b->setText(caption);
    b->setToolTip(hint);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    b->setRepeatInterval(50);
    return b;
}

} // namespace

void TForm1::createFieldSide()
{
    ScrollBox1 = new QScrollArea;
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(true);
    // The document-only layout leaves the field side a sliver of the margin:
    // the splitter must not hold it at the size its contents would like.
    ScrollBox1->setMinimumWidth(1);
    ScrollBox1->verticalScrollBar()->setSingleStep(6);
    FieldSide = new QWidget;
    FieldSide->setObjectName(QStringLiteral("FieldSide"));
    FieldSide->resize(405, 658);
    FieldSide->setMinimumSize(120, 650);

    Mgrid1 = place<widgets::TMgrid>(FieldSide, "Mgrid1", QRect(8, 8, 386, 321));
    Mgrid1->setColumnCount(3);
    Mgrid1->setRowCount(40);
    Mgrid1->setColumnWidth(0, 25);
    Mgrid1->setColumnWidth(1, 159);
    Mgrid1->setColumnWidth(2, 371);
    Mgrid1->setFont(fontOf(QStringLiteral("Times New Roman"), 16));
    Mgrid1->verticalHeader()->setDefaultSectionSize(22);
    QPalette gridPal = Mgrid1->palette();
    gridPal.setColor(QPalette::Base, QColor(192, 192, 192));
    Mgrid1->setPalette(gridPal);
    Mgrid1->setBorderColor(QColor(192, 192, 192));
    Mgrid1->setOddColor(Qt::white);
    Mgrid1->setEvenColor(Qt::white);
    Mgrid1->setRowSelect(true);
    Mgrid1->setEditing(false);

    adat1 = place<QPushButton>(FieldSide, "adat1", QRect(329, 12, 40, 20));
    adat1->setText(QStringLiteral("Adat"));
    adat1->setToolTip(QStringLiteral("Mező adatokkal kapcsolatos műveletek"));
    Back = arrowButton(FieldSide, "Back", QRect(30, 332, 65, 25), QStringLiteral("<<"), QStringLiteral("Előző mező"));
    Next = arrowButton(FieldSide, "Next", QRect(307, 332, 65, 25), QStringLiteral(">>"), QStringLiteral("Következő mező"));
    RxLabel4 = label(FieldSide, "RxLabel4", QRect(96, 336, 210, 15), fontOf(QStringLiteral("Arial"), 13, true),
                     palette().color(QPalette::WindowText));
    RxLabel4->setAlignment(Qt::AlignCenter);

    Panel2 = place<QFrame>(FieldSide, "Panel2", QRect(8, 389, 386, 38));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Edit4 = place<QLineEdit>(Panel2, "Edit4", QRect(8, 6, 275, 27));
    Edit4->setFont(fontOf(QStringLiteral("Times New Roman"), 17));
    enter1 = place<QPushButton>(Panel2, "enter1", QRect(298, 8, 81, 23));
    enter1->setText(QStringLiteral("ENTER"));
    enter1->setDefault(true);

    // Number and name of the current field, just above the entry box.
    RxLabel2 = label<widgets::AutoSizeLabel>(FieldSide, "RxLabel2", QRect(16, 366, 10, 18), fontOf(QStringLiteral("Arial"), 15, true), QColor(0, 0, 128));
    RxLabel3 = label<widgets::AutoSizeLabel>(FieldSide, "RxLabel3", QRect(40, 366, 10, 18), fontOf(QStringLiteral("Arial"), 15, true),
                     palette().color(QPalette::WindowText));

    Bevel1 = place<QFrame>(FieldSide, "Bevel1", QRect(197, 444, 180, 158));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    mc1 = place<QCalendarWidget>(FieldSide, "mc1", QRect(199, 446, 169, 153));
    mc1->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    mc1->setGridVisible(false);
    // A calendar needs more room than its design bounds give with the fonts here;
    // it then grows to the left and upwards, keeping its bottom right corner.
    const QSize need = mc1->minimumSizeHint().expandedTo(QSize(169, 153));
    mc1->setGeometry(QRect(QPoint(368 - need.width(), 599 - need.height()), need));

    RxLabel1 = label(FieldSide, "RxLabel1", QRect(85, 522, 97, 15), font(), palette().color(QPalette::WindowText));
    RxLabel1->setText(QStringLiteral("Forint (CTRL+F)"));
    BitBtn1 = place<widgets::TShapedButton>(FieldSide, "BitBtn1", QRect(86, 542, 89, 60));
    BitBtn1->setPicture(widgets::Artwork::coin(QSize(86, 58)));
    BitBtn1->setToolTip(QStringLiteral("Forint (CTRL+F)"));
    // Where the calendar had to grow, the currency button and its label make way.
    const int overlap = BitBtn1->geometry().right() + 8 - mc1->x();
    if (overlap > 0) {
        BitBtn1->move(BitBtn1->x() - overlap, BitBtn1->y());
        RxLabel1->move(RxLabel1->x() - overlap, RxLabel1->y());
    }

    pcyl1 = place<widgets::TProgressCylinder>(FieldSide, "pcyl1", QRect(7, 656, 388, 24));
    pcyl1->setRange(0, 100);
    pcyl1->setShowText(false);

    adat1->raise();
    FieldAnchors = new widgets::Anchors(FieldSide);
    FieldAnchors->add(Mgrid1, kAll);
    FieldAnchors->add(adat1, Qt::TopEdge | Qt::RightEdge);
    FieldAnchors->add(Back, Qt::LeftEdge | Qt::BottomEdge);
    FieldAnchors->add(RxLabel4, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);
    FieldAnchors->add(Next, Qt::RightEdge | Qt::BottomEdge);
    FieldAnchors->add(Panel2, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);
    FieldAnchors->add(RxLabel2, Qt::LeftEdge | Qt::BottomEdge);
    FieldAnchors->add(RxLabel3, Qt::LeftEdge | Qt::BottomEdge);
    FieldAnchors->add(Bevel1, Qt::RightEdge | Qt::BottomEdge);
    FieldAnchors->add(mc1, Qt::RightEdge | Qt::BottomEdge);
    FieldAnchors->add(RxLabel1, Qt::RightEdge | Qt::BottomEdge);
    FieldAnchors->add(BitBtn1, Qt::RightEdge | Qt::BottomEdge);
    FieldAnchors->add(pcyl1, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);
    auto* panelAnchors = new widgets::Anchors(Panel2);
    panelAnchors->add(Edit4, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
    panelAnchors->add(enter1, Qt::TopEdge | Qt::RightEdge);
    ScrollBox1->setWidget(FieldSide);
}

void TForm1::createDocumentSide()
{
    Panel1 = new QFrame;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->resize(548, 658);
    // The document host goes into this layout; the clock before it keeps its own place.
    auto* hostLayout = new QVBoxLayout(Panel1);
    hostLayout->setContentsMargins(2, 2, 2, 2);

    RxClock1 = place<widgets::TAnalogClock>(Panel1, "RxClock1", QRect(107, 190, 333, 277));
    auto* clockAnchors = new widgets::Anchors(Panel1);
    clockAnchors->setObjectName(QStringLiteral("ClockAnchors"));
    clockAnchors->add(RxClock1, kAll);

    Image1 = place<QLabel>(Panel1, "Image1", QRect(0, 0, 64, 64));
    Image1->setPixmap(QPixmap(QStringLiteral(":/quillora/image1.png")));
    Image1->hide();
    ce1 = place<widgets::TCurrencyEdit>(Panel1, "ce1", QRect(8, 8, 121, 21));
    ce1->setDisplayFormat(QStringLiteral(",0 -Ft;-,0 -Ft"));
    ce1->hide();
    globlist = place<QListWidget>(Panel1, "globlist", QRect(8, 40, 121, 97));
    globlist->hide();
    RichEdit1 = place<QTextEdit>(Panel1, "RichEdit1", QRect(8, 144, 185, 89));
    RichEdit1->hide();

    RxSplitter1 = new QSplitter(Qt::Horizontal);
    RxSplitter1->setObjectName(QStringLiteral("RxSplitter1"));
    RxSplitter1->setHandleWidth(3);
    RxSplitter1->setChildrenCollapsible(true);
    RxSplitter1->setOpaqueResize(true);
    RxSplitter1->addWidget(ScrollBox1);
    RxSplitter1->addWidget(Panel1);
    RxSplitter1->setStretchFactor(0, 1);
    RxSplitter1->setStretchFactor(1, 0);
    RxSplitter1->handle(1)->setCursor(systemCursor(CursorRole::HorizontalSplit));
    setCentralWidget(RxSplitter1);
}

int TForm1::panel1Width() const
{
    const QList<int> sizes = RxSplitter1->sizes();
    return sizes.size() == 2 ? sizes[1] : Panel1->width();
}

void TForm1::setPanel1Width(int width)
{
    const int total = RxSplitter1->width() - RxSplitter1->handleWidth();
    const int panel = std::clamp(width, 0, std::max(0, total));
    RxSplitter1->setSizes({total - panel, panel});
}

} // namespace app
