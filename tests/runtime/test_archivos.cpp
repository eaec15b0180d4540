#include "runtime/rtarchivos.h"
#include "runtime/rtentorno.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "../archivos_prueba.h"

namespace {

class Archivos : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programa.isValid() && xdg.isValid());
        prog = programa.path() + u'/';
        RtEntorno::FijaCarpetaPrograma(prog);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg.filePath("config")));
        qputenv("XDG_STATE_HOME", QFile::encodeName(xdg.filePath("state")));
        usuario = xdg.filePath("config") + QStringLiteral("/titulos-copiadores/");
    }
    void TearDown() override
    {
        RtEntorno::FijaCarpetaPrograma({});
        RtArchivos::FijaProgramaSoloLectura(false);
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_STATE_HOME");
    }
    QTemporaryDir programa, xdg;
    QString prog, usuario;
};

}  // namespace

TEST_F(Archivos, AWritableProgramFolderKeepsTheFilesAsTheWindowsInstallationsDid)
{
    EXPECT_EQ(RtArchivos::CarpetaParaGrabar("BASES.TXT"), prog);
    EXPECT_EQ(RtArchivos::CarpetaParaLeer("BASES.TXT"), prog);
    EXPECT_FALSE(QFileInfo::exists(usuario)) << "nothing is created in the user's folder while it is not needed";
}

TEST_F(Archivos, AReadOnlyInstallationWritesAUserCopySeededWithTheInstalledOne)
{
    escribeArchivo(prog + "Consultaslen.vrl", "\"MA_CUENTAS\",\"1200|3000|\"\r\n");
    RtArchivos::FijaProgramaSoloLectura(true);
    QFile::setPermissions(prog + "Consultaslen.vrl", QFile::ReadOwner | QFile::ReadOther);

    const QString carpeta = RtArchivos::CarpetaParaGrabar("CONSULTASLEN.VRL");
    EXPECT_EQ(carpeta, usuario);
    EXPECT_EQ(leeArchivo(usuario + "CONSULTASLEN.VRL"), QByteArray("\"MA_CUENTAS\",\"1200|3000|\"\r\n"))
        << "the widths the installation shipped for other tables are not lost";
    EXPECT_TRUE(QFileInfo(usuario + "CONSULTASLEN.VRL").permissions() & QFile::WriteOwner);

    // From now on the user's copy is the one read, whatever the program folder allows.
    escribeArchivo(usuario + "CONSULTASLEN.VRL", "\"MA_CUENTAS\",\"900|900|\"\r\n");
    RtArchivos::FijaProgramaSoloLectura(false);
    EXPECT_EQ(RtArchivos::CarpetaParaLeer("consultaslen.vrl"), usuario);
    EXPECT_EQ(RtArchivos::CarpetaParaGrabar("CONSULTASLEN.VRL"), usuario) << "reads and writes must meet in one copy";
    EXPECT_EQ(leeArchivo(prog + "Consultaslen.vrl"), QByteArray("\"MA_CUENTAS\",\"1200|3000|\"\r\n"));
}

TEST_F(Archivos, LogsGoToTheStateFolderAndRelativeXdgValuesAreIgnored)
{
    RtArchivos::FijaProgramaSoloLectura(true);
    EXPECT_EQ(RtArchivos::CarpetaParaGrabar("VLERR.LOG", RtArchivos::Clase::Estado),
              xdg.filePath("state") + QStringLiteral("/titulos-copiadores/"));
    EXPECT_TRUE(QFileInfo(xdg.filePath("state") + QStringLiteral("/titulos-copiadores")).isDir());

    qputenv("XDG_CONFIG_HOME", "relativa/config");
    EXPECT_EQ(RtArchivos::CarpetaUsuario(RtArchivos::Clase::Configuracion),
              QDir::homePath() + QStringLiteral("/.config/titulos-copiadores/"));
}

TEST_F(Archivos, NamesAreFoundInAnyLetterCase)
{
    escribeArchivo(prog + "Bases.txt", "x");
    EXPECT_EQ(RtArchivos::RutaSinCaso(prog, "BASES.TXT"), prog + "Bases.txt");
    EXPECT_EQ(RtArchivos::RutaSinCaso(prog, "OTRO.TXT"), prog + "OTRO.TXT");
}
