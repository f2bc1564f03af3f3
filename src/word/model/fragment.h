#pragma once
// A piece of a document taken out with its look, bookmarks and preserved
// markup: what Copy/Cut put on the clipboard and Paste puts back, and how a
// subdocument's text is brought into its master document.

#include <QByteArray>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <vector>

namespace word::model {

class DocModel;

struct Fragment {
    struct Run {
        QString text;
        QTextCharFormat format;
    };
    struct Block {
        QTextBlockFormat format;
        QTextCharFormat markFormat;
        std::vector<Run> runs;
        bool paragraphEnd = false;   // the piece includes this paragraph's mark
    };
    struct Bookmark {
        QString name;
        int start;
        int end;
    };
    struct MarkupItem {
        int position;
        QString xml;
        int group;
        int role;
    };
    std::vector<Block> blocks;
    std::vector<Bookmark> bookmarks;   // positions relative to the fragment's start
    std::vector<MarkupItem> markups;

    bool isEmpty() const { return blocks.empty(); }
    int length() const;
    QString plainText() const;        // paragraphs end in "\n"
    QString html() const;
    QByteArray serialize() const;
    static Fragment deserialize(const QByteArray& data);   // empty on damaged data
    static Fragment fromPlainText(const QString& text, const QTextCharFormat& format);
};

Fragment extractFragment(const DocModel& model, int start, int end);

// Inserts f at pos as one edit of model, recreating its bookmarks except
// names that exist already. With adoptLastFormat the block the piece ends in
// takes the last block's format (used when the piece fills a new paragraph).
// Returns the end of the inserted text.
int insertFragment(DocModel& model, int pos, const Fragment& f, bool adoptLastFormat = false);

} // namespace word::model
