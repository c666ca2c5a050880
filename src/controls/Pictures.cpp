#include "Pictures.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

#include <memory>
#include <utility>

namespace korbana {

namespace Pictures {

namespace {

// Forwards everything to the icon that `make` gives, made on the first call that needs pictures. Copies of the
// icon share it.
class DeferredIconEngine final : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::function<QIcon()> make)
        : m_state(std::make_shared<State>())
    {
        m_state->make = std::move(make);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        // Layouts ask this before anything is drawn: the requested size, until the icon exists.
        return m_state->made ? m_state->icon.actualSize(size, mode, state) : size;
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }

private:
    struct State
    {
        std::function<QIcon()> make;
        QIcon icon;
        bool made = false;
    };

    const QIcon& icon()
    {
        if (!m_state->made) {
            m_state->icon = m_state->make();
            m_state->made = true;
            m_state->make = nullptr;
        }
        return m_state->icon;
    }

    std::shared_ptr<State> m_state;
};

} // namespace

QImage read(const QString& path, const char* format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QIcon deferred(std::function<QIcon()> make)
{
    return QIcon(new DeferredIconEngine(std::move(make)));
}

QIcon svg(const QString& path)
{
    return deferred([path] { return QIcon(path); });
}

QIcon DeferredIconsStyle::standardIcon(
    StandardPixmap standardIcon, const QStyleOption* option, const QWidget* widget) const
{
    // Made at start by the menu bar and the search field, their icons would load every image-format plugin.
    if (standardIcon != SP_ToolBarHorizontalExtensionButton && standardIcon != SP_ToolBarVerticalExtensionButton
        && standardIcon != SP_LineEditClearButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // The arrows point away from the text, so they follow the direction of the widget asking for them.
    const Qt::LayoutDirection direction = widget ? widget->layoutDirection() : QGuiApplication::layoutDirection();
    const QPointer<const QStyle> base(baseStyle());
    return deferred([base, standardIcon, direction] {
        if (!base)
            return QIcon();
        QStyleOption directed;
        directed.direction = direction;
        return base->standardIcon(standardIcon, &directed, nullptr);
    });
}

const QStyle* drawingStyle(const QStyle* style)
{
    while (const auto* proxy = qobject_cast<const QProxyStyle*>(style))
        style = proxy->baseStyle();
    return style;
}

} // namespace Pictures

} // namespace korbana
