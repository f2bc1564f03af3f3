#pragma once
// The Hungarian spelling checker over Hunspell: the system's hu_HU dictionary,
// the user's own dictionary (a plain word list, one word a line, in the
// settings folder) and the words ignored for the rest of the run. One shared
// checker serves the spelling dialog, the underlining in the page and
// quillora-cli check, so that all three judge a word alike.

#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class Hunspell;

namespace commands {

class Speller {
public:
    // Loads dictionaryFolder/hu_HU.aff and .dic and the user's word list.
    // Throws word::Error naming the package to install when the dictionary is missing.
    explicit Speller(const QString& dictionaryFolder = defaultDictionaryFolder(),
                     const QString& userDictionary = defaultUserDictionary());
    ~Speller();
    Speller(const Speller&) = delete;
    Speller& operator=(const Speller&) = delete;

    static QString defaultDictionaryFolder();   // QUILLORA_HUNSPELL_DIR or /usr/share/hunspell
    static QString defaultUserDictionary();     // beside the settings file: Quillora.dic
    // The one checker of the process, made on first use; throws as the constructor.
    static Speller& shared();

    // Whether a word (letters, maybe joined by hyphens) is correct.
    bool isCorrect(const QString& word) const;
    QStringList suggestions(const QString& word, int max = 10) const;

    // Adds word to the user's dictionary file and to the checker. Throws
    // word::Error when the file cannot be written.
    void addToDictionary(const QString& word);
    // Accepts word for the rest of the run, without writing it anywhere.
    void ignoreAll(const QString& word);

    QString userDictionary() const { return m_userPath; }

private:
    std::unique_ptr<Hunspell> m_hunspell;
    QString m_userPath;
    QSet<QString> m_userWords;
    QSet<QString> m_ignored;
    mutable QHash<QString, bool> m_cache;
};

// A word of a text to be checked: [start, start + length).
struct WordSpan {
    int start = 0;
    int length = 0;
};

// The words of text worth checking: runs of letters, with inner hyphens and
// apostrophes; words holding digits or underscores (codes, field names) and
// words in capitals only (abbreviations) are left out, as Word leaves them.
QList<WordSpan> checkableWords(const QString& text);

// All words of text (letters, digits and underscores together), checkable or
// not, for finding a word repeated right after itself.
QList<WordSpan> allWords(const QString& text);

} // namespace commands
