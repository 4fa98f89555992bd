// CaricaCatalogo: the suite in build order, fixed in the program.

#include <iterator>
#include <string>

#include "catalogue/catalogo.h"

namespace cw {

namespace {

// One project of the suite: its folder below the source root, its project
// file, its kind and the name of the file it builds.
struct Componente {
  const char* cartella;
  const char* progetto;
  const char* tipo;
  const char* output;
};

// Build order. A project whose folder lies inside another project's folder is
// built before it, since the outer project references it; most such projects
// come right before their container. The libraries everything uses come
// first, the applications last (the deployment steps pick the first row and
// the last four rows by position). The sister family sits in its own
// grouping folder "Quil", which is not a project itself.
constexpr Componente kSuite[] = {
    {"Utilita", "Utilita.vbp", "dll", "Utilita.dll"},                                             // 0
    {"Costanti", "Costanti.vbp", "dll", "Costanti.dll"},                                          // 1
    {"Errori", "Errori.vbp", "dll", "Errori.dll"},                                                // 2
    {"Stringhe", "Stringhe.vbp", "dll", "Stringhe.dll"},                                          // 3
    {"Applicazione\\Avvio", "Avvio.vbp", "dll", "Avvio.dll"},                                     // 4
    {"DateOrari", "DateOrari.vbp", "dll", "DateOrari.dll"},                                       // 5
    {"RegistroEventi", "RegistroEventi.vbp", "dll", "RegistroEventi.dll"},                        // 6
    {"Configurazione", "Configurazione.vbp", "dll", "Configurazione.dll"},                        // 7
    {"AccessoDati", "AccessoDati.vbp", "dll", "AccessoDati.dll"},                                 // 8
    {"Sicurezza", "Sicurezza.vbp", "dll", "Sicurezza.dll"},                                       // 9
    {"Crittografia", "Crittografia.vbp", "dll", "Crittografia.dll"},                              // 10
    {"Licenze", "Licenze.vbp", "dll", "Licenze.dll"},                                             // 11
    {"Traduzioni", "Traduzioni.vbp", "dll", "Traduzioni.dll"},                                    // 12
    {"Valute", "Valute.vbp", "dll", "Valute.dll"},                                                // 13
    {"Numerazioni", "Numerazioni.vbp", "dll", "Numerazioni.dll"},                                 // 14
    {"Stampa", "Stampa.vbp", "dll", "Stampa.dll"},                                                // 15
    {"Reportistica", "Reportistica.vbp", "dll", "Reportistica.dll"},                              // 16
    {"PostaElettronica", "PostaElettronica.vbp", "dll", "PostaElettronica.dll"},                  // 17
    {"Comunicazione", "Comunicazione.vbp", "dll", "Comunicazione.dll"},                           // 18
    {"Archivio", "Archivio.vbp", "dll", "Archivio.dll"},                                          // 19
    {"Anagrafiche\\AnagraficheComuni", "AnagraficheComuni.vbp", "dll", "AnagraficheComuni.dll"},  // 20
    {"Anagrafiche", "Anagrafiche.vbp", "exe", "Anagrafiche.exe"},                                 // 21
    {"Principale\\Pianificatore\\PianificatoreAttivita", "PianificatoreAttivita.vbp", "dll",
     "PianificatoreAttivita.dll"},                                                                          // 22
    {"Arrotondamenti", "Arrotondamenti.vbp", "dll", "Arrotondamenti.dll"},                                  // 23
    {"CodiciFiscali", "CodiciFiscali.vbp", "dll", "CodiciFiscali.dll"},                                     // 24
    {"Clienti\\ClientiFido", "ClientiFido.vbp", "dll", "ClientiFido.dll"},                                  // 25
    {"Clienti", "Clienti.vbp", "exe", "Clienti.exe"},                                                       // 26
    {"Fornitori\\FornitoriValutazione", "FornitoriValutazione.vbp", "dll", "FornitoriValutazione.dll"},     // 27
    {"Fornitori", "Fornitori.vbp", "exe", "Fornitori.exe"},                                                 // 28
    {"Indirizzi", "Indirizzi.vbp", "dll", "Indirizzi.dll"},                                                 // 29
    {"Utenti\\UtentiPermessi", "UtentiPermessi.vbp", "dll", "UtentiPermessi.dll"},                          // 30
    {"Utenti", "Utenti.vbp", "exe", "Utenti.exe"},                                                          // 31
    {"Notifiche", "Notifiche.vbp", "exe", "Notifiche.exe"},                                                 // 32
    {"Listini\\ListiniCalcolo", "ListiniCalcolo.vbp", "dll", "ListiniCalcolo.dll"},                         // 33
    {"Listini", "Listini.vbp", "exe", "Listini.exe"},                                                       // 34
    {"Ordini\\OrdiniEvasione", "OrdiniEvasione.vbp", "dll", "OrdiniEvasione.dll"},                          // 35
    {"Ordini", "Ordini.vbp", "exe", "Ordini.exe"},                                                          // 36
    {"Acquisti\\AcquistiRichieste", "AcquistiRichieste.vbp", "dll", "AcquistiRichieste.dll"},               // 37
    {"Acquisti", "Acquisti.vbp", "exe", "Acquisti.exe"},                                                    // 38
    {"Magazzino\\Logistica\\LogisticaPercorsi", "LogisticaPercorsi.vbp", "dll", "LogisticaPercorsi.dll"},   // 39
    {"Magazzino\\Logistica", "Logistica.vbp", "exe", "Logistica.exe"},                                      // 40
    {"Magazzino\\MagazzinoDati", "MagazzinoDati.vbp", "dll", "MagazzinoDati.dll"},                          // 41
    {"Magazzino", "Magazzino.vbp", "exe", "Magazzino.exe"},                                                 // 42
    {"Lotti\\LottiTracciabilita", "LottiTracciabilita.vbp", "dll", "LottiTracciabilita.dll"},               // 43
    {"Lotti", "Lotti.vbp", "exe", "Lotti.exe"},                                                             // 44
    {"Inventario\\InventarioRettifiche", "InventarioRettifiche.vbp", "dll", "InventarioRettifiche.dll"},    // 45
    {"Inventario", "Inventario.vbp", "exe", "Inventario.exe"},                                              // 46
    {"CodiciABarre", "CodiciABarre.vbp", "dll", "CodiciABarre.dll"},                                        // 47
    {"Spedizioni\\SpedizioniVettori", "SpedizioniVettori.vbp", "dll", "SpedizioniVettori.dll"},             // 48
    {"Spedizioni", "Spedizioni.vbp", "exe", "Spedizioni.exe"},                                              // 49
    {"Trasporti\\TrasportiDocumenti", "TrasportiDocumenti.vbp", "dll", "TrasportiDocumenti.dll"},           // 50
    {"Trasporti", "Trasporti.vbp", "exe", "Trasporti.exe"},                                                 // 51
    {"Fatturazione\\FatturaElettronica", "FatturaElettronica.vbp", "dll", "FatturaElettronica.dll"},        // 52
    {"Fatturazione\\FatturazioneDati", "FatturazioneDati.vbp", "dll", "FatturazioneDati.dll"},              // 53
    {"Fatturazione", "Fatturazione.vbp", "exe", "Fatturazione.exe"},                                        // 54
    {"Provvigioni\\ProvvigioniCalcolo", "ProvvigioniCalcolo.vbp", "dll", "ProvvigioniCalcolo.dll"},         // 55
    {"Provvigioni", "Provvigioni.vbp", "exe", "Provvigioni.exe"},                                           // 56
    {"Agenti\\AgentiZone", "AgentiZone.vbp", "dll", "AgentiZone.dll"},                                      // 57
    {"Agenti", "Agenti.vbp", "exe", "Agenti.exe"},                                                          // 58
    {"Vendite\\PuntoVendita\\PuntoVenditaCassa", "PuntoVenditaCassa.vbp", "dll", "PuntoVenditaCassa.dll"},  // 59
    {"Vendite\\PuntoVendita", "PuntoVendita.vbp", "exe", "PuntoVendita.exe"},                               // 60
    {"Vendite\\VenditeRegole", "VenditeRegole.vbp", "dll", "VenditeRegole.dll"},                            // 61
    {"Vendite", "Vendite.vbp", "exe", "Vendite.exe"},                                                       // 62
    {"Preventivi\\PreventiviModelli", "PreventiviModelli.vbp", "dll", "PreventiviModelli.dll"},             // 63
    {"Preventivi", "Preventivi.vbp", "exe", "Preventivi.exe"},                                              // 64
    {"Contratti\\ContrattiRinnovi", "ContrattiRinnovi.vbp", "dll", "ContrattiRinnovi.dll"},                 // 65
    {"Contratti", "Contratti.vbp", "exe", "Contratti.exe"},                                                 // 66
    {"Quil\\QuilComune", "QuilComune.vbp", "dll", "QuilComune.dll"},                                        // 67
    {"Quil\\QuilTabelle", "QuilTabelle.vbp", "dll", "QuilTabelle.dll"},                                     // 68
    {"Quil\\QuilClienti\\QuilFedelta", "QuilFedelta.vbp", "dll", "QuilFedelta.dll"},                        // 69
    {"Quil\\QuilClienti", "QuilClienti.vbp", "exe", "QuilClienti.exe"},                                     // 70
    {"Quil\\QuilPrenotazioni\\QuilPrenotazioniDati", "QuilPrenotazioniDati.vbp", "dll",
     "QuilPrenotazioniDati.dll"},                                                                             // 71
    {"Quil\\QuilPrenotazioni", "QuilPrenotazioni.vbp", "exe", "QuilPrenotazioni.exe"},                        // 72
    {"Quil\\QuilCasse\\QuilCasseFiscali", "QuilCasseFiscali.vbp", "dll", "QuilCasseFiscali.dll"},             // 73
    {"Quil\\QuilCasse", "QuilCasse.vbp", "exe", "QuilCasse.exe"},                                             // 74
    {"Quil\\QuilStampe", "QuilStampe.vbp", "dll", "QuilStampe.dll"},                                          // 75
    {"Quil\\Principale\\QuilNucleo", "QuilNucleo.vbp", "dll", "QuilNucleo.dll"},                              // 76
    {"Quil\\Principale", "QuilServer.vbp", "exe", "QuilServer.exe"},                                          // 77
    {"Iva\\IvaLiquidazione", "IvaLiquidazione.vbp", "dll", "IvaLiquidazione.dll"},                            // 78
    {"Iva", "Iva.vbp", "exe", "Iva.exe"},                                                                     // 79
    {"Ritenute\\RitenuteCertificazioni", "RitenuteCertificazioni.vbp", "dll", "RitenuteCertificazioni.dll"},  // 80
    {"Ritenute", "Ritenute.vbp", "exe", "Ritenute.exe"},                                                      // 81
    {"Intrastat\\IntrastatElenchi", "IntrastatElenchi.vbp", "dll", "IntrastatElenchi.dll"},                   // 82
    {"Intrastat", "Intrastat.vbp", "exe", "Intrastat.exe"},                                                   // 83
    {"Allegati", "Allegati.vbp", "dll", "Allegati.dll"},                                                      // 84
    {"Scadenzario\\ScadenzarioRate", "ScadenzarioRate.vbp", "dll", "ScadenzarioRate.dll"},                    // 85
    {"Scadenzario", "Scadenzario.vbp", "exe", "Scadenzario.exe"},                                             // 86
    {"Banche\\BancheMovimenti", "BancheMovimenti.vbp", "dll", "BancheMovimenti.dll"},                         // 87
    {"Banche", "Banche.vbp", "exe", "Banche.exe"},                                                            // 88
    {"Incassi\\IncassiRiba", "IncassiRiba.vbp", "dll", "IncassiRiba.dll"},                                    // 89
    {"Incassi", "Incassi.vbp", "exe", "Incassi.exe"},                                                         // 90
    {"Pagamenti\\PagamentiBonifici", "PagamentiBonifici.vbp", "dll", "PagamentiBonifici.dll"},                // 91
    {"Pagamenti", "Pagamenti.vbp", "exe", "Pagamenti.exe"},                                                   // 92
    {"Solleciti\\SollecitiLettere", "SollecitiLettere.vbp", "dll", "SollecitiLettere.dll"},                   // 93
    {"Solleciti", "Solleciti.vbp", "exe", "Solleciti.exe"},                                                   // 94
    {"Tesoreria\\TesoreriaFlussi", "TesoreriaFlussi.vbp", "dll", "TesoreriaFlussi.dll"},                      // 95
    {"Tesoreria", "Tesoreria.vbp", "exe", "Tesoreria.exe"},                                                   // 96
    {"Cespiti\\CespitiAmmortamenti", "CespitiAmmortamenti.vbp", "dll", "CespitiAmmortamenti.dll"},            // 97
    {"Cespiti", "Cespiti.vbp", "exe", "Cespiti.exe"},                                                         // 98
    {"Contabilita\\Bilancio\\ConsolidamentoBilanciDati", "ConsolidamentoBilanciDati.vbp", "dll",
     "ConsolidamentoBilanciDati.dll"},                                                                      // 99
    {"Contabilita\\Bilancio", "Bilancio.vbp", "exe", "Bilancio.exe"},                                       // 100
    {"Contabilita\\PrimaNota", "PrimaNota.vbp", "dll", "PrimaNota.dll"},                                    // 101
    {"Contabilita", "Contabilita.vbp", "exe", "Contabilita.exe"},                                           // 102
    {"Analitica\\AnaliticaRipartizioni", "AnaliticaRipartizioni.vbp", "dll", "AnaliticaRipartizioni.dll"},  // 103
    {"Analitica", "Analitica.vbp", "exe", "Analitica.exe"},                                                 // 104
    {"ControlloGestione\\ControlloGestioneIndici", "ControlloGestioneIndici.vbp", "dll",
     "ControlloGestioneIndici.dll"},                                                                              // 105
    {"ControlloGestione", "ControlloGestione.vbp", "exe", "ControlloGestione.exe"},                               // 106
    {"Budget\\BudgetPrevisioni", "BudgetPrevisioni.vbp", "dll", "BudgetPrevisioni.dll"},                          // 107
    {"Budget", "Budget.vbp", "exe", "Budget.exe"},                                                                // 108
    {"Esportazione", "Esportazione.vbp", "dll", "Esportazione.dll"},                                              // 109
    {"Importazione", "Importazione.vbp", "dll", "Importazione.dll"},                                              // 110
    {"Sincronizzazione", "Sincronizzazione.vbp", "exe", "Sincronizzazione.exe"},                                  // 111
    {"Personale\\PersonaleCarriere", "PersonaleCarriere.vbp", "dll", "PersonaleCarriere.dll"},                    // 112
    {"Personale", "Personale.vbp", "exe", "Personale.exe"},                                                       // 113
    {"Presenze\\PresenzeTimbrature", "PresenzeTimbrature.vbp", "dll", "PresenzeTimbrature.dll"},                  // 114
    {"Presenze", "Presenze.vbp", "exe", "Presenze.exe"},                                                          // 115
    {"Paghe\\PagheCedolini", "PagheCedolini.vbp", "dll", "PagheCedolini.dll"},                                    // 116
    {"Paghe", "Paghe.vbp", "exe", "Paghe.exe"},                                                                   // 117
    {"Produzione\\ProduzioneCicli", "ProduzioneCicli.vbp", "dll", "ProduzioneCicli.dll"},                         // 118
    {"Produzione", "Produzione.vbp", "exe", "Produzione.exe"},                                                    // 119
    {"DistintaBase\\DistintaBaseEsplosione", "DistintaBaseEsplosione.vbp", "dll", "DistintaBaseEsplosione.dll"},  // 120
    {"DistintaBase", "DistintaBase.vbp", "exe", "DistintaBase.exe"},                                              // 121
    {"Qualita\\QualitaControlli", "QualitaControlli.vbp", "dll", "QualitaControlli.dll"},                         // 122
    {"Qualita", "Qualita.vbp", "exe", "Qualita.exe"},                                                             // 123
    {"Commesse\\CommesseAvanzamento", "CommesseAvanzamento.vbp", "dll", "CommesseAvanzamento.dll"},               // 124
    {"Commesse", "Commesse.vbp", "exe", "Commesse.exe"},                                                          // 125
    {"Assistenza\\AssistenzaInterventi", "AssistenzaInterventi.vbp", "dll", "AssistenzaInterventi.dll"},          // 126
    {"Assistenza", "Assistenza.vbp", "exe", "Assistenza.exe"},                                                    // 127
    {"Manutenzione\\ManutenzionePiani", "ManutenzionePiani.vbp", "dll", "ManutenzionePiani.dll"},                 // 128
    {"Manutenzione", "Manutenzione.vbp", "exe", "Manutenzione.exe"},                                              // 129
    {"Documenti\\DocumentiArchiviazione", "DocumentiArchiviazione.vbp", "dll", "DocumentiArchiviazione.dll"},     // 130
    {"Documenti", "Documenti.vbp", "exe", "Documenti.exe"},                                                       // 131
    {"Protocollo\\ProtocolloRegistri", "ProtocolloRegistri.vbp", "dll", "ProtocolloRegistri.dll"},                // 132
    {"Protocollo", "Protocollo.vbp", "exe", "Protocollo.exe"},                                                    // 133
    {"Statistiche\\StatisticheVendite", "StatisticheVendite.vbp", "dll", "StatisticheVendite.dll"},               // 134
    {"Statistiche", "Statistiche.vbp", "exe", "Statistiche.exe"},                                                 // 135
    {"Principale\\Pianificatore", "Pianificatore.vbp", "exe", "Pianificatore.exe"},                               // 136
    {"Principale\\NucleoServer", "NucleoServer.vbp", "dll", "NucleoServer.dll"},                                  // 137
    {"Principale", "WexoServer.vbp", "exe", "WexoServer.exe"},                                                    // 138
    {"Applicazione", "Orbalis.vbp", "app", "Orbalis Wexo.exe"},                                                   // 139
    {"Amministrazione", "WexoAdmin.vbp", "app", "WexoAdmin.exe"},                                                 // 140
    {"Cruscotto\\CruscottoGrafici", "CruscottoGrafici.vbp", "dll", "CruscottoGrafici.dll"},                       // 141
    {"Cruscotto", "Cruscotto.vbp", "app", "Cruscotto.exe"},                                                       // 142
    {"PannelloControllo", "PannelloControllo.vbp", "app", "Pannello di Controllo.exe"},                           // 143
    {"QuilBanco", "QuilBanco.vbp", "app", "QuilBanco.exe"},                                                       // 144
    {"QuilAgenda", "QuilAgenda.vbp", "app", "QuilAgenda.exe"},                                                    // 145
    {"QuilMonitor", "QuilMonitor.vbp", "app", "QuilMonitor.exe"},                                                 // 146
    {"Configuratore", "WexoConfig.vbp", "app", "Wexo Configuratore.exe"},                                         // 147
};

static_assert(std::size(kSuite) == kRigheCatalogo, "the catalogue holds exactly its rows");

}  // namespace

void CaricaCatalogo(CatalogoComponenti& catalogo) {
  const std::string radice = kRadiceSorgenti;
  int riga = 0;
  for (const Componente& c : kSuite) {
    catalogo.Imposta(riga, kCartella, radice + c.cartella);
    catalogo.Imposta(riga, kFileProgetto, c.progetto);
    catalogo.Imposta(riga, kCartellaOutput, kCartellaOutputComponenti);
    catalogo.Imposta(riga, kTipo, c.tipo);
    catalogo.Imposta(riga, kFileOutput, c.output);
    ++riga;
  }
}

}  // namespace cw
