#pragma once

#include <QImage>
#include <QPixmap>

// The About box's picture: a horn of plenty spilling fruit and vegetables, 194 by 140 pixels.
// It is drawn in code with QPainter, so the program carries no image files; the drawing is
// deterministic and takes a few milliseconds.
namespace CornucopiaPicture {

inline constexpr int Width = 194;
inline constexpr int Height = 140;

// The picture on a white background, Width x Height pixels.
QImage image();

// The same picture as a pixmap, for a QLabel. Needs a QGuiApplication.
QPixmap pixmap();

} // namespace CornucopiaPicture
