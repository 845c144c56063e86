#include "ui/main/ToolbarIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace ui {
namespace {

// Pictograms drawn as paths, at whatever size the toolbar asks for: no font, no image file
// and no style lookup is touched while the main window is built, which keeps start-up short.

const QColor kDevice(0x2e, 0x6e, 0x6e);
const QColor kReceive(0x1b, 0x7f, 0x3b);
const QColor kTransmit(0x1f, 0x5f, 0xb0);
const QColor kStop(0xb0, 0x22, 0x22);
const QColor kData(0x6a, 0x4c, 0x93);
const QColor kSettings(0x5a, 0x5a, 0x5a);
const QColor kHelp(0x1d, 0x4e, 0x89);

using Glyph = void (*)(QPainter&);

struct Pictogram {
    QColor colour;
    Glyph glyph; // white strokes in a 48 x 48 square
};

void lines(QPainter& p, std::initializer_list<QPointF> points) {
    p.drawPolyline(std::data(points), static_cast<int>(points.size()));
}

void filledDot(QPainter& p, QPointF centre, qreal radius) {
    p.save();
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

void filledSquare(QPainter& p) { p.fillRect(QRectF(15, 15, 18, 18), Qt::white); }

void letterA(QPainter& p, qreal left, qreal width) {
    lines(p, {{left, 38}, {left + width / 2, 10}, {left + width, 38}});
    lines(p, {{left + width * 0.2, 28}, {left + width * 0.8, 28}});
}

// Arrow through a tray: up out of it (restore from a file) or down into it (save to a file).
void trayArrow(QPainter& p, bool up) {
    lines(p, {{11, 30}, {11, 38}, {37, 38}, {37, 30}});
    lines(p, {{24, 8}, {24, 30}});
    if (up)
        lines(p, {{16, 16}, {24, 8}, {32, 16}});
    else
        lines(p, {{16, 22}, {24, 30}, {32, 22}});
}

void exitGlyph(QPainter& p) {
    lines(p, {{26, 10}, {12, 10}, {12, 38}, {26, 38}});
    lines(p, {{20, 24}, {38, 24}});
    lines(p, {{31, 17}, {38, 24}, {31, 31}});
}

void boardGlyph(QPainter& p) {
    p.drawRect(QRectF(15, 13, 18, 22));
    for (const qreal y : {17.0, 24.0, 31.0}) {
        lines(p, {{8, y}, {15, y}});
        lines(p, {{33, y}, {40, y}});
    }
}

void playGlyph(QPainter& p) {
    QPainterPath triangle;
    triangle.moveTo(17, 12);
    triangle.lineTo(36, 24);
    triangle.lineTo(17, 36);
    triangle.closeSubpath();
    p.fillPath(triangle, Qt::white);
}

void powerGlyph(QPainter& p) {
    p.drawArc(QRectF(11, 12, 26, 26), 60 * 16, -300 * 16);
    lines(p, {{24, 8}, {24, 24}});
}

void addressGlyph(QPainter& p) { letterA(p, 13, 22); }

void fileGlyph(QPainter& p) {
    lines(p, {{24, 8}, {24, 40}});
    p.drawEllipse(QPointF(24, 22), 12, 8);
}

void singleGlyph(QPainter& p) {
    lines(p, {{17, 16}, {26, 9}, {26, 39}});
    lines(p, {{18, 39}, {34, 39}});
}

void cyclicGlyph(QPainter& p) {
    QPainterPath loop;
    loop.moveTo(24, 24);
    loop.cubicTo(30, 13, 42, 14, 42, 24);
    loop.cubicTo(42, 34, 30, 35, 24, 24);
    loop.cubicTo(18, 13, 6, 14, 6, 24);
    loop.cubicTo(6, 34, 18, 35, 24, 24);
    p.drawPath(loop);
}

void zeroGlyph(QPainter& p) { p.drawEllipse(QPointF(24, 24), 9, 14); }

void testGlyph(QPainter& p) {
    lines(p, {{12, 11}, {36, 11}});
    lines(p, {{24, 11}, {24, 38}});
}

void restoreGlyph(QPainter& p) { trayArrow(p, true); }

void saveGlyph(QPainter& p) { trayArrow(p, false); }

void decimalGlyph(QPainter& p) {
    filledDot(p, {12, 36}, 3.2);
    QPainterPath five;
    five.moveTo(38, 10);
    five.lineTo(24, 10);
    five.lineTo(22, 22);
    five.cubicTo(32, 17, 39, 22, 38, 30);
    five.cubicTo(37, 39, 26, 41, 20, 35);
    p.drawPath(five);
}

void assignmentGlyph(QPainter& p) {
    letterA(p, 5, 17);
    lines(p, {{27, 38}, {27, 10}, {42, 10}, {42, 38}});
}

void clockGlyph(QPainter& p) {
    p.drawEllipse(QPointF(24, 24), 15, 15);
    lines(p, {{24, 14}, {24, 24}, {31, 29}});
}

void questionGlyph(QPainter& p) {
    QPainterPath hook;
    hook.moveTo(16, 18);
    hook.cubicTo(16, 7, 33, 7, 32, 18);
    hook.cubicTo(31, 24, 24, 24, 24, 31);
    p.drawPath(hook);
    filledDot(p, {24, 38}, 2.8);
}

Pictogram pictogramFor(CommandId id) {
    switch (id) {
    case CommandId::FileExit1: return {kSettings, exitGlyph};
    case CommandId::ActionDeviceChoice: return {kDevice, boardGlyph};
    case CommandId::DeviceInitialization: return {kReceive, playGlyph};
    case CommandId::DeviceReset: return {kStop, powerGlyph};
    case CommandId::SIaddressPusk: return {kReceive, addressGlyph};
    case CommandId::SIfilePusk: return {kReceive, fileGlyph};
    case CommandId::SIstopChannel: return {kStop, filledSquare};
    case CommandId::SOsinglePusk: return {kTransmit, singleGlyph};
    case CommandId::SOciclePusk: return {kTransmit, cyclicGlyph};
    case CommandId::SOstopChannel: return {kStop, filledSquare};
    case CommandId::SOdataClear: return {kData, zeroGlyph};
    case CommandId::SOdataTest: return {kData, testGlyph};
    case CommandId::FileOpen1: return {kData, restoreGlyph};
    case CommandId::FileSaveAs1: return {kData, saveGlyph};
    case CommandId::FormatList: return {kSettings, decimalGlyph};
    case CommandId::ParamFormat: return {kSettings, assignmentGlyph};
    case CommandId::TimerPeriod: return {kSettings, clockGlyph};
    case CommandId::HelpContents1: return {kHelp, questionGlyph};
    }
    return {kSettings, filledSquare};
}

/// @brief Paints one pictogram on its rounded badge; a disabled button shows it in grey.
class PictogramEngine final : public QIconEngine {
public:
    explicit PictogramEngine(const Pictogram& pictogram) : pictogram_(pictogram) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal side = qMin(rect.width(), rect.height());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2,
                           rect.y() + (rect.height() - side) / 2);
        painter->scale(side / 48.0, side / 48.0);
        const bool disabled = mode == QIcon::Disabled;
        painter->setPen(Qt::NoPen);
        painter->setBrush(disabled ? QColor(0xb4, 0xb4, 0xb4) : pictogram_.colour);
        painter->drawRoundedRect(QRectF(3, 3, 42, 42), 9, 9);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(disabled ? QColor(0xf2, 0xf2, 0xf2) : QColor(Qt::white), 4.2,
                             Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        pictogram_.glyph(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    [[nodiscard]] QIconEngine* clone() const override { return new PictogramEngine(pictogram_); }

private:
    Pictogram pictogram_;
};

} // namespace

QIcon commandIcon(CommandId id) { return QIcon(new PictogramEngine(pictogramFor(id))); }

} // namespace ui
