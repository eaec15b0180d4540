#pragma once
// Records of the query definitions file "consultas.vrl": fixed 1,202-byte
// records of padded Windows-1252 text, the form the suite's Windows
// installations write, so their files are read here unchanged.
#include <QByteArray>
#include <QString>
#include <optional>

namespace MascaraConsulta {

inline constexpr int kLargoRegistro = 1202;
inline constexpr int kAnchoNota = 100;
inline constexpr int kAnchoTabla = 100;
inline constexpr int kAnchoCampos = 500;
inline constexpr int kAnchoFiltro = 500;

struct Registro {
    QString nota;    ///< first field; the lookup never reads it
    QString tabla;   ///< key of the record and table named in FROM
    QString campos;  ///< columns separated by "|" (or ",")
    QString filtro;  ///< condition without WHERE; may be blank
};

/// One record's fields, without their padding. A short buffer reads as if
/// padded with blanks (a file cut off inside its last record).
Registro Lee(const QByteArray& bytes);

/// The 1,202 bytes of a record. Fails (nullopt, with the reason in `error`)
/// when a field is longer than its width or holds a character that
/// Windows-1252 cannot write: the file would otherwise keep a different text.
std::optional<QByteArray> Escribe(const Registro& r, QString* error = nullptr);

/// The first record whose table equals `tabla` (blanks trimmed, case ignored).
/// nullopt when there is none or the file cannot be read.
std::optional<Registro> Busca(const QString& ruta, const QString& tabla);

}  // namespace MascaraConsulta
