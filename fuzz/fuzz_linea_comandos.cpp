// The command line the suite's menu hands over: any text, every key.
#include "entrada.h"
#include "session/cnstuff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString linea = textoUtf8(data, size);
    for (const char* clave :
         {"@Server", "@DbName", "@Usuario", "@Password", "@UsuarioLogeado", "@ParametroAdicional", "@Menu", "@Caja"})
        CNStuffContable::ValorClave(linea, QString::fromLatin1(clave));
    return 0;
}
