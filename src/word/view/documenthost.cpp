#include "word/view/documenthost.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"
#include "word/view/pagetextitem.h"
#include "word/view/pageview.h"
#include "word/view/ruler.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace word::view {

namespace {

constexpr QTextOption::Flags FormattingMarks = QTextOption::ShowTabsAndSpaces
    | QTextOption::ShowLineAndParagraphSeparators | QTextOption::ShowDocumentTerminator;

} // namespace

DocumentHost::DocumentHost(word::Application* app, QWidget* parent)
    : QWidget(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("Browser"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

DocumentHost::~DocumentHost()
{
    closeDocument();
}

void DocumentHost::closeDocument()
{
    // The view lets go of the engine's text before the document goes away.
    dropView();
    if (m_doc)
        m_doc->Close();
}

void DocumentHost::dropView()
{
    delete m_ruler;
    m_ruler = nullptr;
    delete m_view;
    m_view = nullptr;
}

void DocumentHost::Navigate(const QString& path)
{
    closeDocument();
    m_error.clear();
    try {
        m_doc = m_app->Documents().Open(path);
    } catch (const word::Error& e) {
        m_error = e.message();
        return;
    }
    // The page is drawn from the event loop, like a browser's page, and then
    // "document complete" is reported. The caller first goes on with the
    // loaded document: the work it does before the view exists needs no
    // layout after every edit, which makes it many times faster.
    QPointer<DocumentHost> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self || !self->m_doc)
            return;
        self->showDocument(self->m_doc);
        emit self->documentComplete();
    });
}

void DocumentHost::showDocument(word::Document* doc)
{
    m_view = new PageView(doc, this);
    m_ruler = new Ruler(m_view, this);
    layout()->addWidget(m_ruler);
    layout()->addWidget(m_view);
    setFocusProxy(m_view);
    connect(m_view->textItem(), &PageTextItem::engineFailed, this, &DocumentHost::engineFailed);
    connect(doc, &word::Document::viewSettingsChanged, this, [this] { applyViewSettings(); });
    connect(m_app, &word::Application::viewSettingsChanged, this, [this] { applyViewSettings(); });
    connect(doc, &word::Document::selectionChanged, this, [this] { showEngineSelection(); });
    // Closed from elsewhere (the application quit, or went away with its
    // documents): the view must not outlive the text it shows.
    connect(doc, &word::Document::closed, this, [this] { dropView(); });
    connect(doc->textDocument(), &QObject::destroyed, this, [this] { dropView(); });
    applyViewSettings();
}

void DocumentHost::applyViewSettings()
{
    if (!m_doc || !m_view)
        return;
    word::Window& window = m_doc->ActiveWindow();
    m_view->setZoomPercent(window.View().Zoom().Percentage());
    m_ruler->setVisible(window.DisplayRulers());
    const Qt::ScrollBarPolicy bars = m_app->DisplayScrollBars() ? Qt::ScrollBarAsNeeded
                                                                : Qt::ScrollBarAlwaysOff;
    m_view->setHorizontalScrollBarPolicy(bars);
    m_view->setVerticalScrollBarPolicy(bars);
    QTextDocument* text = m_doc->textDocument();
    QTextOption option = text->defaultTextOption();
    const QTextOption::Flags flags = window.View().ShowAll() ? option.flags() | FormattingMarks
                                                             : option.flags() & ~FormattingMarks;
    if (flags != option.flags()) {
        option.setFlags(flags);
        text->setDefaultTextOption(option);
    }
}

void DocumentHost::showEngineSelection()
{
    if (!m_doc || !m_view)
        return;
    m_view->textItem()->showEngineSelection();
    const word::Selection& selection = m_doc->ActiveWindow().Selection();
    if (selection.story())
        return;
    const QTextCursor& cursor = selection.cursor();
    const QRectF block = m_doc->textDocument()->documentLayout()->blockBoundingRect(cursor.block());
    m_view->ensureVisible(m_view->textItem()->mapRectToScene(block), 20, 20);
}

} // namespace word::view
