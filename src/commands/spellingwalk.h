#pragma once
// The walk of the spelling check through a document: the main text first,
// then the headers and footers. It stops at each unknown word and at each word
// repeated right after itself ("a a"), as Word does; the caller decides what
// happens (skip, ignore all, add to the dictionary, replace, replace all) and
// asks for the next one. Replacements go through the engine's text
// replacement, so formatting and bookmarks around the word stay.

#include "commands/speller.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace word { class Document; }
namespace word::model { class DocModel; }

namespace commands {

struct SpellingIssue {
    enum Kind { Unknown, Repeated };
    Kind kind = Unknown;
    int story = -1;              // -1 the main text, else the index among the document's stories
    int start = 0;               // the span the issue covers in its story
    int end = 0;
    QString word;                // the unknown word, or the repeated one
    QString sentence;            // the sentence around it
    int sentenceOffset = 0;      // where the issue's span starts in sentence
    QStringList suggestions;     // for a repeated word: the one word it becomes
};

// Replaces [start, end) of the main text with with, changing only the
// characters that differ, so a bookmark around just the word stays (a
// replacement of a bookmark's whole text would remove it). One undo step;
// returns the end of the new text.
int replaceWord(word::Document& doc, int start, int end, const QString& with);

class SpellingWalk {
public:
    SpellingWalk(word::Document& doc, Speller& speller);

    // The next issue after the last one, or none when the walk is done.
    std::optional<SpellingIssue> next();

    // What to do with the issue next() returned; next() then goes on after it.
    void ignoreAll();
    void addToDictionary();
    void replace(const QString& with);
    void replaceAll(const QString& with);   // also every later occurrence of the word

    // Every issue of the whole document at once, nothing changed (for check).
    static QList<SpellingIssue> collect(word::Document& doc, Speller& speller);

private:
    word::model::DocModel* modelOf(int story) const;
    std::optional<SpellingIssue> scanStory(int story, int from);
    bool nextStory();
    int replaceSpan(int story, int start, int end, const QString& with);

    word::Document& m_doc;
    Speller& m_speller;
    int m_story = -1;
    int m_pos = 0;
    std::optional<SpellingIssue> m_current;
    QHash<QString, QString> m_replaceAll;
};

} // namespace commands
