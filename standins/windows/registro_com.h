/* What a registered Windows stand-in leaves in the registry, as a real
 * server does:
 *   HKCR\CLSID\{clsid}\<server key>   default = its full path
 *                                     (+ ThreadingModel=Apartment in process)
 *   HKCR\CLSID\{clsid}\ProgID         default = <stem>.Classe1
 *   HKCR\<stem>.Classe1\CLSID         default = {clsid}
 * <stem> is the file's name without its extension, in the case it has on
 * disk; the CLSID comes from the file name (clsid_standin.h). */
#ifndef CW_REGISTRO_COM_H
#define CW_REGISTRO_COM_H

#include <windows.h>

typedef enum { STANDIN_IN_PROCESSO, STANDIN_FUORI_PROCESSO } standin_genere;

/* Registers (registra != 0) or removes the server whose file is percorso.
 * Removing what is not there succeeds. */
HRESULT standin_registra_com(const wchar_t* percorso, int registra, standin_genere genere);

#endif
