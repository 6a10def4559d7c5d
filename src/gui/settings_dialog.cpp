#include "gui/settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/platform_dialogs.h"
#include "support/cp1252.h"

namespace lumatra {

namespace {

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

QCheckBox* CheckBox(const char* name, const char* text, bool& field, const char* hint = "") {
  auto* box = Named(new QCheckBox(QString(text)), name);
  box->setChecked(field);
  box->setToolTip(QString(hint));
  QObject::connect(box, &QCheckBox::toggled, [&field](bool on) { field = on; });
  return box;
}

// A drop-down list whose item index is the setting.
template <class T>
QComboBox* Combo(const char* name, const QStringList& items, T& field) {
  auto* combo = Named(new QComboBox, name);
  combo->addItems(items);
  combo->setCurrentIndex(static_cast<int>(field));
  QObject::connect(combo, &QComboBox::currentIndexChanged,
                   [&field](int index) { field = static_cast<T>(index); });
  return combo;
}

QLabel* Bold(const char* text) {
  auto* label = new QLabel(QString(text));
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

}  // namespace

SettingsDialog::SettingsDialog(const ConversionSettings& settings, const IesExtensionList& patterns,
                               QWidget* parent)
    : QDialog(parent), copy_(settings) {
  setObjectName("setupform");
  setWindowTitle("Einstellungen");
  setFixedSize(440, 395);

  auto* tabs = new QTabWidget;
  tabs->setTabPosition(QTabWidget::South);
  tabs->addTab(GeneralPage(), "Allgemein");
  tabs->addTab(Ies86Page(), "IES 86");
  tabs->addTab(Tm14Page(), "TM14");

  QStringList lines;
  for (const std::string& pattern : patterns)
    lines << QFile::decodeName(QByteArray::fromStdString(pattern));
  iesext_->setPlainText(lines.join('\n'));

  auto* ok = Named(new QPushButton("OK"), "OKBtn");
  auto* cancel = Named(new QPushButton("Abbruch"), "CancelBtn");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addLayout(buttons);
}

QWidget* SettingsDialog::GeneralPage() {
  auto* coordinates = Named(new QGroupBox(" Koordinatensystem  "), "GroupBox1");
  coordinates->setToolTip("set coordinate system of destination files");
  auto* lists = new QFormLayout(coordinates);
  lists->addRow("C-Schrittwinkel",
                Combo("cselect",
                      {"unverändert beibehalten", "Ändern in    2.5 °", "Ändern in    5.0 °",
                       "Ändern in  15.0 °", "Ändern in  22.5 °", "Ändern in  30.0 °",
                       "Ändern in  45.0 °", "Ändern in  90.0 °", " "},
                      copy_.PLANES));
  lists->addRow(" gamma-Schritt-Winkel ",
                Combo("gammaselect",
                      {"Schrittwinkel beibehalten", "Ändern in   1.0 °", "Ändern in   2.5 °",
                       "Ändern in   5.0 °", "Ändern in 10.0 °", " "},
                      copy_.ANGLES));
  lists->addRow(" Symmetrie ",
                Combo("symmbox",
                      {"Einstellungen beibehalten", "Änderung in asymmetrisches Koordinatensystem",
                       "Änderung zu Rotationssymmetrie", "Änderung zu Symmetrie zu C0-C180",
                       "Änderung zu Symmetrie zu C90-C270", "Änderung zu Symmetrie zu C0 und C90"},
                      copy_.SYMM));

  iesext_ = Named(new QPlainTextEdit, "iesext");
  iesext_->setLineWrapMode(QPlainTextEdit::NoWrap);

  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(CheckBox("TurnCheck", "alle Ebenen um 90° drehen", copy_.TURN,
                             "used for IES-data, where C0 is parallel to lamp axis. EULUMDAT "
                             "expects C0 perpendicular"));
  layout->addWidget(coordinates);
  layout->addWidget(new QLabel("Datei-erweiterungen für IES-Dateien"));
  layout->addWidget(iesext_);
  return page;
}

QWidget* SettingsDialog::Ies86Page() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->addWidget(Bold("IES / 86"), 0, 0);
  grid->addWidget(Bold("EULUM-DAT"), 0, 1);
  static const char* const kNames[] = {"L1Combo", "L2Combo", "L3Combo",
                                       "L4Combo", "L5Combo", "L6Combo"};
  const QStringList fields = {"nicht verwenden",
                              "Hersteller (EULUM-DAT Zeile 1)",
                              "Messnummer (EULUM-DAT Zeile 8)",
                              "Leuchtenname (EULUM-DAT Zeile 9)",
                              "Leuchtennummer (EULUM-DAT Zeile 10)",
                              "Datum / Bearbeiter (EULUM-DAT Zeile 12)",
                              "Lampentyp (EULUM-DAT Zeile 26 b)"};
  for (int i = 1; i <= 6; ++i) {
    // Lines 2, 4 and 6 offer an empty eighth item.
    const QStringList items = i % 2 == 0 ? fields + QStringList{""} : fields;
    grid->addWidget(new QLabel(QString("label-line %1").arg(i)), i, 0);
    grid->addWidget(Combo(kNames[i - 1], items, LabelLineSetting(copy_, i)), i, 1);
  }

  auto* always = Named(new QRadioButton("immer"), "EL1a");
  auto* if_empty = Named(new QRadioButton("wenn keine Herstellerangabe"), "el1b");
  (copy_.EUV1 ? always : if_empty)->setChecked(true);
  auto* pair = new QButtonGroup(page);
  pair->addButton(always);
  pair->addButton(if_empty);
  connect(always, &QRadioButton::toggled, this, [this](bool on) { copy_.EUV1 = on; });
  auto* choice = new QHBoxLayout;
  choice->addWidget(always);
  choice->addWidget(if_empty);
  choice->addStretch();
  grid->addWidget(new QLabel("Herstellerbezeichnung verwenden"), 7, 0, 1, 2);
  grid->addLayout(choice, 8, 1);

  auto* company =
      Named(new QLineEdit(QString::fromStdString(Cp1252ToUtf8(copy_.EUL1))), "eulmanFld");
  company->setMaxLength(78);
  connect(company, &QLineEdit::textChanged, this, [this](const QString& text) {
    copy_.EUL1 = Utf8ToCp1252(text.toStdString()).substr(0, kSettingTextMax);
  });
  grid->addWidget(new QLabel("EULUM-DAT Zeile 1"), 9, 0);
  grid->addWidget(company, 9, 1);

  auto* options = new QHBoxLayout;
  options->addWidget(CheckBox("cbUnformatted", "unformatierte Ausgabe", copy_.unformat));
  options->addWidget(CheckBox("UseC360Chk", "C0-Ebene doppelt", copy_.use360));
  grid->addLayout(options, 10, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(11, 1);
  return page;
}

QWidget* SettingsDialog::Tm14Page() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(CheckBox("C2Chk", "CIBSE / 2 Daten erzeugen", copy_.CIBS2,
                             "Zusätzliche Daten für Blendungsbewertung und "
                             "Beleuchtungswirkungsgrade ablegen"));
  layout->addStretch();
  return page;
}

IesExtensionList SettingsDialog::Patterns() const {
  IesExtensionList patterns;
  static const QRegularExpression kLineEnd("\r\n|\r|\n");
  for (const QString& line : iesext_->toPlainText().split(kLineEnd)) {
    const bool blank =
        std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() <= u' '; });
    if (!blank) patterns.push_back(QFile::encodeName(line).toStdString());
  }
  return patterns;
}

void EditSettings(QWidget* parent, PlatformDialogs& dialogs, ConversionSettings& settings,
                  IesExtensionList& patterns) {
  SettingsDialog dialog(settings, patterns, parent);
  if (dialogs.RunModal(dialog) != QDialog::Accepted) return;
  settings = dialog.WorkingCopy();
  patterns = dialog.Patterns();
}

}  // namespace lumatra
