#pragma once
// Document of the automation surface, with its window, pane, view and zoom.
// Owns the document model (text, bookmarks, preserved package); every change
// goes through it, so bookmarks follow edits, Saved drops to false, and undo
// brings text and bookmarks back together.

#include "word/bookmarks.h"
#include "word/range.h"
#include "word/selection.h"

#include <QObject>
#include <QString>
#include <memory>

class QTextDocument;

namespace word {

class Application;
class Document;
namespace model { class DocModel; }

class Zoom {
public:
    explicit Zoom(Document* doc) : m_doc(doc) {}
    int Percentage() const;
    void setPercentage(int percent);   // 10..500, else throws
private:
    Document* m_doc;
};

class View {
public:
    explicit View(Document* doc) : m_doc(doc), m_zoom(doc) {}
    bool ShowAll() const;
    void setShowAll(bool on);
    word::Zoom& Zoom() { return m_zoom; }
private:
    Document* m_doc;
    word::Zoom m_zoom;
};

class Pane {
public:
    explicit Pane(Document* doc) : m_doc(doc) {}
    word::View& View();
private:
    Document* m_doc;
};

class Window {
public:
    explicit Window(Document* doc);
    word::View& View() { return m_view; }
    word::Pane& ActivePane() { return m_pane; }
    word::Selection& Selection() { return m_selection; }
    bool DisplayRulers() const;
    void setDisplayRulers(bool on);
private:
    Document* m_doc;
    word::View m_view;
    word::Pane m_pane;
    word::Selection m_selection;
};

class CommandBar {
public:
    CommandBar(Document* doc, QString name) : m_doc(doc), m_name(std::move(name)) {}
    bool Visible() const;
    void setVisible(bool on);
private:
    Document* m_doc;
    QString m_name;
};

class CommandBars {
public:
    explicit CommandBars(Document* doc) : m_doc(doc) {}
    CommandBar Item(const QString& name) const;   // "Reviewing", "Standard", ...; unknown names throw
    CommandBar operator()(const QString& name) const { return Item(name); }
private:
    Document* m_doc;
};

class Subdocuments {
public:
    explicit Subdocuments(Document* doc) : m_doc(doc) {}
    int Count() const;
    bool Expanded() const;
    void setExpanded(bool on);
    void AddFromRange(const word::Range& range);
private:
    Document* m_doc;
};

class Document : public QObject {
    Q_OBJECT
public:
    // Opens path (OOXML by content, legacy forms through the importer); throws word::Error.
    Document(word::Application* app, const QString& path);
    ~Document() override;

    word::Application* Application() const { return m_app; }
    word::Window& ActiveWindow() { return *m_window; }
    word::Bookmarks Bookmarks();
    word::Characters Characters();
    word::CommandBars CommandBars() { return word::CommandBars(this); }
    word::Subdocuments Subdocuments() { return word::Subdocuments(this); }
    word::Range Content();
    word::Range Range(int start, int end);
    void Select();

    bool Saved() const;
    void setSaved(bool saved);
    void UndoClear();
    bool Undo(int times = 1);
    bool Redo(int times = 1);
    void SaveAs(const QString& path = QString());   // no path: in place, under its name
    void Close();
    QString AttachedTemplate() const;
    void setAttachedTemplate(const QString& path);
    bool UpdateStylesOnOpen() const;
    void setUpdateStylesOnOpen(bool on);

    QString FullName() const;
    QTextDocument* textDocument() const;
    model::DocModel& model() const { return *m_model; }

    // Runs the spelling and grammar check through the installed dialog provider.
    void CheckGrammar();

    // The one Find of the document: Word keeps its settings between calls.
    struct FindState {
        QString text;
        word::Replacement replacement;
        bool forward = true;
        int wrap = 0;
        bool matchCase = false;
        bool matchWholeWord = false;
    };
    FindState& findState() { return m_find; }
    // The engine moved the selection (not through a view): tell the view.
    void notifySelectionChanged() { emit selectionChanged(); }

signals:
    void viewSettingsChanged();        // ShowAll, zoom, rulers, scroll bars
    void selectionChanged();           // the engine moved the selection
    void closed();

private:
    friend class Zoom;
    friend class View;
    friend class Window;
    friend class CommandBar;
    word::Application* m_app;
    std::unique_ptr<model::DocModel> m_model;
    std::unique_ptr<word::Window> m_window;
    FindState m_find;
};

// Word's id of the spelling and grammar dialog, handed to the dialog provider by CheckGrammar.
inline constexpr int kSpellingDialogId = 828;

} // namespace word
