#pragma once

#include <QFontMetricsF>
#include <QImage>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTextItem>
#include <QWidget>

// What was drawn: the rectangle every stroked or filled shape and every text takes, in device
// coordinates (a shape's without the pen's width).
struct Recording {
    struct Text {
        QString text;
        QRectF bounds;
    };
    QList<QRectF> shapes;
    QList<Text> texts;

    // Whether a drawn text contains `part`.
    bool drew(const QString& part) const {
        return std::any_of(texts.cbegin(), texts.cend(),
                           [&](const Text& text) { return text.text.contains(part); });
    }
};

// A paint device that keeps what is drawn on it instead of rasterising it, so that a test can
// count strokes and read drawn texts.
class PaintRecorder : public QPaintDevice {
public:
    explicit PaintRecorder(QSize size) : image(size, QImage::Format_ARGB32_Premultiplied) {}

    // What `widget` draws.
    static Recording record(QWidget& widget) {
        PaintRecorder recorder(widget.size());
        widget.render(&recorder, {}, {}, QWidget::RenderFlags());
        return recorder.recording;
    }

    QPaintEngine* paintEngine() const override { return &engine; }

    Recording recording;

protected:
    int metric(PaintDeviceMetric metric) const override { return image.metric(metric); }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(PaintRecorder& recorder) : QPaintEngine(AllFeatures), recorder(recorder) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        Type type() const override { return User; }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

        void drawPath(const QPainterPath& path) override {
            recorder.recording.shapes.append(
                painter()->combinedTransform().map(path).boundingRect());
        }
        void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override {
            QPainterPath path;
            path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
            drawPath(path);
        }
        void drawTextItem(const QPointF& origin, const QTextItem& item) override {
            const QFontMetricsF metrics(item.font());
            const QRectF local(origin.x(), origin.y() - metrics.ascent(),
                               metrics.horizontalAdvance(item.text()), metrics.height());
            recorder.recording.texts.append(
                {item.text(), painter()->combinedTransform().mapRect(local)});
        }

    private:
        PaintRecorder& recorder;
    };

    // Measures as an image of the same size would.
    struct Image : QImage {
        using QImage::metric;
        using QImage::QImage;
    };

    Image image;
    mutable Engine engine{*this};
};
