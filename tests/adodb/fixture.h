#pragma once
#include "adodb/connection.h"
#include "adodb/recordset.h"

#include "../qt_print.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Each test gets its own database file in its own folder.
class SqliteFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("prueba.db"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        cn.Open(connString());
    }
    QString connString() const { return QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;UId=;Pwd=;").arg(path); }
    void exec(const QString& sql) { cn.Execute(sql); }

    QTemporaryDir dir;
    QString path;
    adodb::Connection cn;
};
