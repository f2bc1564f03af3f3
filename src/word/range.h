#pragma once
// Range, Font, Find, Replacement and Characters of the automation surface.
// A Range is a handle on a span of a document's text that follows every later
// edit (it is backed by a tracked cursor); copies share nothing but the document.

#include <QString>
#include <functional>
#include <memory>

namespace word {

class Document;
namespace model { class DocModel; }
class Bookmarks;
class Characters;
class Font;
class Find;

class Range {
public:
    Range(Document* doc, int start, int end);
    // A range of one of the document's other stories (a header, a note, ...).
    Range(Document* doc, model::DocModel* story, int start, int end);
    ~Range();
    Range(const Range&);
    Range& operator=(const Range&);

    Document* document() const { return m_doc; }
    model::DocModel* story() const { return m_story; }   // null for the main text
    model::DocModel& storyModel() const;
    int Start() const;
    int End() const;
    void SetRange(int start, int end);

    QString Text() const;               // paragraph marks read as "\r", like Word
    void setText(const QString& text);   // replaces; afterwards spans exactly the new text

    word::Bookmarks Bookmarks() const;   // bookmarks lying wholly inside, in document order
    word::Font Font() const;
    word::Characters Characters() const;
    word::Find Find() const;

    void Select() const;                 // the document window's selection becomes this range
    void Delete();                       // collapsed: deletes the character after it
    void Copy() const;
    void Cut();
    void Paste();                        // replaces the range with the clipboard content
    void Collapse(bool toStart = true);

private:
    Document* m_doc;
    model::DocModel* m_story = nullptr;
    struct Tracker;
    std::shared_ptr<Tracker> m_track;
};

// Font of a range or of the selection. Reads follow Word: Size() is the common
// size in points or 9999999 when mixed; Bold()/Italic() are -1 (true), 0 or
// 9999999 (mixed). Writing any non-zero value sets the attribute, zero clears it.
class Font {
public:
    Font(Document* doc, int start, int end);
    float Size() const;
    void setSize(float points);
    int Bold() const;
    void setBold(int value);
    int Italic() const;
    void setItalic(int value);

private:
    Document* m_doc;
    int m_start;
    int m_end;
};

class Replacement {
public:
    QString Text() const { return m_text; }
    void setText(const QString& t) { m_text = t; }

private:
    QString m_text;
};

// Find with Word's special codes (^p ^t ^l ^m ^b ^^ and the rest the engine
// knows). Wrap: 0 stop, 1 continue, 2 ask (treated as stop). Execute(Replace):
// 0 none, 1 one, 2 all. A hit without replacement selects the found text when
// the Find belongs to the selection; a Find of a range moves that range to the
// hit (or to the replacement), as Word redefines the range it searched.
// MatchCase and MatchWholeWord are kept with the other settings of the document's Find.
class Find {
public:
    // moved, when given, is told the span of a hit so that the owner can follow it.
    Find(Document* doc, int start, int end, bool ofSelection, std::function<void(int, int)> moved = {});
    QString Text() const;
    void setText(const QString& t);
    word::Replacement& Replacement();
    bool Forward() const;
    void setForward(bool f);
    int Wrap() const;
    void setWrap(int w);
    bool MatchCase() const;
    void setMatchCase(bool on);
    bool MatchWholeWord() const;
    void setMatchWholeWord(bool on);
    bool Execute(int replace = 0);

private:
    int replaceHit(int pos, int len);   // returns the end of the replacement
    void found(int start, int end);
    Document* m_doc;
    int m_start;
    int m_end;
    bool m_ofSelection;
    std::function<void(int, int)> m_moved;
};

class Characters {
public:
    // finalMark: the collection is the whole document's, whose last item is
    // the final paragraph mark, as in Word (an empty document has one
    // character); that item is the collapsed range at the end of the text.
    Characters(Document* doc, int start, int end, bool finalMark = false);
    int Count() const;
    Range Item(int index) const;   // 1-based; throws when out of range

private:
    Document* m_doc;
    int m_start;
    int m_end;
    bool m_finalMark;
};

} // namespace word
