#include "sorgenti_vb.h"

#include <string>

namespace cw::sandbox {

namespace {

// "   Caption         =   ..." : VB pads the property name to 16 columns.
std::string Proprieta(int rientro, const std::string& nome, const std::string& valore) {
  std::string riga(static_cast<size_t>(rientro), ' ');
  riga += nome;
  if (nome.size() < 16) riga.append(16 - nome.size(), ' ');
  riga += "=   ";
  riga += valore;
  return riga;
}

std::string N(int n) { return std::to_string(n); }

void Posizione(std::vector<std::string>& r, int altezza, int sinistra, int indice, int alto, int larghezza) {
  if (altezza > 0) r.push_back(Proprieta(6, "Height", N(altezza)));
  r.push_back(Proprieta(6, "Left", N(sinistra)));
  if (indice >= 0) r.push_back(Proprieta(6, "TabIndex", N(indice)));
  r.push_back(Proprieta(6, "Top", N(alto)));
  if (larghezza > 0) r.push_back(Proprieta(6, "Width", N(larghezza)));
}

// Twips to the control's own extent unit (HIMETRIC), as saved by the controls.
int Himetric(int twips) { return twips * 2540 / 1440; }

// One control of the given library, placed at `alto`; returns the next free top.
int Controllo(std::vector<std::string>& r, int libreria, int& indice, int alto, int larghezza) {
  const Ocx& o = LibrerieOcx()[static_cast<size_t>(libreria)];
  const std::string lib = o.libreria;
  const int w = larghezza - 240;
  switch (libreria) {
    case 0: {  // list view
      const int h = 2175;
      r.push_back("   Begin " + lib + ".ListView lvwElenco ");
      Posizione(r, h, 120, indice++, alto, w);
      r.push_back(Proprieta(6, "_ExtentX", N(Himetric(w))));
      r.push_back(Proprieta(6, "_ExtentY", N(Himetric(h))));
      r.push_back(Proprieta(6, "View", "3"));
      r.push_back(Proprieta(6, "LabelEdit", "1"));
      r.push_back(Proprieta(6, "LabelWrap", "-1  'True"));
      r.push_back(Proprieta(6, "HideSelection", "-1  'True"));
      r.push_back(Proprieta(6, "FullRowSelect", "-1  'True"));
      r.push_back(Proprieta(6, "_Version", "393217"));
      r.push_back(Proprieta(6, "ForeColor", "-2147483640"));
      r.push_back(Proprieta(6, "BackColor", "-2147483643"));
      r.push_back(Proprieta(6, "BorderStyle", "1"));
      r.push_back(Proprieta(6, "Appearance", "1"));
      r.push_back(Proprieta(6, "NumItems", "0"));
      r.push_back("   End");
      return alto + h + 120;
    }
    case 1: {  // common dialog: invisible at run time, no tab stop
      r.push_back("   Begin " + lib + ".CommonDialog dlgFile ");
      Posizione(r, 0, 120, -1, alto, 0);
      r.push_back(Proprieta(6, "_ExtentX", "847"));
      r.push_back(Proprieta(6, "_ExtentY", "847"));
      r.push_back(Proprieta(6, "_Version", "393216"));
      r.push_back("   End");
      return alto + 600;
    }
    case 2: {  // grid
      const int h = 1935;
      r.push_back("   Begin " + lib + ".MSFlexGrid grdDati ");
      Posizione(r, h, 120, indice++, alto, w);
      r.push_back(Proprieta(6, "_ExtentX", N(Himetric(w))));
      r.push_back(Proprieta(6, "_ExtentY", N(Himetric(h))));
      r.push_back(Proprieta(6, "_Version", "393216"));
      r.push_back(Proprieta(6, "Rows", "10"));
      r.push_back(Proprieta(6, "Cols", "4"));
      r.push_back(Proprieta(6, "FixedCols", "0"));
      r.push_back("   End");
      return alto + h + 120;
    }
    case 3: {  // tabs
      const int h = 1815;
      r.push_back("   Begin " + lib + ".SSTab tabSchede ");
      Posizione(r, h, 120, indice++, alto, w);
      r.push_back(Proprieta(6, "_ExtentX", N(Himetric(w))));
      r.push_back(Proprieta(6, "_ExtentY", N(Himetric(h))));
      r.push_back(Proprieta(6, "_Version", "393216"));
      r.push_back(Proprieta(6, "Tabs", "2"));
      r.push_back(Proprieta(6, "TabHeight", "520"));
      r.push_back(Proprieta(6, "TabCaption(0)", "\"Generale\""));
      r.push_back(Proprieta(6, "TabCaption(1)", "\"Proprietà\""));
      r.push_back("   End");
      return alto + h + 120;
    }
    default: {  // date picker
      const int h = 315;
      r.push_back("   Begin " + lib + ".DTPicker dtpData ");
      Posizione(r, h, 120, indice++, alto, 1815);
      r.push_back(Proprieta(6, "_ExtentX", N(Himetric(1815))));
      r.push_back(Proprieta(6, "_ExtentY", N(Himetric(h))));
      r.push_back(Proprieta(6, "_Version", "393216"));
      r.push_back(Proprieta(6, "Format", "22609921"));
      r.push_back(Proprieta(6, "CurrentDate", "38000"));
      r.push_back("   End");
      return alto + h + 120;
    }
  }
}

void Pulsante(std::vector<std::string>& r, const std::string& nome, const std::string& titolo, bool predefinito,
              bool annulla, int& indice, int sinistra, int alto) {
  r.push_back("   Begin VB.CommandButton " + nome + " ");
  if (annulla) r.push_back(Proprieta(6, "Cancel", "-1  'True"));
  r.push_back(Proprieta(6, "Caption", "\"" + titolo + "\""));
  if (predefinito) r.push_back(Proprieta(6, "Default", "-1  'True"));
  Posizione(r, 375, sinistra, indice++, alto, 1215);
  r.push_back("   End");
}

}  // namespace

const std::vector<Ocx>& LibrerieOcx() {
  static const std::vector<Ocx> librerie = {
      {"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0", "MSCOMCTL.OCX", "MSComctlLib"},
      {"{F9043C88-F6F2-101A-A3C9-08002B2F49FB}#1.2#0", "COMDLG32.OCX", "MSComDlg"},
      {"{5E9E78A0-531B-11CF-91F6-C2863C385E30}#1.0#0", "MSFLXGRD.OCX", "MSFlexGridLib"},
      {"{BDC217C8-ED16-11CD-956C-0000C04E4C0A}#1.1#0", "TABCTL32.OCX", "TabDlg"},
      {"{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0", "MSCOMCT2.OCX", "MSComCtl2"},
  };
  return librerie;
}

std::vector<std::string> TestoForm(const Form& form, Dado& dado) {
  std::vector<std::string> r;
  r.push_back("VERSION 5.00");
  for (int i : form.ocx) {
    const Ocx& o = LibrerieOcx()[static_cast<size_t>(i)];
    r.push_back(std::string("Object = \"") + o.guid + "\"; \"" + o.file + "\"");
  }
  const int larghezza = (form.principale ? 8400 : 5400) + 120 * dado.Tra(12);
  // The controls first, so that the form's height can follow them.
  std::vector<std::string> controlli;
  int indice = 0, alto = 120;
  for (int i : form.ocx) alto = Controllo(controlli, i, indice, alto, larghezza);
  if (form.principale) {
    Pulsante(controlli, "cmdEsci", "Esci", false, true, indice, larghezza - 1440, alto);
  } else {
    Pulsante(controlli, "cmdOK", "OK", true, false, indice, larghezza - 2760, alto);
    Pulsante(controlli, "cmdAnnulla", "Annulla", false, true, indice, larghezza - 1440, alto);
  }
  alto += 375 + 120;

  r.push_back("Begin VB.Form " + form.nome + " ");
  if (!form.principale) r.push_back(Proprieta(3, "BorderStyle", "3  'Fixed Dialog"));
  r.push_back(Proprieta(3, "Caption", "\"" + form.titolo + "\""));
  r.push_back(Proprieta(3, "ClientHeight", N(alto)));
  r.push_back(Proprieta(3, "ClientLeft", form.principale ? "165" : "45"));
  r.push_back(Proprieta(3, "ClientTop", form.principale ? "735" : "330"));
  r.push_back(Proprieta(3, "ClientWidth", N(larghezza)));
  r.push_back(Proprieta(3, "LinkTopic", "\"Form1\""));
  if (!form.principale) {
    r.push_back(Proprieta(3, "MaxButton", "0   'False"));
    r.push_back(Proprieta(3, "MinButton", "0   'False"));
  }
  r.push_back(Proprieta(3, "ScaleHeight", N(alto)));
  r.push_back(Proprieta(3, "ScaleWidth", N(larghezza)));
  if (!form.principale) r.push_back(Proprieta(3, "ShowInTaskbar", "0   'False"));
  r.push_back(Proprieta(3, "StartUpPosition", form.principale ? "3  'Windows Default" : "1  'CenterOwner"));
  r.insert(r.end(), controlli.begin(), controlli.end());
  r.push_back("End");
  r.push_back("Attribute VB_Name = \"" + form.nome + "\"");
  r.push_back("Attribute VB_GlobalNameSpace = False");
  r.push_back("Attribute VB_Creatable = False");
  r.push_back("Attribute VB_PredeclaredId = True");
  r.push_back("Attribute VB_Exposed = False");
  r.push_back("Option Explicit");
  r.push_back("");
  if (form.principale) {
    r.push_back("Private Sub Form_Load()");
    r.push_back("    Me.Caption = App.Title & \" \" & App.Major & \".\" & App.Minor & \".\" & App.Revision");
    r.push_back("End Sub");
    r.push_back("");
    r.push_back("Private Sub cmdEsci_Click()");
    r.push_back("    Unload Me");
    r.push_back("End Sub");
  } else {
    r.push_back("Public Annullato As Boolean");
    r.push_back("");
    r.push_back("Private Sub cmdAnnulla_Click()");
    r.push_back("    Annullato = True");
    r.push_back("    Me.Hide");
    r.push_back("End Sub");
    r.push_back("");
    r.push_back("Private Sub cmdOK_Click()");
    r.push_back("    Annullato = False");
    r.push_back("    Me.Hide");
    r.push_back("End Sub");
  }
  return r;
}

std::vector<std::string> TestoModulo(const std::string& nome, const std::string& componente,
                                     const std::string& descrizione, bool avvio, const std::string& formIniziale) {
  std::vector<std::string> r;
  r.push_back("Attribute VB_Name = \"" + nome + "\"");
  r.push_back("Option Explicit");
  r.push_back("");
  r.push_back("' " + descrizione + ": costanti e funzioni comuni del componente.");
  r.push_back("Public Const NOME_COMPONENTE As String = \"" + componente + "\"");
  r.push_back("");
  r.push_back("Public Function DescrizioneComponente() As String");
  r.push_back("    DescrizioneComponente = \"" + descrizione + "\"");
  r.push_back("End Function");
  if (avvio) {
    r.push_back("");
    r.push_back("Public Sub Main()");
    if (!formIniziale.empty())
      r.push_back("    " + formIniziale + ".Show");
    else
      r.push_back("    ' Nessuna finestra: il componente parte su richiesta dei client.");
    r.push_back("End Sub");
  }
  return r;
}

std::vector<std::string> TestoClasse(const std::string& nome, const std::string& descrizione, bool esposta,
                                     Dado& dado) {
  std::vector<std::string> r;
  r.push_back("VERSION 1.0 CLASS");
  r.push_back("BEGIN");
  r.push_back("  MultiUse = -1  'True");
  r.push_back("  Persistable = 0  'NotPersistable");
  r.push_back("  DataBindingBehavior = 0  'vbNone");
  r.push_back("  DataSourceBehavior  = 0  'vbNone");
  r.push_back("  MTSTransactionMode  = " +
              std::string(esposta && dado.Percento(30) ? "2  'RequiresTransaction" : "0  'NotAnMTSObject"));
  r.push_back("END");
  r.push_back("Attribute VB_Name = \"" + nome + "\"");
  r.push_back("Attribute VB_GlobalNameSpace = False");
  r.push_back("Attribute VB_Creatable = True");
  r.push_back("Attribute VB_PredeclaredId = False");
  r.push_back(std::string("Attribute VB_Exposed = ") + (esposta ? "True" : "False"));
  r.push_back("Attribute VB_Description = \"" + descrizione + "\"");
  r.push_back("Option Explicit");
  r.push_back("");
  r.push_back("Private m_Codice As String");
  r.push_back("");
  r.push_back("Public Property Get Codice() As String");
  r.push_back("    Codice = m_Codice");
  r.push_back("End Property");
  r.push_back("");
  r.push_back("Public Property Let Codice(ByVal Valore As String)");
  r.push_back("    m_Codice = Valore");
  r.push_back("End Property");
  return r;
}

}  // namespace cw::sandbox
