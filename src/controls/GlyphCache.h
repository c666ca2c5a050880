#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSize>

#include <array>
#include <memory>
#include <vector>

class QPalette;

namespace korbana {

// The four images a glyph bitmap may hold side by side, in this order.
enum class ButtonState { Up, Disabled, Down, Exclusive };

// An image list of one image size whose freed slots are reused, lowest first.
class GlyphList final
{
public:
    explicit GlyphList(QSize imageSize);
    Q_DISABLE_COPY_MOVE(GlyphList)

    QSize imageSize() const { return m_size; }
    int add(const QPixmap& image);
    void remove(int index);
    QPixmap image(int index) const;
    // Occupied slots.
    int count() const { return m_count; }
    // Slots the list holds, free or not.
    int capacity() const { return int(m_images.size()); }

private:
    QSize m_size;
    std::vector<QPixmap> m_images;
    std::vector<bool> m_used;
    int m_count = 0;
};

// The program's glyph lists, at most one per image size, shared by all buttons.
class GlyphCache final
{
public:
    GlyphCache() = default;
    Q_DISABLE_COPY_MOVE(GlyphCache)

    // The list of that image size, made when there is none yet.
    GlyphList* acquireList(QSize imageSize);
    // The list goes back; it is freed when none of its slots is occupied.
    void releaseList(GlyphList* list);
    bool isEmpty() const { return m_lists.empty(); }
    int listCount() const { return int(m_lists.size()); }

    // The one cache of the program, or null while there is none.
    static GlyphCache* instance();

private:
    friend class ButtonGlyph;
    static GlyphCache* ensureInstance();
    static void releaseInstanceIfEmpty();

    std::vector<std::unique_ptr<GlyphList>> m_lists;
};

// One button's glyph bitmap and its state images.
class ButtonGlyph final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ButtonGlyph)

public:
    explicit ButtonGlyph(QObject* parent = nullptr);
    ~ButtonGlyph() override;

    QImage glyph() const { return m_glyph; }
    // Drops the state images; takes the transparent colour (lower-left pixel) and, when the width is a whole
    // multiple of the height, the number of glyphs from the bitmap.
    void setGlyph(const QImage& glyph);
    int numGlyphs() const { return m_numGlyphs; }
    // Above 4 means 4; below 1 is ignored.
    void setNumGlyphs(int value);
    QColor transparentColor() const { return m_transparentColor; }
    // Size of one image, 0 by 0 without a bitmap.
    QSize glyphSize() const;

    // The state's image, made on first use with the palette's button colours; null without a bitmap.
    QPixmap stateImage(ButtonState state, const QPalette& palette);
    // Index in the glyph list, -1 when not made.
    int stateIndex(ButtonState state) const { return m_indexes[std::size_t(state)]; }
    GlyphList* glyphList() const { return m_glyphList; }
    void dropStateImages();

Q_SIGNALS:
    void changed();

private:
    int makeStateImage(ButtonState state, const QPalette& palette);

    QImage m_glyph;
    GlyphList* m_glyphList = nullptr;
    std::array<int, 4> m_indexes { -1, -1, -1, -1 };
    QColor m_transparentColor { 128, 128, 0 };
    int m_numGlyphs = 1;
};

} // namespace korbana
