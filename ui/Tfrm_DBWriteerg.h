// The results writer window: which file is being written and how far.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace terval {

// A small dialog-bordered window, shown by the result writers while they
// work: a label "Schreibe "<name>"" and a progress bar over the days 0..365.
class Tfrm_DBWriteerg : public QDialog {
  Q_OBJECT

 public:
  explicit Tfrm_DBWriteerg(QWidget* parent = nullptr);

  // Shows the window with this label, repainted at once.
  void Zeigen(const QString& text);
  // Moves the bar to day 0..365.
  void Fortschritt(int tag);
  void Verbergen();

  QLabel* Label1() const { return label_; }
  QProgressBar* ProgressBar1() const { return balken_; }

 private:
  QLabel* label_;
  QProgressBar* balken_;
};

}  // namespace terval
