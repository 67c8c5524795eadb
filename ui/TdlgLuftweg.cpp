#include "ui/TdlgLuftweg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "model/Oberflaeche.h"
#include "model/Zahltext.h"
#include "physics/Hydraulik.h"
#include "ui/Dialoghilfen.h"

namespace terval {

namespace {

// The fields in order: object name, label, hint.
struct Feld {
  const char* name;
  const char* text;
  const char* hinweis;
};
const Feld Felder[9] = {
    {"e_RauhigkeitHaupt", "Rauhigkeit Hauptstrang (mm):", "Rauhigkeit der Rohrwand: PE/PVC 0.007, Beton 0.3 bis 1"},
    {"e_RauhigkeitRegister", "Rauhigkeit Register (mm):", "Rauhigkeit der Rohrwand der Registerrohre"},
    {"e_ZetaEinlauf", "Verlustbeiwert Einlauf:", "Bündiger Einlauf 0.5, bezogen auf die Geschwindigkeit in Segment 1"},
    {"e_Boegen", "Anzahl 90°-Bögen im Hauptstrang:", "Bögen zwischen Ansaugung und Lüftungsgerät"},
    {"e_ZetaBogen", "Verlustbeiwert je Bogen:", "90°-Bogen mit R/D 1.5: 0.15"},
    {"e_ZetaRegister", "Verlustbeiwert Verteilung/Sammlung je Register:",
     "Je einmal beim Aufteilen und beim Zusammenführen, bezogen auf die Geschwindigkeit in den Registerrohren"},
    {"e_ZetaAuslauf", "Verlustbeiwert Auslauf:", "Übergang ins Lüftungsgerät, bezogen auf das letzte Segment"},
    {"e_FilterPa", "Druckverlust Filter beim Basis-Volumenstrom (Pa):",
     "Grobfilter 30 bis 60 Pa, Feinfilter 100 bis 180 Pa; wächst mit dem Quadrat des Volumenstroms"},
    {"e_Wirkungsgrad", "Gesamtwirkungsgrad Ventilator:", "Elektrische Leistung = Volumenstrom × Druckverlust / Wirkungsgrad"},
};

}  // namespace

TdlgLuftweg::TdlgLuftweg(Oberflaeche& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
  setObjectName("dlgLuftweg");
  setWindowTitle("Luftweg");
  auto* form = new QFormLayout;
  for (size_t i = 0; i < felder_.size(); ++i) {
    felder_[i] = new QLineEdit;
    felder_[i]->setObjectName(Felder[i].name);
    felder_[i]->setStatusTip(Felder[i].hinweis);
    felder_[i]->setToolTip(Felder[i].hinweis);
    form->addRow(Felder[i].text, felder_[i]);
  }
  auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(knoepfe, &QDialogButtonBox::accepted, this, &TdlgLuftweg::accept);
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* spalte = new QVBoxLayout(this);
  spalte->addLayout(form);
  spalte->addWidget(knoepfe);
}

void TdlgLuftweg::Zeigen(const THydraulik& h) {
  werte_ = h;
  const float w[9] = {h.Rauhigkeit[1], h.Rauhigkeit[2], h.Zeta_Einlauf, static_cast<float>(h.Boegen), h.Zeta_Bogen,
                      h.Zeta_Register, h.Zeta_Auslauf, h.Filter_Pa, h.Wirkungsgrad};
  for (size_t i = 0; i < felder_.size(); ++i) felder_[i]->setText(QText(KuerzesterText(w[i])));
}

bool TdlgLuftweg::Lesen(THydraulik& h) {
  float w[9];
  for (size_t i = 0; i < felder_.size(); ++i) {
    const std::optional<float> x = FeldZahl(felder_[i]->text());
    const bool ganz = i != 3 || (x && std::nearbyint(*x) == *x);
    if (!x || !ganz) {
      std::string name = Felder[i].text;
      name.pop_back();  // the colon
      std::string text(1, '"');
      text += StdText(felder_[i]->text());
      text += i == 3 ? "\" ist keine gültige ganze Zahl für \"" : "\" ist keine gültige Zahl für \"";
      text += name;
      text += "\".";
      ui_.Fehler(text);
      felder_[i]->setFocus();
      return false;
    }
    w[i] = *x;
  }
  THydraulik neu = h;
  neu.Rauhigkeit[1] = w[0], neu.Rauhigkeit[2] = w[1], neu.Zeta_Einlauf = w[2];
  neu.Boegen = static_cast<int32_t>(std::clamp(w[3], -1.0f, 1000.0f));
  neu.Zeta_Bogen = w[4], neu.Zeta_Register = w[5], neu.Zeta_Auslauf = w[6], neu.Filter_Pa = w[7], neu.Wirkungsgrad = w[8];
  if (const std::string falsch = PruefeHydraulik(neu); !falsch.empty()) {
    ui_.Fehler(falsch);
    return false;
  }
  h = neu;
  return true;
}

void TdlgLuftweg::accept() {
  if (Lesen(werte_)) QDialog::accept();
}

}  // namespace terval
