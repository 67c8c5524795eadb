#include "ui/Tfrm_DBWriteerg.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace terval {

Tfrm_DBWriteerg::Tfrm_DBWriteerg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint) {
  setObjectName("frm_DBWriteerg");
  setWindowTitle("frm_DBWriteerg");
  setModal(false);

  label_ = new QLabel(this);
  label_->setObjectName("Label1");
  QFont schrift = label_->font();
  schrift.setBold(true);
  schrift.setItalic(true);
  label_->setFont(schrift);
  QPalette farben = label_->palette();
  farben.setColor(QPalette::WindowText, QColor(0, 128, 128));  // teal
  label_->setPalette(farben);

  balken_ = new QProgressBar(this);
  balken_->setObjectName("ProgressBar1");
  balken_->setRange(0, 365);
  balken_->setValue(0);
  balken_->setTextVisible(false);

  auto* lay = new QVBoxLayout(this);
  lay->addWidget(label_);
  lay->addWidget(balken_);
  setFixedSize(460, 90);
}

void Tfrm_DBWriteerg::Zeigen(const QString& text) {
  balken_->setValue(0);
  label_->setText(text);
  show();
  label_->repaint();
}

void Tfrm_DBWriteerg::Fortschritt(int tag) {
  balken_->setValue(tag);
  balken_->repaint();
}

void Tfrm_DBWriteerg::Verbergen() { hide(); }

}  // namespace terval
