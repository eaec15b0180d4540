#pragma once
// Where windows go on the screen, the same for every window of the program.
class QWidget;

namespace rt {

/// Brings the window on screen: fitted to the available area and centred on
/// its parent (`centrarEnPadre`, when it has one) or on the screen.
void AjustaVentana(QWidget* ventana, bool centrarEnPadre);

/// The same for a window of its own (no parent) that belongs with `sobre`:
/// fitted to the available area and centred over `sobre` (or the screen).
void UbicaSobre(QWidget* ventana, const QWidget* sobre);

}  // namespace rt
