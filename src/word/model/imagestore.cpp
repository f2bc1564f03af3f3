#include "word/model/imagestore.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QTextDocument>

namespace word::model {

namespace {
constexpr int kFrameSide = 128;
}

ImageStore::ImageStore(QTextDocument* doc) : QObject(doc)
{
    setObjectName(QStringLiteral("quillora-images"));
    QPointer<ImageStore> self(this);
    doc->setResourceProvider([self](const QUrl& url) -> QVariant {
        if (!self || !self->contains(url))
            return {};
        return self->image(url);
    });
}

ImageStore& ImageStore::of(QTextDocument* doc)
{
    if (auto* store = doc->findChild<ImageStore*>(QStringLiteral("quillora-images"), Qt::FindDirectChildrenOnly))
        return *store;
    return *new ImageStore(doc);
}

void ImageStore::add(const QUrl& url, const QByteArray& encoded)
{
    if (!m_encoded.contains(url))
        m_encoded.insert(url, encoded);
}

QImage ImageStore::image(const QUrl& url)
{
    const auto done = m_decoded.constFind(url);
    if (done != m_decoded.cend())
        return *done;
    const auto it = m_encoded.constFind(url);
    if (it == m_encoded.cend())
        return {};
    const QImage img = decode(*it);
    m_decoded.insert(url, img);
    return img;
}

// The header's size is checked against what is left of the budget before a
// single pixel is allocated.
QImage ImageStore::decode(const QByteArray& encoded)
{
    QBuffer buffer;
    buffer.setData(encoded);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return emptyFrame(QSize(kFrameSide, kFrameSide));
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > m_limit - m_used)
        return emptyFrame(size);
    QImage img = reader.read();
    if (img.isNull())
        return emptyFrame(size);
    m_used += qint64(img.width()) * img.height();
    return img;
}

QImage ImageStore::emptyFrame(QSize declared)
{
    if (!declared.isValid() || declared.isEmpty())
        declared = QSize(kFrameSide, kFrameSide);
    const QSize side = declared.scaled(kFrameSide, kFrameSide, Qt::KeepAspectRatio).expandedTo(QSize(4, 4));
    QImage frame(side, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    QPainter p(&frame);
    p.setPen(QPen(Qt::gray, 1));
    p.drawRect(frame.rect().adjusted(0, 0, -1, -1));
    return frame;
}

} // namespace word::model
