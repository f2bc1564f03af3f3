#pragma once
// The pictures of one document, kept as their encoded bytes and decoded only
// when a view first draws them. All pictures of a document share one budget
// of decoded pixels; a picture that would pass it (by the size its header
// declares) is never decoded and is drawn as an empty frame instead.
//
// The store installs itself as the QTextDocument's resource provider, so any
// view that lays the document out (QTextDocument::resource) gets the decoded
// image without knowing the store.

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QUrl>

class QTextDocument;

namespace word::model {

class ImageStore : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxPixels = 256'000'000;

    // The store of doc, created (as doc's child) and installed on first use.
    static ImageStore& of(QTextDocument* doc);

    bool contains(const QUrl& url) const { return m_encoded.contains(url); }
    void add(const QUrl& url, const QByteArray& encoded);
    // The decoded picture, an empty frame when it is over the budget or
    // cannot be decoded, or a null image when url is not a picture of the store.
    QImage image(const QUrl& url);

    qint64 pixelsUsed() const { return m_used; }
    qint64 pixelLimit() const { return m_limit; }
    void setPixelLimit(qint64 limit) { m_limit = limit; }

    // An empty frame of about the given size's proportions.
    static QImage emptyFrame(QSize declared);

private:
    explicit ImageStore(QTextDocument* doc);
    QImage decode(const QByteArray& encoded);

    QHash<QUrl, QByteArray> m_encoded;
    QHash<QUrl, QImage> m_decoded;
    qint64 m_used = 0;
    qint64 m_limit = kMaxPixels;
};

} // namespace word::model
