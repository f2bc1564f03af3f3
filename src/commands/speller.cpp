#include "commands/speller.h"

#include "word/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <hunspell/hunspell.hxx>

namespace commands {

namespace {

const QString kDictionary = QStringLiteral("hu_HU");

bool isInnerJoiner(QChar c) { return c == u'-' || c == u'\'' || c == QChar(0x2019); }

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.category() == QChar::Mark_NonSpacing;
}

QList<WordSpan> spans(const QString& text)
{
    QList<WordSpan> out;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        if (!isWordPart(text.at(i))) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < n && (isWordPart(text.at(i))
                         || (isInnerJoiner(text.at(i)) && i + 1 < n && isWordPart(text.at(i + 1)) && i > start)))
            ++i;
        out.append({start, i - start});
    }
    return out;
}

bool worthChecking(QStringView w)
{
    bool lower = false;
    for (const QChar c : w) {
        if (c.isDigit() || c == u'_')
            return false;
        if (c.isLower())
            lower = true;
    }
    // One capital alone ("A") is a word; more capitals alone an abbreviation.
    return lower || w.size() == 1;
}

} // namespace

QList<WordSpan> allWords(const QString& text) { return spans(text); }

QList<WordSpan> checkableWords(const QString& text)
{
    QList<WordSpan> out;
    for (const WordSpan& s : spans(text)) {
        if (worthChecking(QStringView(text).mid(s.start, s.length)))
            out.append(s);
    }
    return out;
}

QString Speller::defaultDictionaryFolder()
{
    const QString env = qEnvironmentVariable("QUILLORA_HUNSPELL_DIR");
    return env.isEmpty() ? QStringLiteral("/usr/share/hunspell") : env;
}

QString Speller::defaultUserDictionary()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillora"));
    return QFileInfo(settings.fileName()).absoluteDir().filePath(QStringLiteral("Quillora.dic"));
}

Speller& Speller::shared()
{
    static std::unique_ptr<Speller> one;
    if (!one)
        one = std::make_unique<Speller>();
    return *one;
}

Speller::Speller(const QString& folder, const QString& userDictionary) : m_userPath(userDictionary)
{
    const QString aff = QDir(folder).filePath(kDictionary + QStringLiteral(".aff"));
    const QString dic = QDir(folder).filePath(kDictionary + QStringLiteral(".dic"));
    if (!QFileInfo(aff).isReadable() || !QFileInfo(dic).isReadable())
        throw word::Error(QStringLiteral("A magyar helyesírási szótár nem található (%1).\r"
                                         "Telepítse a hunspell-hu csomagot (például: sudo apt install hunspell-hu).")
                              .arg(dic));
    m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
    QFile file(m_userPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;   // no user dictionary yet
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString w = in.readLine().trimmed();
        if (w.isEmpty() || m_userWords.contains(w))
            continue;
        m_userWords.insert(w);
        m_hunspell->add(w.toStdString());
    }
}

Speller::~Speller() = default;

bool Speller::isCorrect(const QString& word) const
{
    if (word.isEmpty() || m_ignored.contains(word) || m_userWords.contains(word))
        return true;
    const auto hit = m_cache.constFind(word);
    if (hit != m_cache.constEnd())
        return *hit;
    const bool ok = m_hunspell->spell(word.toStdString());
    m_cache.insert(word, ok);
    return ok;
}

QStringList Speller::suggestions(const QString& word, int max) const
{
    QStringList out;
    for (const std::string& s : m_hunspell->suggest(word.toStdString())) {
        if (out.size() >= max)
            break;
        out << QString::fromStdString(s);
    }
    return out;
}

void Speller::addToDictionary(const QString& word)
{
    const QString w = word.trimmed();
    if (w.isEmpty() || m_userWords.contains(w))
        return;
    QDir().mkpath(QFileInfo(m_userPath).absolutePath());
    QFile file(m_userPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        throw word::Error(QStringLiteral("A saját szótár (%1) nem írható: %2").arg(m_userPath, file.errorString()));
    file.write(w.toUtf8() + '\n');
    file.close();
    m_userWords.insert(w);
    m_hunspell->add(w.toStdString());
    m_cache.remove(w);
}

void Speller::ignoreAll(const QString& word)
{
    m_ignored.insert(word);
}

} // namespace commands
