#pragma once
// Enter on a button the operator reached with Tab presses that button, in
// every window. A dialog's default button answers Enter only where the focus
// is not on a button (a box, a list), and there each window keeps its own
// meaning of Enter.
class QWidget;

namespace rt {

/// From now on, Enter on any push or picture button `ventana` holds now
/// presses that button, not the window's default one. Call it once the
/// window's buttons are made; calling it again takes in buttons added since.
void EnterPulsaElBotonEnfocado(QWidget* ventana);

}  // namespace rt
