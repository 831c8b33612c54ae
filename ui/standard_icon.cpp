#include "ui/standard_icon.h"

#include <QApplication>
#include <QIconEngine>

namespace {

class StandardIconEngine : public QIconEngine {
public:
    explicit StandardIconEngine(QStyle::StandardPixmap glyph) : glyph(glyph) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new StandardIconEngine(glyph); }

private:
    const QIcon& icon() {
        if (loaded.isNull()) {
            loaded = QApplication::style()->standardIcon(glyph);
        }
        return loaded;
    }

    QStyle::StandardPixmap glyph;
    QIcon loaded;
};

}  // namespace

QIcon standardIconOnDemand(QStyle::StandardPixmap glyph) {
    return QIcon(new StandardIconEngine(glyph));
}
