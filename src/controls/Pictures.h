#pragma once

#include <QIcon>
#include <QImage>
#include <QProxyStyle>
#include <QString>

#include <functional>

namespace korbana {

// Pictures of the program's resources, made so that starting the program stays quick.
namespace Pictures {

// Reads an image with the reader of the named format only ("png", "bmp", "gif"). Without a fixed format Qt asks
// every image-format plugin whether it can read the file, and so loads all of them with their libraries.
QImage read(const QString& path, const char* format);

// An icon made by `make` when it is first drawn or asked for a picture, not before.
QIcon deferred(std::function<QIcon()> make);

// An SVG of the resources as an icon, parsed and drawn when it is first needed.
QIcon svg(const QString& path);

// The application's style, with the icons of the menu bar's and tool bar's overflow buttons and of a line edit's
// clear button made only when such a button is drawn: the style's own would load every image-format plugin when
// the window is built.
class DeferredIconsStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
        const QWidget* widget = nullptr) const override;
};

// The style that draws, below any proxy around it.
const QStyle* drawingStyle(const QStyle* style);

} // namespace Pictures

} // namespace korbana
