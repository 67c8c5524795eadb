// The dialog "Luftweg": wall roughness of both pipe types, the loss
// coefficients, the intake filter and the fan efficiency of the channel. It
// edits a copy and hands it back; the channel editor puts it in the model.
#pragma once

#include <QDialog>
#include <array>

#include "model/Vardef.h"

class QLineEdit;

namespace terval {

class Oberflaeche;

class TdlgLuftweg : public QDialog {
  Q_OBJECT

 public:
  TdlgLuftweg(Oberflaeche& ui, QWidget* parent = nullptr);

  // Fills the fields from `h`.
  void Zeigen(const THydraulik& h);
  // The values of the fields, when every field holds a number in its range;
  // otherwise an error message naming the field, and false.
  bool Lesen(THydraulik& h);
  const THydraulik& Werte() const { return werte_; }

 public slots:
  // OK: takes the values if they are sound, else stays open.
  void accept() override;

 private:
  Oberflaeche& ui_;
  std::array<QLineEdit*, 9> felder_{};
  THydraulik werte_;
};

}  // namespace terval
