#pragma once
// The toolbar's pictures, drawn by the program so they look the same on every
// desktop, themed or not.
#include <QIcon>

namespace HToolbarIcons {

// The picture of a toolbar command; a null icon for a command without one.
[[nodiscard]] QIcon ForCommand(int id);

} // namespace HToolbarIcons
