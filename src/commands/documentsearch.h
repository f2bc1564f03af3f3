#pragma once
// Find and replace as the "Keresés és csere" dialog does them, over the
// engine's Find: forward from the selection, with a question when the end of
// the document is reached, replacing the selected match and finding the next,
// and replacing every match in one undo step.

#include <QString>
#include <functional>

namespace word { class Document; }

namespace commands {

struct SearchOptions {
    QString text;
    QString replacement;
    bool matchCase = false;
    bool wholeWords = false;
};

class DocumentSearch {
public:
    // Asked when the search reached the end of the document without a hit:
    // true goes on from the start.
    using WrapQuestion = std::function<bool()>;

    explicit DocumentSearch(word::Document& doc) : m_doc(doc) {}

    // Throws word::Error naming an unknown ^ code of the find or replacement
    // text, before anything is searched or changed.
    static void validate(const SearchOptions& options, bool withReplacement);

    // Selects the next match after the selection. When the end is reached
    // and askWrap agrees, the search goes on from the start up to the
    // selection. False when nothing was found (the selection stays).
    bool findNext(const SearchOptions& options, const WrapQuestion& askWrap);

    // When the selection is a match, replaces it; then finds the next match.
    // Returns whether a replacement was made.
    bool replaceCurrent(const SearchOptions& options, const WrapQuestion& askWrap, bool* foundNext = nullptr);

    // Replaces every match in the document as one undo step; returns how many.
    int replaceAll(const SearchOptions& options);

    // Number of matches in the whole document.
    int count(const SearchOptions& options);

private:
    void apply(const SearchOptions& options);
    bool selectionIsMatch(const SearchOptions& options);
    word::Document& m_doc;
};

} // namespace commands
