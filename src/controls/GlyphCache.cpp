#include "GlyphCache.h"

#include <QPalette>

#include <algorithm>

namespace korbana {

namespace {

GlyphCache* s_cache = nullptr;

// Pixels of the colour become transparent.
QImage masked(QImage image, QRgb transparent)
{
    transparent = qRgb(qRed(transparent), qGreen(transparent), qBlue(transparent));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xff000000u) == transparent)
                line[x] = 0;
        }
    }
    return image;
}

// An image list's default mask colour is the lower-left pixel.
QImage maskedByLowerLeft(const QImage& image)
{
    return masked(image, image.pixel(0, image.height() - 1));
}

// White becomes the highlight, grey the shadow and the transparent colour the face of the buttons.
QImage recolouredDisabled(QImage image, QRgb transparent, const QPalette& palette)
{
    const QRgb white = qRgb(255, 255, 255);
    const QRgb grey = qRgb(128, 128, 128);
    transparent |= 0xff000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x] | 0xff000000u;
            if (pixel == white)
                line[x] = palette.color(QPalette::Light).rgb();
            else if (pixel == grey)
                line[x] = palette.color(QPalette::Dark).rgb();
            else if (pixel == transparent)
                line[x] = palette.color(QPalette::Button).rgb();
        }
    }
    return maskedByLowerLeft(image);
}

// The glyph's dark shape in the highlight one pixel right and down, then in the shadow in place.
QImage embossed(const QImage& source, QRgb transparent, const QPalette& palette)
{
    transparent |= 0xff000000u;
    QImage image(source.size(), QImage::Format_ARGB32);
    image.fill(palette.color(QPalette::Button));
    auto inShape = [&](int x, int y) {
        const QRgb pixel = source.pixel(x, y) | 0xff000000u;
        return pixel != transparent && qGray(pixel) < 224;
    };
    for (const auto& [dx, role] : { std::pair { 1, QPalette::Light }, std::pair { 0, QPalette::Dark } }) {
        for (int y = 0; y < source.height(); ++y) {
            for (int x = 0; x < source.width(); ++x) {
                if (inShape(x, y) && x + dx < image.width() && y + dx < image.height())
                    image.setPixel(x + dx, y + dx, palette.color(role).rgb());
            }
        }
    }
    return maskedByLowerLeft(image);
}

} // namespace

// GlyphList

GlyphList::GlyphList(QSize imageSize)
    : m_size(imageSize)
{
}

int GlyphList::add(const QPixmap& image)
{
    const auto free = std::find(m_used.begin(), m_used.end(), false);
    const auto index = std::size_t(free - m_used.begin());
    if (free == m_used.end()) {
        m_images.emplace_back();
        m_used.push_back(false);
    }
    m_images[index] = image;
    m_used[index] = true;
    ++m_count;
    return int(index);
}

void GlyphList::remove(int index)
{
    if (index < 0 || index >= capacity() || !m_used[std::size_t(index)])
        return;
    m_used[std::size_t(index)] = false;
    m_images[std::size_t(index)] = QPixmap();
    --m_count;
}

QPixmap GlyphList::image(int index) const
{
    if (index < 0 || index >= capacity())
        return {};
    return m_images[std::size_t(index)];
}

// GlyphCache

GlyphList* GlyphCache::acquireList(QSize imageSize)
{
    for (const auto& list : m_lists) {
        if (list->imageSize() == imageSize)
            return list.get();
    }
    m_lists.push_back(std::make_unique<GlyphList>(imageSize));
    return m_lists.back().get();
}

void GlyphCache::releaseList(GlyphList* list)
{
    if (!list || list->count() != 0)
        return;
    m_lists.erase(std::remove_if(m_lists.begin(), m_lists.end(), [list](const auto& l) { return l.get() == list; }),
        m_lists.end());
}

GlyphCache* GlyphCache::instance()
{
    return s_cache;
}

GlyphCache* GlyphCache::ensureInstance()
{
    if (!s_cache)
        s_cache = new GlyphCache;
    return s_cache;
}

void GlyphCache::releaseInstanceIfEmpty()
{
    if (s_cache && s_cache->isEmpty()) {
        delete s_cache;
        s_cache = nullptr;
    }
}

// ButtonGlyph

ButtonGlyph::ButtonGlyph(QObject* parent)
    : QObject(parent)
{
    GlyphCache::ensureInstance();
}

ButtonGlyph::~ButtonGlyph()
{
    dropStateImages();
    GlyphCache::releaseInstanceIfEmpty();
}

void ButtonGlyph::setGlyph(const QImage& glyph)
{
    dropStateImages();
    m_glyph = glyph;
    if (glyph.height() > 0) {
        m_transparentColor = QColor(glyph.pixel(0, glyph.height() - 1));
        if (glyph.width() % glyph.height() == 0) {
            const int count = glyph.width() / glyph.height();
            m_numGlyphs = count <= 4 ? count : 1;
        }
    }
    Q_EMIT changed();
}

void ButtonGlyph::setNumGlyphs(int value)
{
    if (value < 1)
        return;
    value = std::min(value, 4);
    if (value == m_numGlyphs)
        return;
    dropStateImages();
    m_numGlyphs = value;
    Q_EMIT changed();
}

QSize ButtonGlyph::glyphSize() const
{
    if (m_glyph.isNull())
        return { 0, 0 };
    return { m_glyph.width() / m_numGlyphs, m_glyph.height() };
}

QPixmap ButtonGlyph::stateImage(ButtonState state, const QPalette& palette)
{
    const int index = makeStateImage(state, palette);
    return index < 0 || !m_glyphList ? QPixmap() : m_glyphList->image(index);
}

void ButtonGlyph::dropStateImages()
{
    for (int& index : m_indexes) {
        if (index != -1 && m_glyphList)
            m_glyphList->remove(index);
        index = -1;
    }
    if (m_glyphList) {
        if (GlyphCache* cache = GlyphCache::instance())
            cache->releaseList(m_glyphList);
        m_glyphList = nullptr;
    }
}

int ButtonGlyph::makeStateImage(ButtonState state, const QPalette& palette)
{
    if (state == ButtonState::Down && m_numGlyphs < 3)
        state = ButtonState::Up;
    int& index = m_indexes[std::size_t(state)];
    if (index != -1)
        return index;
    const QSize size = glyphSize();
    if (size.isEmpty())
        return -1;
    if (!m_glyphList)
        m_glyphList = GlyphCache::ensureInstance()->acquireList(size);

    const int slot = int(state) < m_numGlyphs ? int(state) : 0;
    const QImage source
        = m_glyph.copy(slot * size.width(), 0, size.width(), size.height()).convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = m_transparentColor.rgb();
    QImage image;
    if (state != ButtonState::Disabled)
        image = masked(source, transparent);
    else if (m_numGlyphs >= 2)
        image = recolouredDisabled(source, transparent, palette);
    else
        image = embossed(source, transparent, palette);
    index = m_glyphList->add(QPixmap::fromImage(image));
    return index;
}

} // namespace korbana
