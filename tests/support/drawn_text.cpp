#include "support/drawn_text.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextEdit>
#include <QWidget>

namespace tavrin::test {

namespace {

class TextRecorder final : public QPaintEngine {
public:
    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override {
        if (!item.text().trimmed().isEmpty())
            texts.append(item.text());
    }
    Type type() const override { return QPaintEngine::User; }
    QStringList texts;
};

class RecordingDevice final : public QPaintDevice {
public:
    explicit RecordingDevice(QSize size) : size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    QStringList texts() const { return engine_.texts; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmWidthMM:
            return size_.width() * 254 / 960;
        case PdmHeightMM:
            return size_.height() * 254 / 960;
        case PdmNumColors:
            return 0x7fffffff;
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
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    mutable TextRecorder engine_;
    QSize size_;
};

bool authorsBox(const QWidget* w) {
    for (const QWidget* up = w; up; up = up->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox*>(up))
            return false;
        if (qobject_cast<const QTextEdit*>(up) || qobject_cast<const QLineEdit*>(up))
            return true;
    }
    return false;
}

} // namespace

QStringList drawnTexts(QWidget* window) {
    QStringList texts;
    QList<QWidget*> widgets{window};
    widgets += window->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->isVisible() || authorsBox(w) || w->size().isEmpty())
            continue;
        RecordingDevice device(w->size());
        w->render(&device, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        texts += device.texts();
    }
    return texts;
}

QStringList notPersian(const QStringList& drawn) {
    static const QRegularExpression latinLetter(QStringLiteral("[A-Za-z]"));
    static const QRegularExpression latinDigit(QStringLiteral("[0-9]"));
    // A line is drawn in runs of one script: "SCORM" and " 1.2" come one after the other.
    const auto latinAt = [&](qsizetype i) {
        return i >= 0 && i < drawn.size() && drawn[i].contains(latinLetter);
    };
    QStringList found;
    for (qsizetype i = 0; i < drawn.size(); ++i) {
        const QString& t = drawn[i];
        const bool arabic = t.contains(QChar(0x064A)) || t.contains(QChar(0x0643));
        const bool digits =
            t.contains(latinDigit) && !latinAt(i) && !latinAt(i - 1) && !latinAt(i + 1);
        if (arabic || digits)
            found.append(t);
    }
    return found;
}

} // namespace tavrin::test
