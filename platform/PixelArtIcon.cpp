#include "platform/PixelArtIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace {

class PixelArtIconEngine final : public QIconEngine {
public:
    explicit PixelArtIconEngine(std::vector<QImage> images)
        : m_images(std::move(images)) {
        std::sort(m_images.begin(), m_images.end(),
                  [](const QImage& a, const QImage& b) { return a.width() < b.width(); });
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return render(size).size(); }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override { return devicePixmap(size, mode, 1.0); }

    // QIcon::pixmap(size, ratio) asks with the size already in device pixels (size x ratio),
    // and the ratio as the scale.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        return devicePixmap(size, mode, scale);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal scale = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap pm = devicePixmap((QSizeF(rect.size()) * scale).toSize(), mode, scale);
        const QSizeF logical = QSizeF(pm.size()) / pm.devicePixelRatio();
        const QPointF topLeft = QPointF(rect.topLeft()) +
                                QPointF((rect.width() - logical.width()) / 2, (rect.height() - logical.height()) / 2);
        painter->drawPixmap(topLeft, pm);
    }

    QIconEngine* clone() const override { return new PixelArtIconEngine(m_images); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const QImage& image : m_images) {
            sizes.append(image.size());
        }
        return sizes;
    }

private:
    // The picture for a size in device pixels, marked with the device pixel ratio it is for.
    QPixmap devicePixmap(const QSize& device, QIcon::Mode mode, qreal scale) const {
        QPixmap result = QPixmap::fromImage(render(device));
        if (mode == QIcon::Disabled && qApp != nullptr) {
            QStyleOption option;
            result = QApplication::style()->generatedIconPixmap(QIcon::Disabled, result, &option);
        }
        result.setDevicePixelRatio(scale);
        return result;
    }

    // The largest whole-number enlargement of a native image that fits the device size; a
    // size below every native image gets the smallest one reduced smoothly.
    QImage render(const QSize& device) const {
        const QImage* best = nullptr;
        int bestWidth = 0;
        for (const QImage& image : m_images) {
            const int factor = std::min(device.width() / image.width(), device.height() / image.height());
            if (factor >= 1 && image.width() * factor >= bestWidth) {
                best = &image;
                bestWidth = image.width() * factor;
            }
        }
        if (best == nullptr) {
            return m_images.front().scaled(device, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        if (bestWidth == best->width()) {
            return *best;
        }
        return best->scaled(best->size() * (bestWidth / best->width()), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }

    std::vector<QImage> m_images;
};

} // namespace

QIcon pixelArtIcon(std::vector<QImage> nativeImages) {
    return QIcon(new PixelArtIconEngine(std::move(nativeImages)));
}
