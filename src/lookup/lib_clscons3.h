#pragma once
// The lookup request: the settings every lookup shares, the resolution of a
// table name or statement into the statement to show, the modal list window,
// and what the operator chose, kept until the next request.
#include "lib_frmcons3.h"

#include "adodb/variant.h"

#include <QString>

class Lib_ClsCons3 {
public:
    /// Reads the lookup settings from configuration (the session must be open).
    Lib_ClsCons3();

    adodb::Variant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    Coleccion CmpsDevueltos;
    Coleccion Valores;
    Coleccion Cantidades;
    bool Checks = false;
    QString ValorDevuelto;
    QString gConnString;
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    bool UsaCantidades = false;
    QString CampoDevuelto;

    /// Shows the lookup of `sql` (a statement, or a table or view name) and
    /// leaves the choice in ValorDevuelto, Valores and Cantidades.
    /// `TreeView` asks for the tree window; the list window serves both.
    void ConsultaSearch(const QString& sql, Coleccion& CmpsDevueltos, QString& Clave, QString& CampoBusqueda, QString& Where,
                        QString& SentenciaOpcional, bool& TreeView, QString& ValoresDefault);

    /// Contains-matching for the list's server-side search ("UsaConsultaLike").
    bool CfgUsaConsultaLIKE() const { return usaConsultaLike_; }

private:
    bool usaConsultaLike_ = false;
};

/// The one request object of the program, created on first use.
Lib_ClsCons3& ClsCons3();
/// Drops the shared request object; the next use creates it again and reads
/// the configuration of the session then open (another database, a test).
void DescartaClsCons3();

/// Start-up, after connecting: the connection text the lookups hand over and
/// the definitions file, with definitions switched on.
void PreparaConsultas(const QString& connString, const QString& rutaVrl);
/// The same with the session's connection text and "consultas.vrl" of the program folder.
void PreparaConsultas();
