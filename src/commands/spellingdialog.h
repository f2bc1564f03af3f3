#pragma once
// "Helyesírás és nyelvhelyesség: magyar": the spelling check of a document,
// one issue at a time. The sentence is shown with the unknown word marked,
// suggestions below it; the buttons skip, ignore all, add to the dictionary,
// replace, replace all or close. At the end the check says it is finished.

#include "commands/spellingwalk.h"

#include <QDialog>
#include <QMessageBox>
#include <functional>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QTextEdit;

namespace word { class Document; }

namespace commands {

class SpellingDialog : public QDialog {
    Q_OBJECT
public:
    SpellingDialog(word::Document& doc, Speller& speller, QWidget* parent);
    ~SpellingDialog() override;

    // Runs the whole check: the dialog while there are issues, then the
    // closing notice. Returns when the user closed the dialog or the check ended.
    void run();

    // The closing notice and error boxes; a test answers them.
    using Notice = std::function<void(const QString& text, QMessageBox::Icon icon)>;
    void setNotice(Notice n) { m_notice = std::move(n); }
    // Called each time an issue is shown (a test acts from here).
    void setOnIssue(std::function<void(SpellingDialog&)> f) { m_onIssue = std::move(f); }

    const SpellingIssue* current() const { return m_issue ? &*m_issue : nullptr; }
    QTextEdit* sentenceView() const { return m_sentence; }
    QListWidget* suggestionList() const { return m_suggestions; }
    QPushButton* buttonNamed(const QString& name) const;
    bool finished() const { return m_finished; }

private:
    void build();
    void advance();
    void showIssue(const SpellingIssue& issue);
    QString chosen() const;
    void act(const std::function<void()>& fn);

    word::Document& m_doc;
    Speller& m_speller;
    std::unique_ptr<SpellingWalk> m_walk;
    std::optional<SpellingIssue> m_issue;
    Notice m_notice;
    std::function<void(SpellingDialog&)> m_onIssue;
    bool m_finished = false;
    QLabel* m_kindLabel = nullptr;
    QTextEdit* m_sentence = nullptr;
    QListWidget* m_suggestions = nullptr;
    QPushButton* m_replace = nullptr;
    QPushButton* m_replaceAll = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_ignoreAll = nullptr;
};

} // namespace commands
