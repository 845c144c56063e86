#pragma once

#include <QAbstractItemDelegate>
#include <QBrush>
#include <QCache>
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QPalette>
#include <QRawFont>

#include <array>
#include <memory>
#include <optional>

class QStyle;

namespace ui {

/// @brief Paints the read-only cells of a grid in a fixed-pitch font, the cheap way.
///
/// Each cell is a solid background (the model's BackgroundRole brush, else the palette's
/// base) with the DisplayRole text starting 1 pixel right of and 1 pixel below the cell's
/// top-left corner, in the ForegroundRole colour, else the palette's text colour. Characters
/// sit at multiples of the font's one advance; what does not fit is cut at the cell's edge,
/// without an ellipsis. No selection or focus highlight is drawn. Texts with a character the
/// font lacks are left to QPainter's text drawing, which finds a fallback font.
///
/// A grid repainted on a timer mostly shows the same texts again, so painted cells are kept
/// as images (up to a few megabytes, least recently used dropped first) and copied back.
class FixedPitchCellDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    enum class GridLines {
        ByView,  ///< the view draws its grid (or none) around the cells
        InCells, ///< the view shows no grid of its own: each cell's last pixel column and
                 ///< row are its grid lines, in the style's grid colour. It looks the same,
                 ///< and two rectangle fills cost far less than the view's line drawing.
    };

    enum class TextColour {
        ByModel,   ///< the ForegroundRole colour, else the palette's text colour
        ByPalette, ///< the palette's: for models that give no ForegroundRole, which is then
                   ///< not asked for at every cell
    };

    explicit FixedPitchCellDelegate(GridLines lines = GridLines::ByView, QObject* parent = nullptr,
                                    TextColour textColour = TextColour::ByModel);
    ~FixedPitchCellDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    /// The whole text at the fixed advance, with the 1-pixel margins on every side.
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const override;

private:
    /// What painting needs of one font, made once: shaping a text is then a table look-up.
    struct Face {
        explicit Face(const QFont& font);

        QFont font;
        QRawFont raw;
        qreal advance = 0;
        qreal ascent = 0;
        qreal height = 0;
        std::array<quint32, 128> asciiGlyphs{};
        QGlyphRun run; ///< the font set once; each cell lends it its glyphs and places
    };

    /// Everything that decides a cell's pixels, besides the face.
    struct Cell {
        QString text;
        QBrush fill;
        QColor foreground;
        QColor grid; ///< invalid: no grid lines in the cell
    };

    /// A cell's pixels, for cells on a plain colour.
    struct CellKey {
        QString text;
        QSize size;
        QRgb fill = 0;
        QRgb foreground = 0;
        QRgb grid = 0;

        bool operator==(const CellKey&) const = default;
        friend size_t qHash(const CellKey& key, size_t seed) noexcept {
            return qHashMulti(seed, key.text, key.size.width(), key.size.height(), key.fill,
                              key.foreground, key.grid);
        }
    };

    /// What the grid colour is worked out of.
    struct GridColourSource {
        const QStyle* style = nullptr;
        qint64 palette = 0; ///< the palette's cache key
        QPalette::ColorGroup group = QPalette::Active;

        bool operator==(const GridColourSource&) const = default;
    };
    struct KeptGridColour {
        GridColourSource source;
        QColor colour;
    };

    /// The face of the font the view paints with; made again only when that font changes.
    [[nodiscard]] Face& faceFor(const QFont& font) const;
    /// The colour a table view draws its grid in.
    [[nodiscard]] QColor gridLineColour(const QStyleOptionViewItem& option) const;
    static void drawCell(QPainter& painter, QRect rect, const Cell& cell, Face& face);

    GridLines lines_;
    TextColour textColour_;
    mutable std::unique_ptr<Face> face_;
    mutable QCache<CellKey, QImage> images_;
    mutable std::optional<KeptGridColour> gridColour_;
};

} // namespace ui
