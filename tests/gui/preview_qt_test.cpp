// The preview beside the file list: a selected row shows its polar diagram and key values, a file
// that does not load shows why, showing changes neither the list nor the settings, and the
// context menu saves the shown diagram as SVG or PNG.
#include <QAction>
#include <QImage>
#include <QLabel>

#include "gui/diagram_view.h"
#include "gui_test_support.h"

namespace lumatra::testing {
namespace {

TEST_F(WindowTest, SelectingARowPreviewsItAndSavesItsDiagram) {
  const QString good = QString::fromStdString((TestDataDir() / "ldt/downlight.ldt").string());
  const QString broken = QString::fromStdString((dir_ / "broken.ldt").string());
  WriteFile(dir_ / "broken.ldt", "not photometry\n");
  Open();
  window->AddFiles({good, broken});
  const ConversionSettings before = settings;
  const QStringList rows = Rows();
  auto* list = Get<QListView>("CnvBox");
  auto* view = Get<DiagramView>("DiagramView");
  auto* values = Get<QLabel>("KeyValues");

  list->setCurrentIndex(list->model()->index(static_cast<int>(rows.indexOf(good)), 0));
  ASSERT_TRUE(view->Shown());
  EXPECT_EQ(view->Shown()->kind, DiagramKind::kPolar);
  for (const char* key : {"Format: ", "Symmetrie ", "Raster: ", "Lichtstrom ", "LOR ", "Maximum ",
                          "Halbwertswinkel: "})
    EXPECT_TRUE(values->text().contains(key)) << key;

  // The context menu's entry writes what the dialog names; the extension picks the format.
  auto* save = view->findChild<QAction*>("SaveDiagram");
  for (const char* name : {"d.svg", "d.png", "plain"}) {
    dialogs.save_as = QString::fromStdString((dir_ / name).string());
    save->trigger();
  }
  EXPECT_TRUE(dialogs.last_start.endsWith("downlight-polar.svg"));
  EXPECT_EQ(ReadFile(dir_ / "d.svg").rfind("<?xml", 0), 0u);
  EXPECT_EQ(ReadFile(dir_ / "plain.svg"), ReadFile(dir_ / "d.svg"));
  EXPECT_EQ(QImage(QString::fromStdString((dir_ / "d.png").string())).width(),
            static_cast<int>(2 * view->Shown()->width));

  list->setCurrentIndex(list->model()->index(static_cast<int>(rows.indexOf(broken)), 0));
  EXPECT_FALSE(view->Shown());
  EXPECT_FALSE(save->isEnabled());
  EXPECT_TRUE(values->text().startsWith("Nicht lesbar: ")) << values->text().toStdString();
  EXPECT_EQ(Rows(), rows);
  EXPECT_TRUE(settings == before);
  EXPECT_TRUE(dialogs.asked.isEmpty());
}

}  // namespace
}  // namespace lumatra::testing
