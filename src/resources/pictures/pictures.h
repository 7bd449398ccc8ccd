// The program's pictures: the page picture, the arrow button images and the
// country flags, drawn as SVG and compiled into the program. They are addressed
// by their resource ids (resources/resource_ids.h). The Qt renderer gets them
// from the program (app/) as its picture source.
//
// Rendering is reentrant and never blocks on anything but the CPU: a call parses
// the picture's SVG and paints it into a new image. The QImage functions work on
// any thread and need no application object; the QPixmap function needs the
// QGuiApplication and the GUI thread, as every QPixmap does.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QtGlobal>

#include "resources/resource_ids.h"

namespace norix::resources::pictures {

// Light grey, the transparent colour of the arrow images: whatever an arrow
// image paints in it is left out, so the page picture shows through.
inline constexpr QRgb kArrowTransparentColour = qRgb(192, 192, 192);

// Largest width or height RenderPicture draws; larger requests are refused
// rather than allocating an absurd image.
inline constexpr int kMaxPictureSide = 8192;

// Largest device pixel ratio PicturePixmap accepts.
inline constexpr qreal kMaxDevicePixelRatio = 8.0;

// True for the page picture, the arrow images and the flags.
[[nodiscard]] bool HasPicture(int resourceId);

// True for the eight arrow button images.
[[nodiscard]] bool IsArrowImage(int resourceId);

// The size a picture is drawn for, in pixels at the default font: 453 x 327
// for the page picture (a page's 302 x 201 dialog units), 32 x 32 for arrow
// images, 32 x 20 for flags. An empty QSize for an id without a picture.
[[nodiscard]] QSize PictureSize(int resourceId);

// The SVG document of a picture as compiled in; empty for an id without one.
[[nodiscard]] QByteArray PictureSvg(int resourceId);

// Draws a picture scaled to `size` into a new ARGB32 premultiplied image,
// antialiased. Arrow images come with their light grey parts transparent and
// every other pixel as drawn (edges partly transparent, never tinted grey);
// the page picture and the flags are fully opaque. Returns a null image for
// an id without a picture and for a width or height below 1 or above
// kMaxPictureSide.
[[nodiscard]] QImage RenderPicture(int resourceId, QSize size);

// The same at the picture's own size (PictureSize).
[[nodiscard]] QImage RenderPicture(int resourceId);

// RenderPicture as a pixmap of `size` device-independent pixels, drawn at
// `devicePixelRatio` times that size so that it stays sharp on a dense screen.
// A null pixmap where RenderPicture returns a null image (for `size` or for the
// scaled size), or for a ratio that is not above 0 and at most
// kMaxDevicePixelRatio.
[[nodiscard]] QPixmap PicturePixmap(int resourceId, QSize size, qreal devicePixelRatio = 1.0);

}  // namespace norix::resources::pictures
