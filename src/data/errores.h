#pragma once
// The error box text and the error-log line shared by every error report.
#include "adodb/error.h"
#include "adodb/variant.h"

#include <QDateTime>
#include <QString>

namespace errores {

/// "Ha ocurrido el Siguiente Error (n) descripción".
QString Mensaje(const adodb::Error& e);
/// The message as logged: the box's text, plus the engine's own text when the box shows a translation.
QString MensajeLog(const adodb::Error& e);
/// Source, " - rutina" when given, then `cola`.
QString Titulo(const adodb::Error& e, const adodb::Variant& rutina, const QString& cola);
/// The word logged for a message-box answer ("" for answers without one).
QString PalabraRespuesta(int respuesta);
/// One log line, without its line end; line breaks inside the message become blanks.
QString LineaLog(const QDateTime& cuando, const adodb::Variant& rutina, const QString& mensaje, int respuesta);
/// Appends the line (with CR LF); failures are ignored, the log is best effort.
void AgregaLinea(const QString& archivo, const QString& linea);
/// Appends the line of an error shown to the operator, stamped now.
void AnotaError(const QString& archivo, const adodb::Variant& rutina, const adodb::Error& e, int respuesta);

/// Failures reported to the operator with Abort, Retry and Ignore since the
/// program started, how many of them were answered by leaving the routine
/// (neither Retry nor Ignore), and how many meant a lost link. A window
/// compares them around an action: a lookup abandoned that way answered "not
/// found" without having looked.
struct Cuenta {
    long informadas = 0;
    long abandonadas = 0;
    long enlacesPerdidos = 0;
};
Cuenta Informadas();
/// Logs a failure answered by the operator (AnotaError) and counts it.
void Registra(const QString& archivo, const adodb::Variant& rutina, const adodb::Error& e, int respuesta);

/// The windows' error report: box, log line in the temporary folder, answer.
int ReportaError(const adodb::Error& CodErr, const adodb::Variant& Botones = {}, const adodb::Variant& Rutina = {});
/// The runtime library's error report (Abort/Retry/Ignore), logged as TratamientoErrores logs; returns the answer.
int InformaError(const adodb::Error& e, const QString& rutina = {});

}  // namespace errores
