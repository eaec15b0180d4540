#pragma once
// Boxes that hold one line: whatever arrives in them, typed, pasted or
// dropped, is kept on one line, so a stored text never carries a line break
// or a tab that would draw a report row over its neighbours or split a row
// of a copied sheet.
#include <QString>

class QLineEdit;

namespace rt {

/// `texto` on one line: each line break (CR LF counts as one) and each tab
/// becomes a blank.
QString EnUnaLinea(const QString& texto);

/// From now on `caja` keeps its text on one line, whoever writes it.
void CajaDeUnaLinea(QLineEdit* caja);

}  // namespace rt
