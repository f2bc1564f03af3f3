#include "templates/clipboardkeeper.h"

#include <QClipboard>
#include <QMimeData>

namespace templates {

ClipboardKeeper::ClipboardKeeper(QClipboard* clipboard)
    : m_clipboard(clipboard)
{
}

void ClipboardKeeper::setAside()
{
    m_formats.clear();
    const QMimeData* data = m_clipboard ? m_clipboard->mimeData() : nullptr;
    if (!data)
        return;
    // Names without a '/' are the platform's aliases of the MIME formats.
    const QStringList formats = data->formats();
    for (const QString& format : formats) {
        if (format.contains(QLatin1Char('/')))
            m_formats.append({ format, data->data(format) });
    }
}

void ClipboardKeeper::giveBack()
{
    if (!m_clipboard)
        return;
    m_clipboard->clear();
    if (m_formats.isEmpty())
        return;
    auto* data = new QMimeData;
    for (const auto& [format, bytes] : std::as_const(m_formats))
        data->setData(format, bytes);
    m_formats.clear();
    m_clipboard->setMimeData(data);
}

} // namespace templates
