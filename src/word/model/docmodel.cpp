#include "word/model/docmodel.h"

#include "word/model/formatprops.h"
#include "word/model/stringhash.h"
#include "word/opc/package.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace word::model {

namespace {

// Word's control characters in text become the document's own separators.
QString normalizedText(const QString& text)
{
    // Most values hold nothing to change: they are taken as they are.
    const auto plain = [](char16_t c) { return c >= 0x20 || c == u'\t'; };
    if (std::all_of(text.utf16(), text.utf16() + text.size(), plain))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue;
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator)
            out += QChar::ParagraphSeparator;
        else if (c == u'\v' || c == QChar::LineSeparator)
            out += QChar::LineSeparator;
        else if (c == u'\t' || c.unicode() >= 0x20)
            out += c;
    }
    return out;
}

QTextCharFormat plainRunFormat(QTextCharFormat f)
{
    f.clearProperty(prop::CharXml);
    f.clearProperty(prop::CharKind);
    if (f.objectType() != QTextFormat::NoObject) {
        f.clearProperty(QTextFormat::ObjectType);
        f.clearProperty(QTextFormat::ImageName);
        f.clearProperty(QTextFormat::ImageWidth);
        f.clearProperty(QTextFormat::ImageHeight);
    }
    return f;
}

} // namespace

DocModel::DocModel() : m_text(std::make_unique<QTextDocument>())
{
    // Revisions of different models never meet, so caches keyed by them stay honest.
    static quint64 models = 0;
    m_revision = ++models << 40;
    m_editCursor = QTextCursor(m_text.get());
    m_text->setUndoRedoEnabled(false);
    connect(m_text.get(), &QTextDocument::contentsChange, this, &DocModel::onContentsChange);
    // Qt adds a command for every new edit, never for an undo or a redo.
    connect(m_text.get(), &QTextDocument::undoCommandAdded, this, [this] {
        m_freshCommand = true;
        m_undoOrder.push_back(this);
        m_redoOrder.clear();
    });
    connect(m_text.get(), &QTextDocument::contentsChanged, this, [this] {
        if (m_quietDepth > 0)
            return;
        if (!m_tracking && m_scopeDepth == 0 && !m_loading) {
            m_tracking = true;   // an undo or redo of ours has finished
            m_lastLength = m_text->characterCount();
            return;
        }
        if (m_tracking)
            markChanged();
    });
}

DocModel::~DocModel() = default;

void DocModel::setPackage(std::unique_ptr<opc::Package> p) { m_package = std::move(p); }

const Story* DocModel::storyByRelId(const QString& relId) const
{
    for (const Story& s : m_stories)
        if ((s.kind == Story::Header || s.kind == Story::Footer) && s.relId == relId)
            return &s;
    return nullptr;
}

int DocModel::endPosition() const { return m_text->characterCount() - 1; }

void DocModel::beginLoad()
{
    m_loading = true;
    m_tracking = false;
    m_text->setUndoRedoEnabled(false);
    m_editCursor.beginEditBlock();
}

void DocModel::endLoad()
{
    m_editCursor.endEditBlock();
    m_text->setUndoRedoEnabled(true);
    m_text->setModified(false);
    m_loading = false;
    m_tracking = true;
    m_saved = true;
    m_lastLength = m_text->characterCount();
}

void DocModel::onContentsChange(int pos, int removed, int added)
{
    beforeEdit();   // for an edit made without an EditScope: late, but not never
    // Edits made while no layout existed are reported in one stale span when
    // a view lays the document out; a change that does not account for the
    // document's length is such a report, not an edit.
    const int length = m_text->characterCount();
    const bool fresh = m_freshCommand;
    m_freshCommand = false;
    if (!m_tracking || length != m_lastLength - removed + added) {
        m_lastLength = m_tracking ? m_lastLength : length;
        return;
    }
    m_lastLength = length;
    markEdited(pos, pos + added);
    // A same-length change is how Qt reports a change of formatting only.
    if (removed == added)
        return;
    ++m_revision;
    // A new edit made on the text itself (typing in a view) gets an undo item
    // of its own, so undo brings its bookmarks back with its text; a redo
    // moves the anchors as the edit did.
    const bool record = fresh && !m_loading && m_text->isUndoRedoEnabled();
    std::shared_ptr<const AnchorTable::Snapshot> before = record ? m_anchors.snapshot() : nullptr;
    m_anchors.replaced(pos, removed, added);
    if (record) {
        // In the edit's own undo step, so that one undo takes back both.
        QTextCursor join(m_text.get());
        join.joinPreviousEditBlock();
        m_text->appendUndoItem(new AnchorsUndoItem(this, std::move(before), m_anchors.snapshot()));
        join.endEditBlock();
        m_freshCommand = false;
    }
}

void DocModel::setSaved(bool s) { m_saved = s; }

void DocModel::markEdited(int from, int to)
{
    auto& paras = m_preserved.paragraphs;
    if (paras.empty())
        return;
    for (QTextBlock b = m_text->findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
        const QVariant idx = b.blockFormat().property(prop::ParaIndex);
        if (idx.isValid() && size_t(idx.toInt()) < paras.size())
            paras[size_t(idx.toInt())].edited = true;
    }
}

void DocModel::markChanged()
{
    ++m_revision;
    m_saved = false;
    emit changed();
}

void DocModel::clearUndo()
{
    m_text->clearUndoRedoStacks();
    for (Story& st : m_stories)
        st.model->clearUndo();
    m_undoOrder.clear();
    m_redoOrder.clear();
}

void DocModel::adoptStoryUndo(DocModel& story)
{
    connect(story.m_text.get(), &QTextDocument::undoCommandAdded, this, [this, m = &story] {
        m_undoOrder.push_back(m);
        m_redoOrder.clear();
    });
}

// One step of this model's own text back (or forward).
bool DocModel::stepOwn(bool forward)
{
    if (!(forward ? m_text->isRedoAvailable() : m_text->isUndoAvailable()))
        return false;
    beforeEdit();
    if (forward)
        m_text->redo();
    else
        m_text->undo();
    m_tracking = true;
    m_lastLength = m_text->characterCount();
    markChanged();
    return true;
}

// The latest step of the document-wide order, in whichever model holds it;
// an entry whose model has no step left (its stack was cleared) is passed over.
bool DocModel::step(bool forward)
{
    std::vector<DocModel*>& from = forward ? m_redoOrder : m_undoOrder;
    std::vector<DocModel*>& to = forward ? m_undoOrder : m_redoOrder;
    while (!from.empty()) {
        DocModel* m = from.back();
        from.pop_back();
        if (m->stepOwn(forward)) {
            to.push_back(m);
            return true;
        }
    }
    return false;
}

// --- Edit blocks -----------------------------------------------------------

DocModel::EditScope::EditScope(DocModel& m) : m_model(m)
{
    if (m.m_scopeDepth++ > 0)
        return;
    m.m_editCursor.beginEditBlock();
    m.m_tracking = false;
    m.beforeEdit();
}

DocModel::EditScope::~EditScope()
{
    if (--m_model.m_scopeDepth > 0)
        return;
    if (m_model.m_stepOpen)
        m_model.m_text->appendUndoItem(new EditUndoItem(&m_model, m_model.m_anchors.snapshot(), false));
    m_model.m_stepOpen = false;
    m_model.m_editCursor.endEditBlock();
    if (!m_model.m_loading)
        m_model.m_tracking = true;
    m_model.m_lastLength = m_model.m_text->characterCount();
}

// Called before the first change of an edit block: remembers the anchors as
// they are, for undo.
void DocModel::openUndoStep()
{
    if (m_stepOpen || m_loading || !m_text->isUndoRedoEnabled())
        return;
    m_stepOpen = true;
    m_text->appendUndoItem(new EditUndoItem(this, m_anchors.snapshot(), true));
}

// --- Edits -------------------------------------------------------------------

int DocModel::replaceText(int start, int end, const QString& text)
{
    // The format is looked up inside the replacement's edit block, where its
    // own costs nothing.
    EditScope scope(*this);
    return replaceText(start, end, text, formatForReplacing(start, end), true);
}

int DocModel::replaceText(int start, int end, const QString& text, const QTextCharFormat& fmt, bool exactFormat)
{
    EditScope scope(*this);
    openUndoStep();
    const QString t = normalizedText(text);
    const int removed = end - start;
    QTextCursor& c = m_editCursor;
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    if (t.isEmpty())
        c.removeSelectedText();
    else
        c.insertText(t, exactFormat ? fmt : plainRunFormat(fmt));
    markEdited(start, start + int(t.size()));
    m_anchors.replaced(start, removed, int(t.size()));
    markChanged();
    return start + int(t.size());
}

void DocModel::mergeCharFormat(int start, int end, const QTextCharFormat& fmt)
{
    EditScope scope(*this);
    openUndoStep();
    QTextCursor c(m_text.get());
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    c.mergeCharFormat(fmt);
    markEdited(start, end);
    markChanged();
}

void DocModel::setBlockProperty(int start, int end, int property, const QVariant& value)
{
    EditScope scope(*this);
    openUndoStep();
    QTextCursor c(m_text.get());
    for (QTextBlock b = m_text->findBlock(start); b.isValid() && b.position() <= end; b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        if (value.isValid())
            f.setProperty(property, value);
        else
            f.clearProperty(property);
        c.setPosition(b.position());
        c.setBlockFormat(f);
    }
    markEdited(start, end);
    markChanged();
}

// A change of bookmarks alone, outside any edit block, is one undo step of
// one item that holds the anchors before and after: no text changes, so no
// edit block of Qt's is needed to group it.
template <class Change>
void DocModel::changeAnchorsAlone(Change&& change)
{
    if (m_scopeDepth > 0 || m_loading || !m_text->isUndoRedoEnabled()) {
        EditScope scope(*this);
        openUndoStep();
        change();
        markChanged();
        return;
    }
    std::shared_ptr<const AnchorTable::Snapshot> before = m_anchors.snapshot();
    change();
    m_text->appendUndoItem(new AnchorsUndoItem(this, std::move(before), m_anchors.snapshot()));
    markChanged();
}

void DocModel::addBookmark(const QString& name, int start, int end, int xmlId)
{
    changeAnchorsAlone([&] { m_anchors.addBookmark(name, start, end, xmlId); });
}

bool DocModel::removeBookmark(const QString& name)
{
    if (!m_anchors.hasBookmark(name))
        return false;
    changeAnchorsAlone([&] { m_anchors.removeBookmark(name); });
    return true;
}

int DocModel::addMarkup(int position, const QString& xml, int group, int role)
{
    openUndoStep();
    const int idx = int(m_preserved.markups.size());
    Markup m;
    m.xml = xml;
    m.group = group;
    m.role = group >= 0 ? role : Markup::Standalone;
    m.handle = m_anchors.addMarkup(position, idx, group);
    m_preserved.markups.push_back(m);
    return idx;
}

QTextCharFormat DocModel::formatForReplacing(int start, int end) const
{
    QuietCursors quiet(*this);
    m_editCursor.setPosition(start < end ? start + 1 : start);
    return plainRunFormat(m_editCursor.charFormat());
}

// --- Signatures ------------------------------------------------------------------

namespace {
struct Fnv {
    quint64 h = 1469598103934665603ULL;
    void add(quint64 v) { h = (h ^ v) * 1099511628211ULL; }
};
} // namespace

quint64 blockSignature(const QTextBlock& block, const AnchorTable& anchors)
{
    Fnv f;
    f.add(StringHash()(block.text()));
    f.add(quint64(block.blockFormatIndex()));
    int runFormat = -1;
    int runLength = 0;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (frag.charFormatIndex() != runFormat) {
            f.add(quint64(runFormat));
            f.add(quint64(runLength));
            runFormat = frag.charFormatIndex();
            runLength = 0;
        }
        runLength += frag.length();
    }
    f.add(quint64(runFormat));
    f.add(quint64(runLength));
    // A paragraph kept as read writes its bookmarks' ids as read, so the ids
    // count: a bookmark marked again since has none and needs the paragraph
    // written anew.
    const int from = block.position();
    f.add(anchors.pointsHash(from, from + block.length() - 1));
    return f.h;
}

} // namespace word::model
