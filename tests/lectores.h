#pragma once
// Outputs read back with real readers, not with our own code: poppler's
// pdftotext for PDFs, Python's openpyxl for workbooks.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <cstdio>

/// The PDF's text, in reading layout; "" when the reader failed.
inline QString TextoPdf(const QString& ruta)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), ruta, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

/// The first sheet of a workbook: {"celdas": [[{"v":..,"t":"n"|"s"|...}]], "congelado": "A2", "anchos": {...}}.
inline QJsonObject LeeXlsx(const QString& ruta)
{
    static const char* kGuion = R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
celdas = [[{"v": c.value, "t": c.data_type} for c in fila] for fila in ws.iter_rows()]
anchos = {k: d.width for k, d in ws.column_dimensions.items()}
print(json.dumps({"celdas": celdas, "congelado": ws.freeze_panes, "anchos": anchos, "hoja": ws.title}, default=str))
)";
    QProcess p;
    // Debian's interpreter, where python3-openpyxl lives, even when another python3 comes first on the PATH.
    const QString python =
        QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
    p.start(python, {QStringLiteral("-c"), QString::fromUtf8(kGuion), ruta});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        std::fprintf(stderr, "openpyxl: %s\n", p.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}
