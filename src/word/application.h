#pragma once
// Application of the automation surface: the open documents, the active one,
// application-wide view settings and the built-in dialogs.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace word {

class Application;
class Document;

class Documents {
public:
    explicit Documents(Application* app) : m_app(app) {}
    Document* Open(const QString& Filename);   // becomes the active document; throws word::Error
    int Count() const;
    Document* Item(int index) const;           // 1-based
private:
    Application* m_app;
};

// A built-in dialog (Find 112, Replace 117, Go To 896, ...). Showing needs a
// user interface, which the program installs as the dialog provider.
class Dialog {
public:
    Dialog(Application* app, int id) : m_app(app), m_id(id) {}
    int Show();
private:
    Application* m_app;
    int m_id;
};

class Dialogs {
public:
    explicit Dialogs(Application* app) : m_app(app) {}
    Dialog Item(int id) const { return Dialog(m_app, id); }
private:
    Application* m_app;
};

class Application : public QObject {
    Q_OBJECT
public:
    Application();
    ~Application() override;

    word::Documents Documents() { return word::Documents(this); }
    Document* ActiveDocument() const;          // throws when no document is open
    word::Dialogs Dialogs() { return word::Dialogs(this); }
    bool DisplayScrollBars() const { return m_displayScrollBars; }
    void setDisplayScrollBars(bool on);
    void Quit();                               // closes every document without saving

    // Shows built-in dialog id for doc; returns Word's Show() result. Installed by the UI.
    using DialogProvider = std::function<int(Document* doc, int id)>;
    void setDialogProvider(DialogProvider p) { m_dialogProvider = std::move(p); }
    const DialogProvider& dialogProvider() const { return m_dialogProvider; }

    // Internal: ownership of opened documents.
    Document* adopt(std::unique_ptr<Document> doc);
    void release(Document* doc);
    const std::vector<std::unique_ptr<Document>>& documents() const { return m_docs; }

signals:
    void viewSettingsChanged();

private:
    std::vector<std::unique_ptr<Document>> m_docs;
    bool m_displayScrollBars = true;
    DialogProvider m_dialogProvider;
};

} // namespace word
