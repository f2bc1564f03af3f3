#pragma once
// The document model behind word::Document: a QTextDocument with the text and
// its look, an AnchorTable for bookmarks and zero-width markup, and the
// preserved XML and package everything else is written back from.
//
// Every change the engine makes goes through the edit functions here. They
// keep the anchors in step with the text, log what undo needs and drop the
// saved mark. Edits made straight on the QTextDocument (a view) are followed
// through contentsChange.

#include "word/model/anchortable.h"
#include "word/model/editlog.h"
#include "word/model/preserved.h"
#include "word/model/story.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QTextDocument;
class QTextBlock;

namespace word::opc { class Package; }

namespace word::model {

// A subdocument: a file of its own that the main document refers to. While
// its text is in the model (made by AddFromRange, or shown by expanding),
// two empty markup points mark the paragraphs it spans.
struct Subdocument {
    QString target;          // the relationship's target, as read or written
    QString fullPath;        // the file, once known
    int referenceMarkup = -1;   // markup holding the <w:subDoc> read from the file, -1 when made here
    int regionStart = -1;    // markup indices of the region's ends, -1 while collapsed
    int regionEnd = -1;
    QString relId;           // relationship id of the last write
};

struct ViewState {
    int zoom = 100;
    bool showAll = false;
    bool displayRulers = true;
    QHash<QString, bool> commandBars;   // by lower-case name
};

class DocModel : public QObject {
    Q_OBJECT
public:
    DocModel();
    ~DocModel() override;

    QTextDocument* text() const { return m_text.get(); }
    AnchorTable& anchors() { return m_anchors; }
    const AnchorTable& anchors() const { return m_anchors; }
    PreservedDocument& preserved() { return m_preserved; }
    const PreservedDocument& preserved() const { return m_preserved; }

    opc::Package* package() const { return m_package.get(); }
    void setPackage(std::unique_ptr<opc::Package> p);
    QString mainPart;        // e.g. "word/document.xml"
    QString filePath;        // the file the document was read from or last saved as
    bool legacyImport = false;

    QString attachedTemplate;
    bool updateStylesOnOpen = false;
    ViewState view;
    std::vector<Subdocument> subdocs;
    bool subdocsExpanded = false;

    // The other stories (headers, footers, notes, comments) of a main model;
    // empty in a story's own model.
    std::vector<Story>& stories() { return m_stories; }
    const std::vector<Story>& stories() const { return m_stories; }
    // The header or footer story the main part refers to by relationship id, or null.
    const Story* storyByRelId(const QString& relId) const;
    // What frames the notes of a notes or comments part: its declaration and
    // root start tag, and its root end tag (by part name).
    QHash<QString, std::pair<QByteArray, QByteArray>> storyPartFrames;

    // The last valid cursor position (the document's end before its terminator).
    int endPosition() const;

    // --- Editing; each call is one undoable step unless inside an EditScope.
    // Replaces [start, end) with text ("\r" or "\n" end paragraphs, "\v" is a
    // line break) in format fmt. Returns the end of the new text.
    // exactFormat keeps fmt as given (objects, special characters); otherwise
    // it is cleaned to a plain text format.
    int replaceText(int start, int end, const QString& text, const QTextCharFormat& fmt, bool exactFormat = false);
    // The same in the format of the first replaced character (at an empty
    // span, of the character before it), as text typed over a selection.
    int replaceText(int start, int end, const QString& text);
    // Sets or clears one property of the block formats of the paragraphs in [start, end].
    void setBlockProperty(int start, int end, int property, const QVariant& value);
    // A counter that moves with every change of text, formatting or bookmarks.
    quint64 revision() const { return m_revision; }
    void mergeCharFormat(int start, int end, const QTextCharFormat& fmt);
    void addBookmark(const QString& name, int start, int end, int xmlId = -1);
    bool removeBookmark(const QString& name);
    int addMarkup(int position, const QString& xml, int group, int role = Markup::Standalone);   // returns the markup index
    // The format the text replacing [start, end) takes: that of the first replaced character.
    QTextCharFormat formatForReplacing(int start, int end) const;

    // Called once, just before the next change of the text (inside its edit
    // block when there is one), then forgotten: for a holder of positions
    // that has not yet put them into cursors, which Qt keeps up to date.
    void callBeforeNextEdit(std::function<void()> fn) { m_beforeEdit = std::move(fn); }
    void beforeEdit()
    {
        if (m_beforeEdit)
            std::exchange(m_beforeEdit, nullptr)();
    }

    bool inEditScope() const { return m_scopeDepth > 0; }

    // Groups the edits of its lifetime into one undo step.
    class EditScope {
    public:
        explicit EditScope(DocModel& m);
        ~EditScope();
        EditScope(const EditScope&) = delete;
        EditScope& operator=(const EditScope&) = delete;
    private:
        DocModel& m_model;
    };

    // Moves of QTextCursors outside an edit block make Qt shape the block's
    // text (for the cursor's x); inside one it defers that. Wrap cursor moves
    // the engine makes without editing in a QuietCursors.
    class QuietCursors {
    public:
        explicit QuietCursors(const DocModel& m) : m_model(m)
        {
            ++m.m_quietDepth;
            m.m_editCursor.beginEditBlock();
        }
        // Closing the block reports the contents as changed, though nothing was.
        ~QuietCursors()
        {
            m_model.m_editCursor.endEditBlock();
            --m_model.m_quietDepth;
        }
        QuietCursors(const QuietCursors&) = delete;
        QuietCursors& operator=(const QuietCursors&) = delete;
    private:
        const DocModel& m_model;
    };

    bool saved() const { return m_saved; }
    void setSaved(bool s);
    void markChanged();
    // The paragraphs read from the file that [from, to] touches were edited.
    void markEdited(int from, int to);
    // Undo and redo run over the main text and every story adopted, one
    // document-wide order of steps, as in Word.
    void clearUndo();
    bool undo() { return step(false); }
    bool redo() { return step(true); }
    // Takes a story's undo steps into this model's order.
    void adoptStoryUndo(DocModel& story);

    // Loading: the reader builds the text with undo off and anchors tracked by hand.
    void beginLoad();
    void endLoad();

    // Internal, for the undo items.
    void setTracking(bool on) { m_tracking = on; }

signals:
    void changed();

private:
    void onContentsChange(int pos, int removed, int added);
    bool step(bool forward);
    bool stepOwn(bool forward);
    void openUndoStep();
    template <class Change>
    void changeAnchorsAlone(Change&& change);

    std::unique_ptr<QTextDocument> m_text;
    std::function<void()> m_beforeEdit;
    mutable int m_quietDepth = 0;            // open QuietCursors: their blocks change nothing
    mutable QTextCursor m_editCursor;         // opens and closes the edit blocks that make one undo step
    AnchorTable m_anchors;
    PreservedDocument m_preserved;
    std::unique_ptr<opc::Package> m_package;
    std::vector<Story> m_stories;
    // Which model (this or a story's) holds each undo and redo step, latest last.
    std::vector<DocModel*> m_undoOrder, m_redoOrder;
    bool m_stepOpen = false;          // the open edit block has its opening undo item
    int m_scopeDepth = 0;
    bool m_loading = false;
    bool m_tracking = true;           // follow contentsChange from direct edits
    bool m_freshCommand = false;      // Qt has just recorded a new edit (not an undo or redo)
    bool m_saved = true;
    quint64 m_revision = 0;
    int m_lastLength = 1;             // the text's length as the anchors know it
};

// Hash of a block's text, its formats and the anchors inside it: equal
// signatures at load and at save mean the paragraph can be written as read.
quint64 blockSignature(const QTextBlock& block, const AnchorTable& anchors);

} // namespace word::model
