// The desktop program: the main window on one model, until it is closed.
#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <clocale>

#include "model/Vardef.h"
#include "ui/Symbol.h"
#include "ui/TMainform.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Qt has taken the numeric locale from the environment; the table library
  // formats and parses numbers through the C library and needs "." again.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Terval");
  QApplication::setWindowIcon(terval::TervalSymbol());
  // Qt's own dialogs (file, print, the buttons of message boxes) speak
  // German like the rest of the program when Qt's translations are present.
  QTranslator qtTexte;
  if (qtTexte.load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexte);

  auto modell = terval::NeuesModell();
  terval::TMainform fenster(*modell);
  if (!fenster.FormCreate()) return 1;
  fenster.show();

  // TERVAL_SCREENSHOT=<file.png>: a picture of the main window after
  // start-up, then the program ends (for documentation and headless checks).
  const QString bild = qEnvironmentVariable("TERVAL_SCREENSHOT");
  if (!bild.isEmpty()) {
    fenster.resize(1280, 800);  // the picture shows the usual size, whatever the screen
    QTimer::singleShot(500, &fenster, [&fenster, bild] {
      const bool ok = fenster.grab().save(bild);
      QApplication::exit(ok ? 0 : 1);
    });
  }
  return app.exec();
}
