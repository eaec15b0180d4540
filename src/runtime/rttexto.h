#pragma once
// Text and number services of the runtime library.
#include "adodb/variant.h"

#include <QString>

class RtTexto {
public:
    /// Null-safe conversion of a field value: Null and Empty give "".
    static QString ValorCampo(const adodb::Variant& v);
    /// The text without any of the characters listed.
    static QString QuitaCaracteres(const QString& texto, const QString& caracteres);
    /// Every occurrence replaced (case-sensitive, like the library's own).
    static QString Reemplaza(const QString& texto, const QString& buscar, const QString& con);
    /// Number of blank-separated words.
    static int CuentaPalabras(const QString& texto);
    /// Numeric value at currency precision (four decimals); "," is read as the
    /// decimal separator when the text has no ".".
    static double TextoANumero(const QString& texto);
    static long long TextoAEntero(const QString& texto);
    /// Text brought to exactly `ancho` characters: padded with blanks on the
    /// left (codes of digits then sort as numbers), cut to the width when longer.
    static QString AnchoFijo(const QString& texto, int ancho);
    /// The value's display text (the width omitted).
    static QString AnchoFijo(const adodb::Variant& v);
    /// The folder path ending in exactly one separator.
    static QString RutaCarpeta(const QString& carpeta);
    /// Reversible password encoding for files the suite writes.
    static QString CodificaClave(const QString& clave);
    static QString DecodificaClave(const QString& guardada);
    /// Where the library's own failures (reports, data sheets) are logged; "" logs nothing.
    static void ArchivoLog(const QString& archivo);
    static QString ArchivoLogActual();
};
