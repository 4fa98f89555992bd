#include "registro_com.h"

#include <stdio.h>
#include <wchar.h>

#include "clsid_standin.h"

#define STANDIN_PROG_ID L".Classe1"

static HRESULT da_errore(LONG e) { return e == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32((DWORD)e); }

static HRESULT scrivi(const wchar_t* chiave, const wchar_t* nome, const wchar_t* valore) {
  HKEY k;
  LONG e = RegCreateKeyExW(HKEY_CLASSES_ROOT, chiave, 0, NULL, 0, KEY_SET_VALUE, NULL, &k, NULL);
  if (e != ERROR_SUCCESS) return da_errore(e);
  e = RegSetValueExW(k, nome, 0, REG_SZ, (const BYTE*)valore, (DWORD)((wcslen(valore) + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return da_errore(e);
}

static HRESULT rimuovi(const wchar_t* chiave) {
  const LONG e = RegDeleteTreeW(HKEY_CLASSES_ROOT, chiave);
  if (e == ERROR_FILE_NOT_FOUND) return S_OK;
  if (e != ERROR_SUCCESS) return da_errore(e);
  /* Some versions leave the emptied key itself behind. */
  const LONG d = RegDeleteKeyW(HKEY_CLASSES_ROOT, chiave);
  return d == ERROR_FILE_NOT_FOUND ? S_OK : da_errore(d);
}

/* The file's name as it is on disk, whatever case the path was given in. */
static int nome_su_disco(const wchar_t* percorso, wchar_t* nome, size_t n) {
  WIN32_FIND_DATAW dati;
  const HANDLE h = FindFirstFileW(percorso, &dati);
  const wchar_t* trovato = NULL;
  if (h != INVALID_HANDLE_VALUE) {
    FindClose(h);
    trovato = dati.cFileName;
  } else {
    const wchar_t* barra = wcsrchr(percorso, L'\\');
    trovato = barra ? barra + 1 : percorso;
  }
  return _snwprintf(nome, n, L"%ls", trovato) >= 0 && wcslen(trovato) < n;
}

HRESULT standin_registra_com(const wchar_t* percorso, int registra, standin_genere genere) {
  wchar_t nome[MAX_PATH];
  if (!nome_su_disco(percorso, nome, MAX_PATH)) return E_FAIL;

  char nomeUtf8[4 * MAX_PATH], clsidA[STANDIN_LUNGHEZZA_CLSID + 1];
  const int k = WideCharToMultiByte(CP_UTF8, 0, nome, -1, nomeUtf8, (int)sizeof nomeUtf8, NULL, NULL);
  if (k <= 0) return E_FAIL;
  standin_clsid(nomeUtf8, (size_t)(k - 1), clsidA);
  wchar_t clsid[STANDIN_LUNGHEZZA_CLSID + 1];
  for (int i = 0; i <= STANDIN_LUNGHEZZA_CLSID; ++i) clsid[i] = (wchar_t)clsidA[i];

  wchar_t progId[MAX_PATH + 16];
  wchar_t* punto = wcsrchr(nome, L'.');
  if (punto) *punto = L'\0';
  _snwprintf(progId, sizeof progId / sizeof *progId, L"%ls%ls", nome, STANDIN_PROG_ID);
  progId[sizeof progId / sizeof *progId - 1] = L'\0';

  wchar_t chiaveClsid[64], chiaveServer[96], chiaveProgIdClsid[96], chiaveDelProgId[MAX_PATH + 32];
  _snwprintf(chiaveClsid, 64, L"CLSID\\%ls", clsid);
  _snwprintf(chiaveServer, 96, L"%ls\\%ls", chiaveClsid,
             genere == STANDIN_IN_PROCESSO ? L"InprocServer32" : L"LocalServer32");
  _snwprintf(chiaveProgIdClsid, 96, L"%ls\\ProgID", chiaveClsid);
  _snwprintf(chiaveDelProgId, MAX_PATH + 32, L"%ls\\CLSID", progId);

  if (!registra) {
    const HRESULT a = rimuovi(chiaveClsid);
    const HRESULT b = rimuovi(progId);
    return FAILED(a) ? a : b;
  }
  HRESULT hr = scrivi(chiaveServer, NULL, percorso);
  if (SUCCEEDED(hr) && genere == STANDIN_IN_PROCESSO) hr = scrivi(chiaveServer, L"ThreadingModel", L"Apartment");
  if (SUCCEEDED(hr)) hr = scrivi(chiaveProgIdClsid, NULL, progId);
  if (SUCCEEDED(hr)) hr = scrivi(chiaveDelProgId, NULL, clsid);
  return hr;
}
