#pragma once
// The copy-book titles as TA_TITCOPIADORES stores them: finding one, its
// fingerprint, the next free code, saving and deleting. Every statement of the
// titles window is here, and goes through DB_Dll; nothing here draws or asks:
// the window maps its boxes to a Titulo and back, and answers the failures.
#include "adodb/error.h"
#include "adodb/variant.h"

#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

/// One title as the window edits it. Texts as typed or as stored (the code
/// may come padded); the voucher types in their stored form, each code in
/// four characters, joined by ",".
struct Titulo {
    QString codigo;
    QString descripcion;
    QString desde;
    QString hasta;
    QString comprobantes;
};

namespace titulos {

/// Width at which codes are stored; a longer code would be cut and land on another title.
inline constexpr int kAnchoCodigo = 4;

/// The answer to a failed step: the operator's (rt::vbRetry runs the step
/// again, rt::vbIgnore goes on, anything else gives the save up). `columna`
/// names the column being written when the step wrote one, else it is empty.
using Informe = std::function<int(const adodb::Error& e, const QString& columna)>;

/// What a save came to.
enum class Resultado {
    Grabado,
    /// The title changed (or was deleted: `huella` empty) since the window showed it.
    CambiadoPorOtro,
    /// The window showed a new title, and its code now names a stored one.
    CodigoDeOtro,
    /// Nothing stored; a failure before the commit was already answered through the Informe.
    Fallo,
};

struct Grabacion {
    Resultado resultado = Resultado::Fallo;
    /// The title's stored rows found by the save (for the two conflicts).
    QString huella;
    /// The commit failed: why. The server may have stored the title all the same.
    std::optional<adodb::Error> alConfirmar;
};

/// Both codes are numbers of the same value ("03" and "3"): the lookups and
/// the reports order numeric codes by value, so to the operator they are one title.
bool MismoNumero(const QString& a, const QString& b);

/// The stored title a typed code names: the code itself, or, when it is a
/// number, any spelling of that number that fits the column (the exact one
/// first). Failures are reported and answered as DB_Dll::ExisteEnTabla does.
std::optional<Titulo> Busca(const QString& codigo);

/// The stored rows of a title, compared without blanks around the code, as
/// one text: it tells whether another operator changed the title. `creado`
/// gets the title's creation date on the same read (null when none). A
/// failure comes back as AdoException.
QString Huella(const QString& codigo, adodb::Variant* creado = nullptr);

/// One more than the largest code that is a number (blanks ignored), or past
/// the stored width the first free number that fits.
QString ProximoCodigo();

/// Saves `t` in one transaction: the stored rows of its code are checked
/// against `huellaMostrada` (the fingerprint the window showed), replaced, or
/// a new row added when `nuevo` and nothing was stored. The written row keeps
/// the title's creation date. `sinBorrar` hears of old rows that could not be
/// deleted (the save goes on, and meets the key). Never waits on the operator
/// while holding the write lock: a conflict rolls back before returning.
Grabacion Graba(const Titulo& t, const QString& huellaMostrada, bool nuevo, const Informe& informe,
                const std::function<void(const adodb::Error&)>& sinBorrar);

/// Deletes every stored row of the code. Empty when the failure was answered by
/// leaving; else the rows deleted (-1 when the failure was ignored).
std::optional<long> Borra(const QString& codigo, const Informe& informe);

/// Each text column of the table with the width it stores (none when the
/// connection is closed). A failure comes back as AdoException.
std::vector<std::pair<QString, int>> LargosDeTexto();

/// The table holds `t` as it is: one row, the same values. A failure comes back as AdoException.
bool EstaGuardado(const Titulo& t);

}  // namespace titulos
