// Lintrow's pictures, drawn by our own code: the window icon and the two
// arrows of the buttons. Needs a QGuiApplication.
#pragma once

#include <QColor>
#include <QPixmap>

namespace memoapp {

// The arrows' colour, kept exact (no anti-aliasing) so it is what is seen.
inline const QColor kArrowColour(25, 80, 0);

// 32 x 32: a yellow disc with a darker rim on a transparent ground.
QPixmap LintrowIcon();

// 16 x 16: a dark green triangle on a transparent ground.
QPixmap LeftArrow();
QPixmap RightArrow();

}  // namespace memoapp
