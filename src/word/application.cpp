#include "word/application.h"

#include "word/document.h"
#include "word/error.h"

#include <QFileInfo>

namespace word {

Document* Documents::Open(const QString& Filename)
{
    auto doc = std::make_unique<Document>(m_app, Filename);
    return m_app->adopt(std::move(doc));
}

int Documents::Count() const { return int(m_app->documents().size()); }

Document* Documents::Item(int index) const
{
    const auto& docs = m_app->documents();
    if (index < 1 || index > int(docs.size()))
        throw Error(QStringLiteral("Nincs %1. sorszámú megnyitott dokumentum (%2 van megnyitva).").arg(index).arg(docs.size()));
    return docs[size_t(index - 1)].get();
}

int Dialog::Show()
{
    const auto& provider = m_app->dialogProvider();
    if (!provider)
        throw Error(QStringLiteral("A(z) %1 azonosítójú beépített párbeszédablak nem jeleníthető meg: nincs felhasználói felület.").arg(m_id));
    return provider(m_app->ActiveDocument(), m_id);
}

Application::Application() = default;

Application::~Application()
{
    // Documents first: they may still signal the application while closing.
    while (!m_docs.empty())
        m_docs.pop_back();
}

Document* Application::ActiveDocument() const
{
    if (m_docs.empty())
        throw Error(QStringLiteral("Nincs megnyitott dokumentum."));
    return m_docs.back().get();
}

void Application::setDisplayScrollBars(bool on)
{
    if (m_displayScrollBars == on)
        return;
    m_displayScrollBars = on;
    emit viewSettingsChanged();
}

void Application::Quit()
{
    while (!m_docs.empty()) {
        Document* d = m_docs.back().get();
        emit d->closed();
        m_docs.pop_back();
    }
}

Document* Application::adopt(std::unique_ptr<Document> doc)
{
    m_docs.push_back(std::move(doc));
    return m_docs.back().get();
}

void Application::release(Document* doc)
{
    for (auto it = m_docs.begin(); it != m_docs.end(); ++it) {
        if (it->get() == doc) {
            m_docs.erase(it);
            return;
        }
    }
}

} // namespace word
