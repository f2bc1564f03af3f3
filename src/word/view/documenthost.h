#pragma once
// The document host: the widget the main window puts into its document panel
// for every load. It loads a file into the engine and exposes the engine's
// Document at once; from the event loop it then shows the document in a page
// view with the view settings of the document and the application, and
// reports "document complete". Destroying the host closes its document.

#include "word/document.h"
#include <QPointer>
#include <QWidget>

namespace word { class Application; }

namespace word::view {

class PageView;
class Ruler;

class DocumentHost : public QWidget {
    Q_OBJECT
public:
    DocumentHost(word::Application* app, QWidget* parent);
    ~DocumentHost() override;

    // Loads path. On failure there is no document; errorMessage() says why.
    void Navigate(const QString& path);
    word::Document* Document() const { return m_doc; }
    // The page view, once the document is shown.
    QString errorMessage() const { return m_error; }
    PageView* pageView() const { return m_view; }
    Ruler* ruler() const { return m_ruler; }

    // The host has no tool bars of its own, so they always count as hidden.
    bool toolBarsHidden() const { return true; }

signals:
    void documentComplete();
    void engineFailed(const QString& message);

private:
    void showDocument(word::Document* doc);
    void applyViewSettings();
    void showEngineSelection();
    void closeDocument();
    void dropView();

    word::Application* m_app;
    QPointer<word::Document> m_doc;
    QString m_error;
    PageView* m_view = nullptr;
    Ruler* m_ruler = nullptr;
};

} // namespace word::view
