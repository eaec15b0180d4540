#pragma once
// The registered connections of this computer, BASES.TXT: one line per
// connection, five comma-separated fields, Windows-1252 text and CRLF line
// ends, as the suite's Windows installations write it.
#include <QList>
#include <QString>

namespace BasesTxt {

inline const QString kArchivo = QStringLiteral("BASES.TXT");

struct Conexion {
    QString nombre;     // "BASE / SERVIDOR", the text shown in the list
    QString baseDatos;  // as typed
    QString usuario;
    QString clave;     // the stored (encoded) form, never the password itself
    QString servidor;  // may carry ":" and a port
};

/// The file to read: the user's copy when there is one, else the program folder's.
QString RutaLectura();
/// The file to append to (see RtArchivos::CarpetaParaGrabar).
QString RutaGrabacion();

/// The server field of a line: the server, then ":" and the port when one is
/// given apart (`puerto` empty: none). A server naming its port already
/// ("srv,1500", "pg:host,5432") or a blank one (an embedded file) takes none.
QString CampoServidor(const QString& servidor, const QString& puerto);
/// The inverse of CampoServidor: true when the field ends in ":" and a port
/// (digits, or nothing), which then go apart. The ":" of a "pg:" or "tcp:"
/// prefix, or inside an address, belongs to the server.
bool SeparaServidor(const QString& campo, QString* servidor, QString* puerto);
/// The server as a registration key: upper case, trimmed, without the port
/// its field may carry after ":".
QString ClaveServidor(const QString& servidor);
/// The entry name of a connection: the database in upper case, " / ", the server key.
QString NombreEntrada(const QString& baseDatos, const QString& servidor);

/// The first character of `texto` that a line of the file cannot keep as it
/// is ("" when there is none): a double quote (the suite's reader takes it
/// for field quoting and drops it), a line break, or a character that
/// Windows-1252 has no byte for.
QString CaracterNoGrabable(const QString& texto);

/// Every line of the file, in order; `leido` false (and an empty list) when
/// the file exists but cannot be read. A missing file reads as empty.
QList<Conexion> Lee(const QString& ruta, bool* leido = nullptr, QString* error = nullptr);
/// The line as written: five fields, trimmed, ended by CR LF, in Windows-1252.
QByteArray Linea(const Conexion& c);
/// Appends one connection; `clave` is the password itself, stored encoded.
/// A field the file cannot keep as it is (CaracterNoGrabable) writes nothing.
/// A file created here is readable by its owner only: it holds passwords.
bool GrabaConexion(const QString& nombre, const QString& baseDatos, const QString& usuario, const QString& clave,
                   const QString& servidor, QString* error = nullptr);

}  // namespace BasesTxt
