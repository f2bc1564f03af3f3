// The template dialog as the user drives it: the party panel's counters and
// list, the title and panel by file type, the automatic folder moves, and what
// the dialog keeps from one opening to the next.

#include "templates/tpaletteopendialog.h"
#include "templates/updown.h"

#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using templates::UpDown;

namespace {

QString listText(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i) {
        const QListWidgetItem* item = list.item(i);
        out << (item->checkState() == Qt::Checked ? QStringLiteral("[x]") : QStringLiteral("[ ]"))
                + item->text();
    }
    return out.join(QLatin1Char(','));
}

QString editText(const tpaletteopendialog& dlg, const char* name)
{
    return dlg.findChild<QLineEdit*>(QLatin1String(name))->text();
}

void click(UpDown* updown, bool up)
{
    QTest::mouseClick(up ? updown->upButton() : updown->downButton(), Qt::LeftButton);
}

QString canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

} // namespace

class TestTemplateDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    // Must run first: the first showing of a run starts the party list afresh.
    void firstOpening();
    void countersKeepTheListInStep();
    void refusedStepsChangeNothing();
    void usufructuaryCounterStaysDisabled();
    void cancelKeepsCountsAndTicks();
    void leavingTheTemplateTypeMovesToDocuments();
    void browsingFirstKeepsTheFolder();
    void returningToTemplatesShowsThePanel();
    void savedDocumentOpensWithItsType();
    void upAndDownKeysStep();

private:
    QTemporaryDir m_documents;
    QListWidget m_globlist;
    std::unique_ptr<tpaletteopendialog> m_dialog;
};

void TestTemplateDialog::initTestCase()
{
    QVERIFY(m_documents.isValid());
    QVERIFY2(QDir(tpaletteopendialog::templatesFolder()).exists(),
             "the sample templates are built beside the test programs");
    const QString docs = m_documents.path();
    m_dialog = std::make_unique<tpaletteopendialog>(&m_globlist, [docs] { return docs; }, nullptr);
}

void TestTemplateDialog::firstOpening()
{
    tpaletteopendialog& dlg = *m_dialog;
    dlg.beginShowing();
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Szerződés sablon megnyitása"));
    QVERIFY(dlg.panel()->isVisible());
    // The file list is part of the dialog, the panel on its right.
    QVERIFY(!dlg.fileDialog()->isWindow());
    QVERIFY(dlg.fileDialog()->isVisible());
    QVERIFY(dlg.panel()->geometry().left() >= dlg.fileDialog()->geometry().right());
    QCOMPARE(editText(dlg, "edit1"), QStringLiteral("1"));
    QCOMPARE(editText(dlg, "edit2"), QStringLiteral("1"));
    QCOMPARE(editText(dlg, "edit3"), QStringLiteral("0"));
    QVERIFY(!dlg.findChild<QLineEdit*>(QStringLiteral("edit3"))->isEnabled());
    QCOMPARE(listText(*dlg.lista1()), QStringLiteral("[x]Eladó,[ ]Vevő"));
    QCOMPARE(dlg.lista1()->font().family(), QStringLiteral("Arial"));
    QCOMPARE(canonical(dlg.fileDialog()->directory().absolutePath()),
             canonical(tpaletteopendialog::templatesFolder()));
    dlg.endShowing(false);
    dlg.hide();
    QCOMPARE(dlg.SellerCount(), 1);
    QCOMPARE(dlg.BuyerCount(), 1);
    QCOMPARE(listText(m_globlist), QStringLiteral("[x]Eladó,[ ]Vevő"));
}

void TestTemplateDialog::countersKeepTheListInStep()
{
    tpaletteopendialog& dlg = *m_dialog;
    dlg.beginShowing();
    dlg.show();
    click(dlg.Updown1(), true);
    QCOMPARE(listText(*dlg.lista1()), QStringLiteral("[x]Eladó,[ ]Eladó2,[ ]Vevő"));
    click(dlg.Updown2(), true);
    QCOMPARE(listText(*dlg.lista1()), QStringLiteral("[x]Eladó,[ ]Eladó2,[ ]Vevő,[ ]Vevő2"));
    QCOMPARE(editText(dlg, "edit1"), QStringLiteral("2"));
    QCOMPARE(editText(dlg, "edit2"), QStringLiteral("2"));
    dlg.lista1()->item(2)->setCheckState(Qt::Checked);
    click(dlg.Updown1(), false);
    QCOMPARE(listText(*dlg.lista1()), QStringLiteral("[x]Eladó,[x]Vevő,[ ]Vevő2"));
    click(dlg.Updown1(), true);
    QCOMPARE(listText(*dlg.lista1()), QStringLiteral("[x]Eladó,[ ]Eladó2,[x]Vevő,[ ]Vevő2"));
    dlg.endShowing(true);
    dlg.hide();
    QCOMPARE(dlg.SellerCount(), 2);
    QCOMPARE(dlg.BuyerCount(), 2);
    QCOMPARE(listText(m_globlist), QStringLiteral("[x]Eladó,[ ]Eladó2,[x]Vevő,[ ]Vevő2"));
}

void TestTemplateDialog::refusedStepsChangeNothing()
{
    tpaletteopendialog& dlg = *m_dialog;
    dlg.beginShowing();
    const QString before = listText(*dlg.lista1());
    click(dlg.Updown1(), true);    // already at 2
    click(dlg.Updown2(), true);
    QCOMPARE(editText(dlg, "edit1"), QStringLiteral("2"));
    QCOMPARE(listText(*dlg.lista1()), before);
    click(dlg.Updown1(), false);
    click(dlg.Updown1(), false);   // at 1 now: refused
    QCOMPARE(editText(dlg, "edit1"), QStringLiteral("1"));
    QCOMPARE(listText(*dlg.lista1()), QStringLiteral("[x]Eladó,[x]Vevő,[ ]Vevő2"));
    dlg.endShowing(false);
}

void TestTemplateDialog::usufructuaryCounterStaysDisabled()
{
    tpaletteopendialog& dlg = *m_dialog;
    dlg.beginShowing();
    click(dlg.Updown3(), true);
    QCOMPARE(editText(dlg, "edit3"), QStringLiteral("0"));
    QCOMPARE(dlg.Updown3()->position(), 0);
    dlg.endShowing(false);
}

void TestTemplateDialog::cancelKeepsCountsAndTicks()
{
    tpaletteopendialog& dlg = *m_dialog;
    QTimer::singleShot(0, &dlg, [&dlg] {
        click(dlg.Updown1(), true);
        dlg.lista1()->item(1)->setCheckState(Qt::Checked);
        dlg.reject();
    });
    QVERIFY(!dlg.Execute());
    QCOMPARE(dlg.SellerCount(), 2);
    QCOMPARE(dlg.BuyerCount(), 2);
    QCOMPARE(listText(m_globlist), QStringLiteral("[x]Eladó,[x]Eladó2,[x]Vevő,[ ]Vevő2"));
    dlg.beginShowing();
    QCOMPARE(editText(dlg, "edit1"), QStringLiteral("2"));
    QCOMPARE(listText(*dlg.lista1()), QStringLiteral("[x]Eladó,[x]Eladó2,[x]Vevő,[ ]Vevő2"));
    dlg.endShowing(false);
}

void TestTemplateDialog::leavingTheTemplateTypeMovesToDocuments()
{
    tpaletteopendialog& dlg = *m_dialog;
    dlg.beginShowing();
    dlg.show();
    const QStringList filters = tpaletteopendialog::nameFilters();
    emit dlg.fileDialog()->filterSelected(filters.at(2));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Word állomány megnyitása"));
    QVERIFY(!dlg.panel()->isVisible());
    QCOMPARE(canonical(dlg.fileDialog()->directory().absolutePath()), canonical(m_documents.path()));
    dlg.endShowing(false);
    dlg.hide();
}

void TestTemplateDialog::browsingFirstKeepsTheFolder()
{
    tpaletteopendialog& dlg = *m_dialog;
    dlg.beginShowing();
    QTemporaryDir elsewhere;
    dlg.fileDialog()->setDirectory(elsewhere.path());
    emit dlg.fileDialog()->directoryEntered(elsewhere.path());
    QCOMPARE(dlg.steering().FolderChangeCount, 2);
    emit dlg.fileDialog()->filterSelected(tpaletteopendialog::nameFilters().at(2));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Word állomány megnyitása"));
    QCOMPARE(canonical(dlg.fileDialog()->directory().absolutePath()), canonical(elsewhere.path()));
    dlg.endShowing(false);
}

void TestTemplateDialog::returningToTemplatesShowsThePanel()
{
    tpaletteopendialog& dlg = *m_dialog;
    dlg.beginShowing();
    dlg.show();
    emit dlg.fileDialog()->filterSelected(tpaletteopendialog::nameFilters().at(1));
    emit dlg.fileDialog()->filterSelected(tpaletteopendialog::nameFilters().at(0));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Szerződés sablon megnyitása"));
    QVERIFY(dlg.panel()->isVisible());
    QCOMPARE(dlg.steering().FolderChangeCount, 1);
    QCOMPARE(canonical(dlg.fileDialog()->directory().absolutePath()),
             canonical(tpaletteopendialog::templatesFolder()));
    dlg.endShowing(false);
    dlg.hide();
}

void TestTemplateDialog::savedDocumentOpensWithItsType()
{
    tpaletteopendialog& dlg = *m_dialog;
    const QString saved = m_documents.filePath(QStringLiteral("szerzodes.dot"));
    QFile f(saved);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    dlg.setFileName(saved);
    dlg.setFilterIndex(2);
    dlg.beginShowing();
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Word állomány megnyitása"));
    QVERIFY(!dlg.panel()->isVisible());
    QCOMPARE(dlg.fileDialog()->selectedNameFilter(), tpaletteopendialog::nameFilters().at(1));
    QCOMPARE(canonical(dlg.fileDialog()->directory().absolutePath()), canonical(m_documents.path()));
    QCOMPARE(QFileInfo(dlg.fileDialog()->selectedFiles().value(0)).fileName(), QStringLiteral("szerzodes.dot"));
    dlg.endShowing(true);
    dlg.hide();
    QCOMPARE(canonical(dlg.FileName()), canonical(saved));
    QCOMPARE(dlg.FilterIndex(), 2);
}

void TestTemplateDialog::upAndDownKeysStep()
{
    tpaletteopendialog& dlg = *m_dialog;
    dlg.setFilterIndex(1);
    dlg.beginShowing();
    auto* edit2 = dlg.findChild<QLineEdit*>(QStringLiteral("edit2"));
    const int before = dlg.lista1()->count();
    QTest::keyClick(edit2, Qt::Key_Down);
    QCOMPARE(edit2->text(), QStringLiteral("1"));
    QCOMPARE(dlg.lista1()->count(), before - 1);
    QTest::keyClick(edit2, Qt::Key_Up);
    QCOMPARE(edit2->text(), QStringLiteral("2"));
    QCOMPARE(dlg.lista1()->count(), before);
    dlg.endShowing(false);
}

QTEST_MAIN(TestTemplateDialog)
#include "tst_templatedialog.moc"
