#include "app/quilloraapplication.h"
#include "app/errorreport.h"
#include "word/error.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

// Resources of a static library are registered by hand, from the global namespace.
static void initProgramResources()
{
    Q_INIT_RESOURCE(quillora);
}

namespace app {

QuilloraApplication::QuilloraApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setWindowIcon(programIcon());
}

QuilloraApplication::~QuilloraApplication() = default;

bool QuilloraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const word::Error& e) {
        reportError(e.message());
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
    }
    return false;
}

QString QuilloraApplication::defaultTranslationsFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool QuilloraApplication::loadTranslations(const QString& folder)
{
    auto translator = std::make_unique<QTranslator>(this);
    if (!translator->load(QLocale(QLocale::Hungarian, QLocale::Hungary), QStringLiteral("qtbase"), QStringLiteral("_"), folder))
        return false;
    if (m_qtTranslator) {
        removeTranslator(m_qtTranslator);
        delete m_qtTranslator;
    }
    m_qtTranslator = translator.release();
    installTranslator(m_qtTranslator);
    return true;
}

QIcon QuilloraApplication::programIcon()
{
    initProgramResources();
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/quillora/icons/%1x%1/quillora.png").arg(side), QSize(side, side));
    return icon;
}

} // namespace app
