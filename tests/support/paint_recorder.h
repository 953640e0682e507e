#pragma once

#include <QFontMetricsF>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTextItem>

// What was drawn: every stroked or filled shape with the pen it was drawn with, and every text
// with the rectangle it takes.
struct Recording {
    struct Shape {
        QPainterPath path; // as given to the painter, before the transform
        QRectF bounds;     // in device coordinates, without the pen's width
        QPen pen;
    };
    struct Text {
        QString text;
        QRectF bounds; // in device coordinates
    };
    QList<Shape> shapes;
    QList<Text> texts;

    // Whether a drawn text contains `part`.
    bool drew(const QString& part) const {
        for (const Text& text : texts)
            if (text.text.contains(part))
                return true;
        return false;
    }
};

// A paint device that keeps what is drawn on it instead of rasterising it, so that a test can
// count strokes and read drawn texts.
class PaintRecorder : public QPaintDevice {
public:
    explicit PaintRecorder(QSize size) : size(size) {}

    QPaintEngine* paintEngine() const override { return &engine; }

    Recording recording;

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return size.width();
        case PdmHeight:
            return size.height();
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default: // sizes in millimetres, colour count
            return 0;
        }
    }

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
            const QTransform transform = painter()->combinedTransform();
            recorder.recording.shapes.append(
                {path, transform.map(path).boundingRect(), painter()->pen()});
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

    QSize size;
    mutable Engine engine{*this};
};
