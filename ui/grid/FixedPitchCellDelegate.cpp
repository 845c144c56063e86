#include "ui/grid/FixedPitchCellDelegate.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

// Room between the cell's top-left corner and its text, also kept after the text.
constexpr int kTextMargin = 1;

// Kept cell images, in KiB: a screenful of the input grid's cells takes about 1.5 MiB when
// every cell differs, and far less as zero-filled rows share theirs.
constexpr int kCellImagesKiB = 4096;

// Enough for every column of the monitor's grids; longer texts spill to the heap.
using Glyphs = QVarLengthArray<quint32, 64>;
using Positions = QVarLengthArray<QPointF, 64>;

QPalette::ColorGroup colorGroup(const QStyleOptionViewItem& option) {
    if (!(option.state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
}

/// Characters whose place begins inside a cell of `width` pixels; the last may be cut.
qsizetype fittingCharacters(qsizetype length, int width, qreal advance) {
    const qreal room = width - kTextMargin;
    if (room <= 0 || advance <= 0)
        return 0;
    return std::min(length, static_cast<qsizetype>(std::ceil(room / advance)));
}

/// A kept image shows the cell exactly as drawing it in place would when the painter maps
/// whole logical pixels to whole device pixels; scaled painting (high-density screens,
/// printing) draws in place.
bool copiesExactly(const QPainter& painter) {
    const QTransform& toDevice = painter.deviceTransform();
    return toDevice.type() <= QTransform::TxTranslate &&
           toDevice.dx() == std::round(toDevice.dx()) && toDevice.dy() == std::round(toDevice.dy());
}

} // namespace

FixedPitchCellDelegate::Face::Face(const QFont& viewFont)
    : font(viewFont), raw(QRawFont::fromFont(viewFont)) {
    // The advance and ascent the text layout of the same font uses, so that glyphs land
    // where a plainly drawn text would put them.
    const QFontMetricsF metrics(viewFont);
    advance = metrics.horizontalAdvance(QLatin1Char('0'));
    ascent = metrics.ascent();
    height = metrics.height();
    std::array<QChar, 128> ascii;
    for (std::size_t c = 0; c < ascii.size(); ++c)
        ascii[c] = QChar(static_cast<char16_t>(c));
    int count = static_cast<int>(asciiGlyphs.size());
    if (!raw.glyphIndexesForChars(ascii.data(), static_cast<int>(ascii.size()), asciiGlyphs.data(),
                                  &count))
        asciiGlyphs.fill(0);
    run.setRawFont(raw);
}

FixedPitchCellDelegate::FixedPitchCellDelegate(GridLines lines, QObject* parent,
                                               TextColour textColour)
    : QAbstractItemDelegate(parent), lines_(lines), textColour_(textColour),
      images_(kCellImagesKiB) {}

FixedPitchCellDelegate::~FixedPitchCellDelegate() = default;

// Styles work the colour out of the palette anew at each call, which is a good part of a
// cell's cost when the rest comes from the kept images; it is asked again when the style,
// the palette or its colour group is another.
QColor FixedPitchCellDelegate::gridLineColour(const QStyleOptionViewItem& option) const {
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const GridColourSource source{style, option.palette.cacheKey(),
                                  option.palette.currentColorGroup()};
    if (!gridColour_ || gridColour_->source != source)
        gridColour_ =
            KeptGridColour{source, QColor::fromRgba(static_cast<QRgb>(style->styleHint(
                                       QStyle::SH_Table_GridLineColor, &option, option.widget)))};
    return gridColour_->colour;
}

FixedPitchCellDelegate::Face& FixedPitchCellDelegate::faceFor(const QFont& font) const {
    if (!face_ || face_->font != font) {
        face_ = std::make_unique<Face>(font);
        images_.clear();
    }
    return *face_;
}

void FixedPitchCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const QPalette::ColorGroup group = colorGroup(option);
    const QVariant background = index.data(Qt::BackgroundRole);
    const QVariant foreground = textColour_ == TextColour::ByModel ? index.data(Qt::ForegroundRole)
                                                                   : QVariant();
    const Cell cell{index.data(Qt::DisplayRole).toString(),
                    background.canConvert<QBrush>() ? qvariant_cast<QBrush>(background)
                                                    : option.palette.brush(group, QPalette::Base),
                    foreground.canConvert<QBrush>() ? qvariant_cast<QBrush>(foreground).color()
                                                    : option.palette.color(group, QPalette::Text),
                    lines_ == GridLines::InCells ? gridLineColour(option) : QColor()};
    Face& face = faceFor(option.font);
    const QRect& rect = option.rect;
    // A kept image is opaque: a pattern or a see-through colour is painted over what lies
    // below, in place.
    if (cell.fill.style() != Qt::SolidPattern || !cell.fill.isOpaque() || rect.isEmpty() ||
        !copiesExactly(*painter)) {
        painter->save();
        drawCell(*painter, rect, cell, face);
        painter->restore();
        return;
    }

    CellKey key{cell.text, rect.size(), cell.fill.color().rgba(), cell.foreground.rgba(),
                cell.grid.isValid() ? cell.grid.rgba() : 0};
    if (const QImage* kept = images_.object(key)) {
        painter->drawImage(rect.topLeft(), *kept);
        return;
    }
    QImage image(rect.size(), QImage::Format_RGB32);
    QPainter imagePainter(&image);
    drawCell(imagePainter, image.rect(), cell, face);
    imagePainter.end();
    painter->drawImage(rect.topLeft(), image);
    const auto kiB = static_cast<int>(std::max<qsizetype>(1, image.sizeInBytes() / 1024));
    images_.insert(key, new QImage(std::move(image)), kiB);
}

void FixedPitchCellDelegate::drawCell(QPainter& painter, QRect rect, const Cell& cell, Face& face) {
    if (cell.grid.isValid()) {
        painter.fillRect(rect.right(), rect.top(), 1, rect.height(), cell.grid);
        painter.fillRect(rect.left(), rect.bottom(), rect.width() - 1, 1, cell.grid);
        rect.adjust(0, 0, -1, -1);
    }
    painter.fillRect(rect, cell.fill);

    const QString& text = cell.text;
    const qsizetype fitting = fittingCharacters(text.size(), rect.width(), face.advance);
    if (fitting == 0)
        return;
    Glyphs glyphs(fitting);
    bool known = true;
    if (std::all_of(text.cbegin(), text.cbegin() + fitting,
                    [](QChar c) { return c.unicode() < 128; })) {
        for (qsizetype i = 0; i < fitting; ++i)
            glyphs[i] = face.asciiGlyphs[text[i].unicode()];
    } else {
        // One glyph per character, or the places below would drift: a surrogate pair
        // (two characters, one glyph) goes to the fallback too.
        int count = static_cast<int>(fitting);
        known = face.raw.glyphIndexesForChars(text.constData(), count, glyphs.data(), &count) &&
                count == fitting;
    }
    known = known && std::find(glyphs.cbegin(), glyphs.cend(), 0u) == glyphs.cend();

    const QPointF baseline(rect.left() + kTextMargin, rect.top() + kTextMargin + face.ascent);
    painter.setPen(cell.foreground);
    painter.setClipRect(rect, Qt::IntersectClip);
    if (!known) {
        painter.setFont(face.font);
        painter.drawText(baseline, text);
        return;
    }
    // Blanks draw nothing: leave them out of the run.
    Positions positions;
    qsizetype drawn = 0;
    for (qsizetype i = 0; i < fitting; ++i) {
        if (text[i] == QLatin1Char(' '))
            continue;
        glyphs[drawn++] = glyphs[i];
        positions.append(QPointF(static_cast<qreal>(i) * face.advance, 0));
    }
    face.run.setRawData(glyphs.constData(), positions.constData(), static_cast<int>(drawn));
    painter.drawGlyphRun(baseline, face.run);
}

QSize FixedPitchCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    const Face& face = faceFor(option.font);
    const auto length = static_cast<qreal>(index.data(Qt::DisplayRole).toString().size());
    return {static_cast<int>(std::ceil(2 * kTextMargin + length * face.advance)),
            static_cast<int>(std::ceil(2 * kTextMargin + face.height))};
}

} // namespace ui
