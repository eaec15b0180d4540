#pragma once
// Pictures the window draws itself, so it never depends on image files being
// installed: its own icon and the two picture buttons.
#include <QIcon>

namespace iconos {

/// A ledger with a bookmark: the window's icon when no system icon is installed.
QIcon Libro();
/// The same drawing at one size, for icon files (menu entries, shortcuts).
QPixmap LibroEn(int lado);
/// A printer with a sheet coming out.
QIcon Impresora();
/// A data sheet: a grid with a header row.
QIcon Planilla();

}  // namespace iconos
