#include "word/model/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>

namespace word::model {

namespace {

std::unique_ptr<QMimeData>& fallbackStore()
{
    static std::unique_ptr<QMimeData> store;
    return store;
}

QClipboard* systemClipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

void putOnClipboard(const Fragment& f)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromLatin1(kFragmentMime), f.serialize());
    data->setText(f.plainText());
    data->setHtml(f.html());
    if (QClipboard* cb = systemClipboard()) {
        cb->setMimeData(data.release());
        return;
    }
    fallbackStore() = std::move(data);
}

Fragment takeFromClipboard(const QTextCharFormat& fmt)
{
    const QMimeData* data = nullptr;
    if (QClipboard* cb = systemClipboard())
        data = cb->mimeData();
    else
        data = fallbackStore().get();
    if (!data)
        return {};
    if (data->hasFormat(QString::fromLatin1(kFragmentMime))) {
        Fragment f = Fragment::deserialize(data->data(QString::fromLatin1(kFragmentMime)));
        if (!f.isEmpty())
            return f;
    }
    if (data->hasText() && !data->text().isEmpty())
        return Fragment::fromPlainText(data->text(), fmt);
    return {};
}

} // namespace word::model
