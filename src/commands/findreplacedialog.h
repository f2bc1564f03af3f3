#pragma once
// "Keresés és csere": the one modeless dialog of finding, replacing and going
// to a place, with the tabs "Keresés", "Csere" and "Ugrás". Each Show of the
// engine's built-in dialogs 112, 117 and 896 opens it at its own tab, with the
// selection's text as what to look for.

#include "commands/documentgoto.h"

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;

namespace word { class Document; }

namespace commands {

class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    enum Tab { FindTab = 0, ReplaceTab = 1, GoToTab = 2 };

    explicit FindReplaceDialog(QWidget* parent);

    // Shows the dialog over doc at tab, the selection's text as the find text.
    void showFor(word::Document* doc, Tab tab);
    Tab tab() const;
    void setTab(Tab tab);

    // Every question and notice of the dialog goes through here; a test answers them.
    using Notice = std::function<QMessageBox::StandardButton(const QString& text, QMessageBox::Icon icon,
                                                             QMessageBox::StandardButtons buttons)>;
    void setNotice(Notice n) { m_notice = std::move(n); }
    // Where the shown pages lie, for going to a page.
    void setPageRects(DocumentGoTo::PageRects pages) { m_pages = std::move(pages); }

    // The commands behind the buttons.
    void findNext();
    void replaceOne();
    void replaceAll();
    void goTo(bool backwards = false);

    QLineEdit* findEdit() const { return m_find; }
    QLineEdit* replaceEdit() const { return m_replace; }
    QComboBox* goToEdit() const { return m_goToTarget; }
    QListWidget* goToKinds() const { return m_kinds; }

private:
    void build();
    void insertCode(const QString& code);
    void updateTab();
    void updateGoToKind();
    GoToKind goToKind() const;
    QMessageBox::StandardButton notice(const QString& text, QMessageBox::Icon icon,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    template <typename Fn> void guarded(Fn&& fn);

    QPointer<word::Document> m_doc;
    Notice m_notice;
    DocumentGoTo::PageRects m_pages;
    QTabBar* m_tabs = nullptr;
    QWidget* m_findPage = nullptr;
    QWidget* m_replaceRow = nullptr;
    QWidget* m_goToPage = nullptr;
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QLineEdit* m_lastEdit = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wholeWords = nullptr;
    QPushButton* m_special = nullptr;
    QPushButton* m_replaceButton = nullptr;
    QPushButton* m_replaceAllButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_previousButton = nullptr;
    QListWidget* m_kinds = nullptr;
    QLabel* m_goToLabel = nullptr;
    QComboBox* m_goToTarget = nullptr;
};

} // namespace commands
