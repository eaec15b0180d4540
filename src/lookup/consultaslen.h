#pragma once
// The file "CONSULTASLEN.VRL" of the program folder: per table, the column
// widths (twips) the operator gave the list lookup window.
#include <QString>
#include <QStringList>

namespace ConsultasLen {

/// The widths text («1440|2880|915|») of every line for `tabla` (case
/// ignored), in file order; empty when the file is missing.
QStringList Lee(const QString& carpeta, const QString& tabla);

/// Replaces the lines of `tabla` with one line of `anchos`, put last. The new
/// file is written aside as "CONSULTASLEN.AUX" and only then takes the old
/// one's place, so a failure at any point leaves the old file whole. False,
/// with the reason in `error`, when it could not be saved.
bool Graba(const QString& carpeta, const QString& tabla, const QList<int>& anchos, QString* error = nullptr);

/// The two fields of a line written as comma-separated quoted fields.
QStringList Campos(const QString& linea);

}  // namespace ConsultasLen
