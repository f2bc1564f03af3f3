#include "commands/spellingwalk.h"

#include "word/document.h"
#include "word/model/docmodel.h"

#include <QTextDocument>

namespace commands {

namespace {

bool isSentenceEnd(QChar c) { return c == u'.' || c == u'!' || c == u'?'; }

bool isBreak(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n' || c == QChar(0xfdd0)
           || c == QChar(0xfdd1) || c == QChar::ObjectReplacementCharacter;
}

// The sentence around [start, end): from after the previous sentence end or
// paragraph break to the next one.
void sentenceAround(const QString& raw, SpellingIssue& issue)
{
    int from = issue.start;
    while (from > 0 && !isBreak(raw.at(from - 1))
           && !(isSentenceEnd(raw.at(from - 1)) && from < int(raw.size()) && raw.at(from).isSpace()))
        --from;
    int to = issue.end;
    while (to < int(raw.size()) && !isBreak(raw.at(to))) {
        const bool end = isSentenceEnd(raw.at(to));
        ++to;
        if (end && (to >= int(raw.size()) || raw.at(to).isSpace()))
            break;
    }
    while (from < issue.start && raw.at(from).isSpace())
        ++from;
    issue.sentence = raw.mid(from, to - from);
    issue.sentenceOffset = issue.start - from;
}

bool onlySpaces(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s) {
        if (c != u' ' && c != QChar::Nbsp)
            return false;
    }
    return true;
}

// A word Hunspell knows only with its full stop ("Kft.", "pl.") is correct too.
bool knownWithStop(const Speller& speller, const QString& raw, const WordSpan& w)
{
    const int after = w.start + w.length;
    return after < int(raw.size()) && raw.at(after) == u'.'
           && speller.isCorrect(raw.mid(w.start, w.length + 1));
}

} // namespace

SpellingWalk::SpellingWalk(word::Document& doc, Speller& speller) : m_doc(doc), m_speller(speller) {}

word::model::DocModel* SpellingWalk::modelOf(int story) const
{
    if (story < 0)
        return &m_doc.model();
    auto& stories = m_doc.model().stories();
    return story < int(stories.size()) ? stories[size_t(story)].model.get() : nullptr;
}

bool SpellingWalk::nextStory()
{
    auto& stories = m_doc.model().stories();
    for (int s = m_story + 1; s < int(stories.size()); ++s) {
        const auto kind = stories[size_t(s)].kind;
        if ((kind == word::model::Story::Header || kind == word::model::Story::Footer) && stories[size_t(s)].model) {
            m_story = s;
            m_pos = 0;
            return true;
        }
    }
    return false;
}

std::optional<SpellingIssue> SpellingWalk::scanStory(int story, int from)
{
    word::model::DocModel* model = modelOf(story);
    if (!model)
        return std::nullopt;
    const QString raw = model->text()->toRawText();
    const QList<WordSpan> words = allWords(raw);
    for (qsizetype i = 0; i < words.size(); ++i) {
        const WordSpan& w = words[i];
        if (w.start < from)
            continue;
        const QString text = raw.mid(w.start, w.length);
        if (i > 0) {
            const WordSpan& prev = words[i - 1];
            const int gap = prev.start + prev.length;
            if (gap >= from && onlySpaces(QStringView(raw).mid(gap, w.start - gap))
                && raw.mid(prev.start, prev.length).compare(text, Qt::CaseInsensitive) == 0
                && !text.front().isDigit()) {
                SpellingIssue issue{SpellingIssue::Repeated, story, gap, w.start + w.length, text, {}, 0, {QString()}};
                sentenceAround(raw, issue);
                return issue;
            }
        }
        if (checkableWords(text).size() != 1 || m_speller.isCorrect(text) || knownWithStop(m_speller, raw, w))
            continue;
        SpellingIssue issue{SpellingIssue::Unknown, story, w.start, w.start + w.length, text, {}, 0, {}};
        const auto auto_ = m_replaceAll.constFind(text);
        if (auto_ != m_replaceAll.constEnd()) {
            const int end = replaceSpan(story, w.start, w.start + w.length, *auto_);
            return scanStory(story, end);
        }
        issue.suggestions = m_speller.suggestions(text);
        sentenceAround(raw, issue);
        return issue;
    }
    return std::nullopt;
}

std::optional<SpellingIssue> SpellingWalk::next()
{
    if (m_current) {
        m_pos = m_current->end;
        m_current.reset();
    }
    for (;;) {
        m_current = scanStory(m_story, m_pos);
        if (m_current)
            return m_current;
        if (!nextStory())
            return std::nullopt;
    }
}

namespace {

// The edit that turns old into with at start: the differing middle, and for a
// word that differs throughout, its tail first and then its first letter,
// so that no single edit covers the whole word. replace(start, end, text) does one edit.
template <typename Replace>
int replaceInPlace(int start, const QString& old, const QString& with, Replace&& replace)
{
    int head = 0;
    while (head < old.size() && head < with.size() && old.at(head) == with.at(head))
        ++head;
    int tail = 0;
    while (tail < old.size() - head && tail < with.size() - head
           && old.at(old.size() - 1 - tail) == with.at(with.size() - 1 - tail))
        ++tail;
    const int end = start + int(old.size());
    if (head > 0 || tail > 0 || old.size() < 2 || with.isEmpty()) {
        replace(start + head, end - tail, with.mid(head, with.size() - head - tail));
        return start + int(with.size());
    }
    replace(start + 1, end, with.mid(1));
    replace(start, start + 1, with.left(1));
    return start + int(with.size());
}

} // namespace

int replaceWord(word::Document& doc, int start, int end, const QString& with)
{
    const QString old = doc.textDocument()->toRawText().mid(start, end - start);
    word::model::DocModel::EditScope scope(doc.model());
    return replaceInPlace(start, old, with, [&doc](int s, int e, const QString& t) {
        word::Range r = doc.Range(s, e);
        r.setText(t);
    });
}

int SpellingWalk::replaceSpan(int story, int start, int end, const QString& with)
{
    if (story < 0)
        return replaceWord(m_doc, start, end, with);
    word::model::DocModel* model = modelOf(story);
    const QString old = model->text()->toRawText().mid(start, end - start);
    word::model::DocModel::EditScope scope(*model);
    return replaceInPlace(start, old, with, [model](int s, int e, const QString& t) {
        model->replaceText(s, e, t);
    });
}

void SpellingWalk::ignoreAll()
{
    if (m_current && m_current->kind == SpellingIssue::Unknown)
        m_speller.ignoreAll(m_current->word);
}

void SpellingWalk::addToDictionary()
{
    if (m_current && m_current->kind == SpellingIssue::Unknown)
        m_speller.addToDictionary(m_current->word);
}

void SpellingWalk::replace(const QString& with)
{
    if (!m_current)
        return;
    const int end = replaceSpan(m_current->story, m_current->start, m_current->end, with);
    m_current->end = end;
}

void SpellingWalk::replaceAll(const QString& with)
{
    if (!m_current)
        return;
    if (m_current->kind == SpellingIssue::Unknown)
        m_replaceAll.insert(m_current->word, with);
    replace(with);
}

QList<SpellingIssue> SpellingWalk::collect(word::Document& doc, Speller& speller)
{
    QList<SpellingIssue> out;
    SpellingWalk walk(doc, speller);
    while (std::optional<SpellingIssue> issue = walk.next())
        out.append(*issue);
    return out;
}

} // namespace commands
