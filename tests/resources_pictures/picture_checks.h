// Small measurements on rendered pictures shared by the picture tests.
#pragma once

#include <QColor>
#include <QImage>
#include <vector>

namespace norix::resources::pictures {

// Every resource id that has a picture, in id order.
std::vector<int> AllPictureIds();

// Relative luminance (0 black ... 1 white) of an opaque colour, sRGB weights.
double RelativeLuminance(QColor colour);

// Largest difference of any channel (alpha included) between two colours.
int ChannelDistance(QColor a, QColor b);

// Share of pixels (0 ... 1) whose colours differ by more than `threshold` in
// some channel; 1 when the sizes differ.
double ShareOfDifferentPixels(const QImage& a, const QImage& b, int threshold);

// `image` drawn over an opaque background colour.
QImage OverBackground(const QImage& image, QColor background);

}  // namespace norix::resources::pictures
